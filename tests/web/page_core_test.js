// The page's core in one browser, over file://, held to the command-line tools run here:
// models in and their exact .qci out, an edit's frequency, a plot's time, Scale, an edit and
// a Scale saved as sproing_apply writes them, a commented-out block that is no caret target,
// the rows of other models the edits are used on, and axe-core in light and dark. Driven by
// puppeteer-core, so that Chromium and Firefox run the same test.
//
// usage: node page_core_test.js chrome|firefox BROWSER PUPPETEER PAGE_DIR SPROING_DUMP SPROING_APPLY
//                               REAL_MODELS SAMPLE_MODEL AXE_SCRIPT
'use strict';

const assert = require('node:assert');
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const test = require('node:test');

const [kind, executable, puppeteerPath, pageDir, dumpTool, applyTool, realDir, sample, axeScript] =
  process.argv.slice(2).map((arg, i) => (i === 0 ? arg : path.resolve(arg)));
const puppeteer = require(puppeteerPath);
const fflate = require(path.join(__dirname, '..', '..', 'web', 'vendor', 'fflate.min.js'));
const work = fs.mkdtempSync(path.join(os.tmpdir(), `sproing-core-${kind}-`));

// The tool over a model, from its folder: its status and the .qci text it wrote.
function dumped(model) {
  const done = spawnSync(dumpTool, [path.basename(model)], { cwd: path.dirname(model), timeout: 30000 });
  const lines = done.stdout.toString('latin1').trimEnd().split('\n');
  const wrote = lines[lines.length - 1].replace(/^Wrote /, '');
  return { status: done.status, qci: done.status === 0 ? fs.readFileSync(path.join(path.dirname(model), wrote)) : null,
    name: wrote };
}

// sproing_apply over a copy of `model` with `edits`: the changed model's bytes, or null.
function applied(model, edits, ...options) {
  const folder = fs.mkdtempSync(path.join(work, 'apply-'));
  fs.copyFileSync(model, path.join(folder, path.basename(model)));
  fs.writeFileSync(path.join(folder, 'edits.qci'), edits);
  spawnSync(applyTool, [...options, path.basename(model), 'edits.qci', 'out.mdl'], { cwd: folder, timeout: 30000 });
  const out = path.join(folder, 'out.mdl');
  return fs.existsSync(out) ? fs.readFileSync(out) : null;
}

let browser;
let page;

// Saved files are caught in the page, whatever the browser does with downloads.
const CATCH_SAVES = `
  window.saved = [];
  saveBytes = async (name, bytes) => {
    const data = new Uint8Array(bytes instanceof Blob ? await bytes.arrayBuffer() : bytes);
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
    window.saved.push({ name, data: btoa(text) });
  };`;

async function saved(name, action) {
  await page.evaluate(() => { window.saved.length = 0; });
  await action();
  const found = await page.waitForFunction((wanted) => window.saved.find((file) => file.name === wanted), { timeout: 30000 }, name);
  return Buffer.from((await found.jsonValue()).data, 'base64');
}

async function until(check, ...args) {
  return (await page.waitForFunction(check, { timeout: 30000, polling: 50 }, ...args)).jsonValue();
}

// The editor of the one row the search finds, once its text has applied.
async function openEditor(name) {
  await page.evaluate((wanted) => {
    const box = document.getElementById('search');
    box.value = wanted;
    box.dispatchEvent(new Event('input'));
  }, name);
  await until((wanted) => [...document.querySelectorAll('#rows h2')].map((h) => h.textContent).join() === wanted, name);
  await page.evaluate(() => {
    const edit = document.querySelector('#rows .edit-button');
    if (edit.getAttribute('aria-pressed') !== 'true') edit.click();
  });
  await until(() => document.querySelector('#rows textarea'));
}

async function setText(text) {
  await page.evaluate((value) => {
    const area = document.querySelector('#rows textarea');
    area.value = value;
    area.dispatchEvent(new Event('input'));
  }, text);
}

// The edit's outcome once the text as it stands has applied.
function outcome(wanted) {
  return until((words) => {
    const status = document.querySelector('#rows .edit-status');
    return status && status.textContent.includes(words) && !status.classList.contains('pending') && status.textContent;
  }, wanted);
}

// The shown frequency of the first axis of a bone's card.
function frequency(bone) {
  return until((name) => {
    const card = [...document.querySelectorAll('figure.bone')].find((f) => f.querySelector('figcaption').textContent === name);
    const cell = card && card.querySelector('table.swing tbody tr td');
    return cell && Number(cell.firstChild.textContent.replace(' Hz', ''));
  }, bone);
}

const models = fs.mkdtempSync(path.join(work, 'models-'));
const names = ['crate01.mdl', ...fs.readdirSync(realDir).filter((name) => name.endsWith('.mdl')).sort()];
fs.copyFileSync(sample, path.join(models, 'crate01.mdl'));
for (const name of names.slice(1)) fs.copyFileSync(path.join(realDir, name), path.join(models, name));
const native = Object.fromEntries(names.map((name) => [name, dumped(path.join(models, name))]));

// A browser with the page open and `files` chosen. Firefox takes its colours from a
// preference (over WebDriver BiDi the page's media cannot be emulated): 0 dark, 1 light.
async function start(files, scheme = 'light') {
  const launched = await puppeteer.launch({
    browser: kind, executablePath: executable, headless: true, protocol: 'webDriverBiDi',
    args: kind === 'chrome' ? ['--no-sandbox', '--disable-gpu', `--user-data-dir=${fs.mkdtempSync(path.join(work, 'profile-'))}`] : [],
    extraPrefsFirefox: { 'layout.css.prefers-color-scheme.content-override': scheme === 'dark' ? 0 : 1 },
  });
  page = await launched.newPage();
  await page.setViewport({ width: 1100, height: 1400 });
  await page.goto(`file://${path.join(pageDir, 'index.html')}`);
  await page.evaluate(CATCH_SAVES);
  const chooser = await page.$('#choose-files');
  await chooser.uploadFile(...files);
  await until((count) => document.getElementById('count').textContent.startsWith(`${count} of ${count} `), files.length);
  return launched;
}

test.before(async () => {
  browser = await start(names.map((name) => path.join(models, name)));
});

test.after(async () => {
  if (browser) await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
});

test('models in, their exact .qci out, in the .zip', async () => {
  const zip = await saved('sproing_dump_qci.zip', () => page.click('#save-all'));
  const files = fflate.unzipSync(new Uint8Array(zip));
  const written = names.filter((name) => native[name].status === 0);
  assert.deepStrictEqual(Object.keys(files).sort(), written.map((name) => native[name].name).sort());
  for (const name of written) assert.ok(Buffer.from(files[native[name].name]).equals(native[name].qci), name);
  const statuses = await page.evaluate(() => [...document.querySelectorAll('#rows > li')].map((li) =>
    [li.querySelector('h2').textContent, Number(li.dataset.status)]));
  for (const [name, status] of statuses) assert.strictEqual(status, native[name].status, name);
});

const crate = () => native['crate01.mdl'].qci.toString('latin1');

test('tripling a stiffness multiplies the frequency shown by √3; saved as sproing_apply writes it', async () => {
  await openEditor('crate01.mdl');
  const before = await frequency('tail_1');
  // Its plot spans the time its first axis takes to die to 5 %, not its slowest axis's.
  const [plotted, dies] = await page.evaluate(() => {
    const card = [...document.querySelectorAll('figure.bone')].find((f) => f.querySelector('figcaption').textContent === 'tail_1');
    return [card.querySelector('.plot > div').textContent.match(/, ([\d.]+) s/)[1],
      card.querySelector('table.swing tbody tr td:nth-of-type(3)').firstChild.textContent];
  });
  assert.strictEqual(`${plotted} s`, dies);
  const tripled = crate().replace('yaw_stiffness 100', 'yaw_stiffness 300');
  await setText(tripled);
  await outcome('Changed');
  const after = await until((old) => {
    const cell = document.querySelector('figure.bone table.swing tbody tr td');
    const shown = cell && Number(cell.firstChild.textContent.replace(' Hz', ''));
    return shown !== old && shown;
  }, before);
  assert.ok(Math.abs(after / before - Math.sqrt(3)) < 0.01, `${before} Hz -> ${after} Hz`);
  const model = await saved('crate01.mdl', () => page.click('#rows .edit-bar .save-model'));
  assert.ok(model.equals(applied(path.join(models, 'crate01.mdl'), tripled)));
});

test('Scale ×2 on stiffness doubles every stiffness in the text, undone by Undo', async () => {
  await setText(crate());
  await outcome('No jiggle bone');
  await page.evaluate(() => {
    document.querySelector('#rows details.scale').open = true;
    document.querySelector('#rows .scale-factor').value = '2';
    document.querySelector('#rows .scale-go').click();
  });
  const text = await until((old) => {
    const area = document.querySelector('#rows textarea');
    return area.value !== old && area.value;
  }, crate());
  const stiffness = (qci) => [...qci.matchAll(/^\s*(\w*stiffness) (\S+)$/gm)].map((m) => [m[1], Number(m[2])]);
  assert.deepStrictEqual(stiffness(text), stiffness(crate()).map(([k, v]) => [k, 2 * v]));
  assert.strictEqual(text.replace(/^(\s*\w*stiffness) \S+$/gm, '$1'), crate().replace(/^(\s*\w*stiffness) \S+$/gm, '$1'));
  await outcome('Changed');
  const model = await saved('crate01.mdl', () => page.click('#rows .edit-bar .save-model'));
  assert.ok(model.equals(applied(path.join(models, 'crate01.mdl'), text)));
  // The gutter marks the lines changed, every one of them once the marks are drawn.
  const lines = stiffness(crate()).length;
  await until((wanted) => document.querySelectorAll('#rows .gutter .changed').length === wanted, lines);
  assert.strictEqual(await page.evaluate(() => document.querySelectorAll('#rows .gutter .changed').length), lines);
  await page.focus('#rows textarea');
  await page.keyboard.down('Control');
  await page.keyboard.press('z');
  await page.keyboard.up('Control');
  await until((old) => document.querySelector('#rows textarea').value === old, crate());
});

test('a commented-out block is no caret target', async () => {
  const commented = `/*\n$jigglebone "tail_2" {\n}\n*/\n${crate()}`;
  await setText(commented);
  await outcome('No jiggle bone');
  const marked = await page.evaluate((at) => {
    const area = document.querySelector('#rows textarea');
    area.focus();
    area.setSelectionRange(at, at);
    area.dispatchEvent(new Event('keyup'));
    return new Promise((done) => setTimeout(() => done([...document.querySelectorAll('figure.at-caret figcaption')]
      .map((f) => f.textContent)), 300));
  }, commented.indexOf('"tail_2"') + 2);
  assert.deepStrictEqual(marked, []);
});

test('Go to line for a bone whose "}" is missing goes to where it is missing', async () => {
  const text = crate().replace('\t}\n}\n', '\t}\n\n');
  await setText(text);
  await outcome('not closed');
  const end = text.indexOf('\t}\n') + 2;
  const way = await until(() => {
    const goTo = document.querySelector('#rows .go-to');
    if (!goTo) return false;
    goTo.click();
    return [goTo.textContent, document.querySelector('#rows textarea').selectionStart];
  });
  assert.deepStrictEqual(way, [`Go to line ${text.slice(0, end).split('\n').length}`, end]);
});

test('other models: what changes first, the skipped bones as one count, no Save where nothing changes, lines closed', async () => {
  const tuned = crate().replace('yaw_stiffness 100', 'yaw_stiffness 150');
  await setText(tuned);
  await outcome('Changed');
  const others = fs.mkdtempSync(path.join(work, 'others-'));
  fs.copyFileSync(sample, path.join(others, 'crate01_npc.mdl'));
  fs.copyFileSync(path.join(realDir, 'm05.mdl'), path.join(others, 'm05.mdl'));
  const chooser = await page.$('#rows .siblings input[type=file]');
  await chooser.uploadFile(path.join(others, 'crate01_npc.mdl'), path.join(others, 'm05.mdl'));
  const lines = await until(() => {
    const found = [...document.querySelectorAll('li.sibling')];
    if (found.length !== 2 || found.some((l) => l.classList.contains('pending') || !l.querySelector('.badge').textContent)) return false;
    return found.map((l) => ({
      name: l.querySelector('h4').textContent,
      order: [...l.children].filter((c) => !c.hidden).map((c) => c.className),
      changed: l.querySelector('.sibling-changed').textContent,
      skipped: l.querySelector('.skipped-bones').hidden ? '' : l.querySelector('.skipped-bones summary').textContent,
      save: !l.querySelector('.save-sibling').hidden,
      linesOpen: l.querySelector('.sibling-lines').open,
    }));
  });
  const npc = lines.find((line) => line.name === 'crate01_npc.mdl');
  const m05 = lines.find((line) => line.name === 'm05.mdl');
  assert.deepStrictEqual(npc.order, ['head', 'sibling-changed', 'sibling-lines']);
  assert.match(npc.changed, /^Changes 1 bone: tail_1\.$/);
  assert.ok(npc.save);
  assert.deepStrictEqual(m05.order, ['head', 'sibling-changed', 'skipped-bones', 'sibling-lines']);
  assert.match(m05.skipped, /^2 bones skipped: no bone of this model$/);
  assert.match(m05.changed, /^Nothing in this model changes/);
  assert.ok(!m05.save);
  // Their console lines, which list every bone skipped, wait to be asked for.
  assert.deepStrictEqual([npc.linesOpen, m05.linesOpen], [false, false]);
  const model = await saved('crate01_npc.mdl', () => page.click('li.sibling .save-sibling'));
  assert.ok(model.equals(applied(path.join(others, 'crate01_npc.mdl'), tuned, '--skip-missing-bones')));
});

// What the skeleton's line must say of a jiggle bone of a real model, from the positions
// worked out beside it, independently of this project: its parent's name where that is a
// jiggle bone's (the only names given there).
function skeletonLine(model, bone, label) {
  const rows = fs.readFileSync(path.join(realDir, `${model}.skeleton.tsv`), 'utf8').trim().split('\n').slice(1)
    .map((line) => line.split('\t'));
  const row = rows.find((fields) => fields[5] === bone);
  const at = row.slice(2, 5).map((v) => (Math.round(Number(v) * 10) / 10 + 0).toFixed(1)).join(', ');
  const parent = rows[Number(row[1])][5];
  const escape = (text) => text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
  return new RegExp(`^${escape(`${bone}: ${label}, child of `)}${parent === '-' ? '.+' : escape(parent)}` +
    `${escape(`, at (${at})`)}$`);
}

test('the skeleton: named, the caret\'s bone and a bone clicked named, Shake moving it, saved as the sweep writes it', async () => {
  await openEditor('m04.mdl');
  const view = await until(() => {
    const canvas = document.querySelector('#rows canvas.skeleton-canvas');
    const box = canvas && canvas.getBoundingClientRect();
    return canvas && [canvas.getAttribute('aria-label'), box.width >= 300 && box.height >= 200];
  });
  assert.deepStrictEqual(view, ['Skeleton', true]);
  const text = await page.evaluate(() => document.querySelector('#rows textarea').value);
  const line = () => page.evaluate(() => document.querySelector('#rows .skeleton-line').textContent);
  await page.evaluate((at) => {
    const area = document.querySelector('#rows textarea');
    area.focus();
    area.setSelectionRange(at, at);
    area.dispatchEvent(new Event('keyup'));
  }, text.indexOf('"hair7"') + 2);
  await until(() => document.querySelector('#rows .skeleton-line').textContent.startsWith('hair7:')).catch(() => {});
  assert.match(await line(), skeletonLine('m04', 'hair7', 'flexible tip'));
  // A click on the top of the head's hair names it and puts the caret on its block.
  const [x, y] = await page.evaluate(() => {
    const shown = results.find((result) => result.path === 'm04.mdl').skeleton;
    const box = shown.canvas.getBoundingClientRect();
    const i = shown.sk.names.indexOf('hair8');
    const at = (k) => shown.at[4 * i + k] * 0.3 + shown.at[4 * i + k + 2] * 0.7;
    return [box.left + at(0) / shown.dpr, box.top + at(1) / shown.dpr];
  });
  await page.mouse.click(x, y);
  await until(() => document.activeElement.tagName === 'TEXTAREA');
  assert.match(await line(), skeletonLine('m04', 'hair8', 'flexible tip'));
  assert.strictEqual(await page.evaluate(() => document.activeElement.selectionStart), text.indexOf('$jigglebone "hair8"'));
  const still = await page.evaluate(() => document.querySelector('#rows canvas.skeleton-canvas').toDataURL());
  await page.click('#rows .skeleton .shake');
  await until((old) => document.querySelector('#rows canvas.skeleton-canvas').toDataURL() !== old, still);
  const swept = fs.mkdtempSync(path.join(work, 'swept-'));
  spawnSync(path.join(path.dirname(dumpTool), 'sproing_sweep'), ['--skeleton', '-o', swept, path.join(models, 'm04.mdl')],
    { timeout: 30000 });
  const glb = await saved('m04_skeleton.glb', () => page.click('#rows .save-skeleton'));
  assert.ok(glb.equals(fs.readFileSync(path.join(swept, 'm04_skeleton.glb'))));
});

// axe-core's serious and critical findings on the page as it stands.
async function axeFindings() {
  await page.evaluate(fs.readFileSync(axeScript, 'utf8'));
  return page.evaluate(() => axe.run(document).then((r) => r.violations
    .filter((v) => ['serious', 'critical'].includes(v.impact)).map((v) => `${v.id}: ${v.nodes[0].target}`)));
}

async function openControls() {
  await page.evaluate(() => {
    document.querySelector('#rows details.scale').open = true;
    document.querySelector('#rows details.legend-box').open = true;
    document.querySelector('#rows .compact').click();
  });
}

test('axe-core finds nothing serious with the new controls open, light and dark', async () => {
  await openControls();
  assert.deepStrictEqual(await axeFindings(), [], 'light');
  if (kind === 'chrome') {
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' }]);
    assert.deepStrictEqual(await axeFindings(), [], 'dark');
    return;
  }
  const dark = await start([path.join(models, 'crate01.mdl')], 'dark');
  try {
    assert.ok(await page.evaluate(() => matchMedia('(prefers-color-scheme: dark)').matches), 'dark colours');
    await openEditor('crate01.mdl');
    await setText(crate().replace('yaw_stiffness 100', 'yaw_stiffness 150'));
    await outcome('Changed');
    await openControls();
    assert.deepStrictEqual(await axeFindings(), [], 'dark');
  } finally {
    await dark.close();
  }
});
