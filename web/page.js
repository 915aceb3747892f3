// The page: gathers dropped or chosen models, hands them to the worker a few at a time,
// keeps each outcome and draws only the rows in view, so that a batch of thousands stays
// as quick at its end as at its start. Only the module's texts are kept, and the File of a
// written model, for its edits (edit.js).
'use strict';

const $ = (id) => document.getElementById(id);
const kShownConsole = 256 * 1024;
// Models handed to the worker ahead of the one it works on: reading a file takes the browser
// longer than the module's work on it, so many are read at once; a cap on their bytes
// keeps the memory they hold small.
const kAhead = 64;
const kAheadBytes = 64 * 1024 * 1024;
const kShownSkippedNames = 500;
const kPageFailed = -1;

// Outcomes in the order they are counted; every status the page can meet has one.
const kOutcomes = [
  ['written', 'written'], ['nojiggle', 'no jiggle bones'], ['notmodel', 'not a model'],
  ['old', 'old version'], ['damaged', 'damaged'], ['unread', 'cannot read'],
  ['failed', 'page failed'],
];
const kOutcomeLabel = new Map(kOutcomes);
const kKindOfStatus = new Map([[0, 'written'], [2, 'notmodel'], [3, 'notmodel'], [4, 'old'],
  [5, 'nojiggle'], [6, 'unread'], [7, 'damaged']]);

// Stored names are bytes of no stated encoding: those that are not UTF-8 are read as
// Windows-1252, which the files' authors most likely wrote them in. Saved texts keep
// their bytes; only what is shown and the names files are saved under are decoded.
const utf8 = new TextDecoder('utf-8', { fatal: true });
const windows1252 = new TextDecoder('windows-1252');

function decodeName(bytes) {
  try {
    return utf8.decode(bytes);
  } catch (notUtf8) {
    return windows1252.decode(bytes);
  }
}

// Piece by piece, so that a path the page gave as UTF-8 and a stored name on another
// line each read right.
function decodePieces(bytes, separator) {
  try {
    return utf8.decode(bytes);
  } catch (notUtf8) {
    const pieces = [];
    for (let start = 0; start <= bytes.length;) {
      let end = bytes.indexOf(separator, start);
      if (end < 0) end = bytes.length;
      pieces.push(decodeName(bytes.subarray(start, end)));
      start = end + 1;
    }
    return pieces.join(String.fromCharCode(separator));
  }
}

// ---- Models and their outcomes

// { path, status, kind, console, outputName, definitions, bones, file, edit, index, open, height }
const results = [];
const counts = new Map(); // kind -> models
const outputNames = new Map();
let sharedNames = 0;      // written models whose output name another written model gives too
let openedFirst = false;

const queue = [];         // { file, path, why } not yet handed over
let queueStart = 0;
const handed = new Map(); // id -> { path, size, file }, at the worker
let handedBytes = 0;
let nextId = 0;
let done = 0;
let total = 0;
let batchStarted = 0;
let batchSeconds = null;

let worker = null;

function startWorker() {
  worker = new Worker(URL.createObjectURL(
    new Blob([`(${sproingWorkerMain.toString()})()`], { type: 'text/javascript' })));
  worker.onmessage = (event) => takeReply(event.data);
  worker.onerror = (event) => {
    event.preventDefault();
    workerStopped(event.message || 'no reason given');
  };
  worker.onmessageerror = () => workerStopped('a reply could not be read');
}

// The worker itself stopped: the models it held fail as the page's own failures, and
// the rest go to a new one.
function workerStopped(why) {
  worker.terminate();
  const lost = [...handed.values()];
  handed.clear();
  handedBytes = 0;
  for (const { path } of lost) {
    const line = `The page failed on ${path}: its worker stopped (${why}). This is a fault of ` +
                 'the page, not of the model; the command line gives the model\'s own outcome.\n';
    addResult(path, { status: kPageFailed, console: new TextEncoder().encode(line) }, null);
  }
  editsLost(why);
  startWorker();
  handMore();
  scheduleRender();
}

// Models up to this size are read here and their bytes handed over, which costs the page
// half what handing over the file does; larger ones go as files, read by the worker in slices.
const kReadHere = 16 * 1024 * 1024;
let handing = Promise.resolve();  // hands models over in the order taken, as their bytes come
let handLater = 0;

// Starting a read costs the page a little: a few at a time, the rest in later tasks, so that
// the page never stops for long.
function handMore() {
  let started = 0;
  while (queueStart < queue.length &&
         (handed.size === 0 || (handed.size < kAhead && handedBytes < kAheadBytes))) {
    if (started === 8) {
      if (handLater === 0) handLater = setTimeout(() => { handLater = 0; handMore(); }, 0);
      break;
    }
    started += 1;
    const { file, path, why } = queue[queueStart];
    queue[queueStart] = undefined;
    queueStart += 1;
    const id = nextId;
    nextId += 1;
    const size = file ? file.size : 0;
    handed.set(id, { path, size, file });
    handedBytes += size;
    const message = { id, path, why, file };
    const read = file && file.size > 0 && file.size <= kReadHere ? file.arrayBuffer() : null;
    if (read) read.catch(() => {});  // met below, in its turn
    handing = handing.then(async () => {
      if (read) {
        try {
          message.bytes = await read;
          message.size = file.size;
          message.file = undefined;
        } catch (error) {
          // Refused by the browser: the tool's "Cannot read". Anything else: the worker
          // tries the file itself.
          if (error instanceof DOMException) {
            message.bytes = null;
            message.size = file.size;
            message.file = undefined;
          }
        }
      }
      if (handed.has(id)) worker.postMessage(message, message.bytes ? [message.bytes] : []);
    });
  }
  if (queueStart === queue.length) {
    queue.length = 0;
    queueStart = 0;
  }
}

function running() {
  return done < total;
}

function enqueue(entries) {
  if (entries.length === 0) return;
  if (!running()) {
    batchStarted = performance.now();
    batchSeconds = null;
  }
  for (const entry of entries) queue.push(entry);
  total += entries.length;
  handMore();
  scheduleRender();
}

function addResult(path, reply, file) {
  const status = reply.status;
  const kind = kKindOfStatus.get(status) || 'failed';
  const result = {
    path, status, kind,
    console: decodePieces(reply.console, 10),
    outputName: '', definitions: null, bones: null, file: null, edit: null,
    index: results.length, open: false, height: 0,
  };
  if (kind === 'written') {
    result.file = file;
    result.outputName = decodeName(reply.outputName);
    result.definitions = reply.definitions;
    result.bones = reply.bones;
    // The first written model of the page opens with its pictures; no other does.
    if (!openedFirst) {
      openedFirst = true;
      result.open = true;
    }
    const seen = (outputNames.get(result.outputName) || 0) + 1;
    outputNames.set(result.outputName, seen);
    if (seen === 2) sharedNames += 2;
    if (seen > 2) sharedNames += 1;
  }
  counts.set(kind, (counts.get(kind) || 0) + 1);
  const index = results.length;
  results.push(result);
  if (matches(result)) shown.push(index);
  done += 1;
  if (!running()) batchSeconds = (performance.now() - batchStarted) / 1000;
}

function takeReply(reply) {
  if (reply.apply) {
    takeApplyReply(reply);
    return;
  }
  const entry = handed.get(reply.id);
  if (entry === undefined) return;  // from a cancelled batch
  handed.delete(reply.id);
  handedBytes -= entry.size;
  addResult(entry.path, reply, entry.file);
  handMore();
  scheduleRender();
}

function cancel() {
  const dropped = queue.length - queueStart + handed.size;
  queue.length = 0;
  queueStart = 0;
  handed.clear();
  handedBytes = 0;
  worker.postMessage({ cancel: true });
  total -= dropped;
  batchSeconds = null;
  return dropped;
}

// ---- Notices: every failure to take a drop or a file reaches the page

function notice(text, className = 'notice') {
  const line = element('p', className, text);
  $('notices').appendChild(line);
  scheduleRender();
  return line;
}

function announce(text) {
  $('announce').textContent = text;
}

// Files of a folder whose names lack ".mdl" are passed over, as the command line would
// refuse them; the page says how many, and why, and names them on demand.
const skipped = [];

function showSkipped() {
  let box = $('skipped');
  if (skipped.length === 0) {
    if (box) box.remove();
    return;
  }
  if (!box) {
    box = element('div', 'notice');
    box.id = 'skipped';
    const names = element('details');
    names.append(element('summary'), element('ul'));
    names.addEventListener('toggle', () => listSkipped(box));
    box.append(names, element('p', 'hint'));
    $('notices').prepend(box);
  }
  const files = skipped.length === 1 ? '1 file' : `${skipped.length} files`;
  box.querySelector('summary').textContent =
    `Skipped ${files} in folders: names without .mdl are not models. Show their names`;
  const upper = skipped.filter((name) => /\.mdl/i.test(name)).length;
  box.querySelector('.hint').textContent = upper === 0 ? '' :
    `${upper} of them end in .MDL or another mix of cases. Only a lower-case .mdl is taken, ` +
    'as on the command line: rename them with .mdl in lower case and choose them again.';
  box.querySelector('.hint').hidden = upper === 0;
  listSkipped(box);
}

function listSkipped(box) {
  const list = box.querySelector('ul');
  if (!box.querySelector('details').open) {
    list.replaceChildren();
    return;
  }
  list.replaceChildren(...skipped.slice(0, kShownSkippedNames).map((name) => element('li', '', name)));
  if (skipped.length > kShownSkippedNames) {
    list.appendChild(element('li', '', `and ${skipped.length - kShownSkippedNames} more`));
  }
}

// Takes a folder's files, passing over those that are not models by name.
function takeFolderFiles(files) {
  const taken = [];
  for (const { file, path, name, why } of files) {
    if (name.includes('.mdl')) taken.push({ file, path, why });
    else skipped.push(path);
  }
  showSkipped();
  enqueue(taken);
}

// ---- Rows: only those in view exist, placed at their offsets in a list as tall as all

const list = $('rows');
let shown = [];          // indices of the results the filter and search let through
let tops = [0];          // tops[p]: offset of shown row p; tops[shown.length]: the list's height
let topsValid = 1;       // tops[0 .. topsValid - 1] are right
let rowEstimate = 56;    // height of a closed row, once one is measured
const rendered = new Map();  // result index -> its <li>
let renderScheduled = false;
const resized = new ResizeObserver(() => scheduleRender());

let filter = 'all';
let search = '';

function matches(result) {
  if (filter === 'written' && result.kind !== 'written') return false;
  if (filter === 'refused' && result.kind === 'written') return false;
  if (filter !== 'all' && filter !== 'written' && filter !== 'refused' && result.kind !== filter) {
    return false;
  }
  return search === '' || result.path.toLowerCase().includes(search);
}

function applyView() {
  filter = $('filter').value;
  search = $('search').value.trim().toLowerCase();
  shown = [];
  results.forEach((result, index) => {
    if (matches(result)) shown.push(index);
  });
  tops = [0];
  topsValid = 1;
  scheduleRender();
}

function heightOf(index) {
  return results[index].height || rowEstimate;
}

function ensureTops() {
  for (let p = topsValid; p <= shown.length; p += 1) tops[p] = tops[p - 1] + heightOf(shown[p - 1]);
  tops.length = shown.length + 1;
  topsValid = shown.length + 1;
}

// The first shown row whose bottom is below `offset`.
function positionAt(offset) {
  let low = 0;
  let high = shown.length;
  while (low < high) {
    const middle = (low + high) >> 1;
    if (tops[middle + 1] <= offset) low = middle + 1;
    else high = middle;
  }
  return low;
}

function positionOf(index) {
  let low = 0;
  let high = shown.length;
  while (low < high) {
    const middle = (low + high) >> 1;
    if (shown[middle] < index) low = middle + 1;
    else high = middle;
  }
  return shown[low] === index ? low : -1;
}

function scheduleRender() {
  if (renderScheduled) return;
  renderScheduled = true;
  requestAnimationFrame(render);
}

function render() {
  renderScheduled = false;
  updateStatus();
  // Rows measured other than estimated move those below them: placed again.
  let passes = 0;
  while (placeRows()) {
    passes += 1;
    if (passes === 3) {
      scheduleRender();
      break;
    }
  }
}

// Places the rows in view and half a screen either side; true when a row's measured
// height changed the offsets.
function placeRows() {
  ensureTops();
  list.style.height = `${tops[shown.length]}px`;
  const listTop = list.getBoundingClientRect().top;
  const from = -listTop - window.innerHeight / 2;
  const to = -listTop + window.innerHeight * 1.5;
  const wanted = [];
  for (let p = positionAt(from); p < shown.length && tops[p] < to; p += 1) wanted.push(p);
  // The row holding keyboard focus stays, wherever it is scrolled to.
  const focused = document.activeElement && document.activeElement.closest('#rows > li');
  if (focused) {
    const p = positionOf(Number(focused.dataset.index));
    if (p >= 0 && !wanted.includes(p)) {
      wanted.push(p);
      wanted.sort((a, b) => a - b);
    }
  }
  const keep = new Set(wanted.map((p) => shown[p]));
  for (const [index, row] of rendered) {
    if (!keep.has(index)) {
      resized.unobserve(row);
      row.remove();
      rendered.delete(index);
    }
  }
  let cursor = list.firstChild;
  for (const p of wanted) {
    const index = shown[p];
    let row = rendered.get(index);
    if (!row) {
      row = makeRow(index);
      rendered.set(index, row);
      resized.observe(row);
    }
    if (row === cursor) cursor = cursor.nextSibling;
    else list.insertBefore(row, cursor);
    row.style.top = `${tops[p]}px`;
    row.setAttribute('aria-posinset', String(p + 1));
    row.setAttribute('aria-setsize', String(shown.length));
  }
  let moved = false;
  for (const p of wanted) {
    const index = shown[p];
    const height = rendered.get(index).offsetHeight;
    if (height > 0 && height !== results[index].height) {
      if (!results[index].open && results[index].height === 0) rowEstimate = height;
      results[index].height = height;
      topsValid = Math.min(topsValid, p + 1);
      moved = true;
    }
  }
  return moved;
}

function element(name, className, text) {
  const made = document.createElement(name);
  if (className) made.className = className;
  if (text !== undefined) made.textContent = text;
  return made;
}

function button(text, action) {
  const made = element('button', '', text);
  made.type = 'button';
  made.addEventListener('click', action);
  return made;
}

function shownConsole(text) {
  // A model of many thousand bones has as many lines; the page shows the start of them.
  return text.length > kShownConsole
    ? `${text.slice(0, kShownConsole)}\n[... ${text.length - kShownConsole} more characters]\n`
    : text;
}

function makeRow(index) {
  const result = results[index];
  const row = element('li', `row ${result.kind === 'written' ? 'written' : 'refused'}`);
  row.dataset.index = String(index);
  row.dataset.status = String(result.status);
  const card = element('div', 'card');
  row.appendChild(card);
  const head = element('div', 'head');
  card.appendChild(head);
  const heading = element('h2');
  head.appendChild(heading);
  const label = kOutcomeLabel.get(result.kind);
  const code = result.status === kPageFailed ? label : `${label}, status ${result.status}`;
  if (result.kind !== 'written') {
    // A refusal is one line, shown once.
    heading.textContent = result.path;
    head.append(element('p', 'outcome console', shownConsole(result.console)),
      element('span', 'badge', code));
    return row;
  }
  const toggle = button(result.path, () => {
    result.open = !result.open;
    rebuildRow(index, '.toggle');
  });
  toggle.className = 'toggle';
  toggle.setAttribute('aria-expanded', String(result.open));
  heading.appendChild(toggle);
  const lines = result.console.endsWith('\n') ? result.console.slice(0, -1) : result.console;
  const marker = element('span', 'badge edited', 'edited');
  marker.hidden = !result.edit || !edited(result);
  head.append(element('p', 'outcome', lines.slice(lines.lastIndexOf('\n') + 1)),
    element('span', 'badge', code), marker);
  const actions = element('div', 'actions');
  const edit = button('Edit', () => toggleEditing(index));
  edit.className = 'edit-button';
  edit.setAttribute('aria-pressed', String(Boolean(result.edit && result.edit.editing)));
  actions.append(
    button(`Save ${result.outputName}`,
      () => saveBytes(result.outputName, currentBytes(result), 'text/plain')),
    button('Copy', (event) => copyText(currentText(result), event.target, result.outputName)),
    edit);
  head.appendChild(actions);
  if (result.open) card.appendChild(rowDetails(result, index));
  if (result.edit) showEdit(result, false, row);
  return row;
}

// The row drawn again, after it opened or closed, with focus on `focus` inside it.
function rebuildRow(index, focus) {
  const row = rendered.get(index);
  const fresh = makeRow(index);
  if (row) {
    resized.unobserve(row);
    row.replaceWith(fresh);
    rendered.set(index, fresh);
    resized.observe(fresh);
    fresh.querySelector(focus).focus();
  }
  scheduleRender();
}

// A long text shows its start, and the rest on demand: laying out thousands of lines at once
// would stop the page.
const kShownLines = 300;

function rowDetails(result, index) {
  const details = element('div', 'details');
  const consoleText = element('pre', 'console', shownConsole(result.console));
  details.appendChild(consoleText);
  details.appendChild(element('h3', '', 'Jiggle bones, drawn'));
  // Drawn from the next frame on, so that opening a row is a few short pauses, not one long.
  const pictures = element('div', 'pictures');
  details.appendChild(pictures);
  requestAnimationFrame(() => drawBones(pictures, decodePieces(currentBones(result), 0x1e)));
  if (result.edit && result.edit.editing) {
    if (editable(result)) {
      details.append(...editorParts(result, index));
      return details;
    }
    details.appendChild(element('p', 'notice', `This text is ${mebibytes(result.definitions.length)}, ` +
      'too long to edit on this page: save it, edit it in a text editor and apply it to the model ' +
      'with sproing_apply.'));
  }
  details.appendChild(element('h3', '', `${result.outputName}, as it will be saved`));
  const whole = currentText(result);
  const lines = whole.split('\n');
  const text = element('pre', 'qci', lines.length > kShownLines + 1 ? lines.slice(0, kShownLines).join('\n') : whole);
  details.appendChild(text);
  if (lines.length > kShownLines + 1) {
    const more = button(`Show all ${lines.length - 1} lines`, () => {
      text.textContent = whole;
      more.remove();
      text.focus();
    });
    more.className = 'show-all';
    details.appendChild(more);
  }
  // Both may scroll: reachable from the keyboard, and named for it.
  consoleText.tabIndex = 0;
  consoleText.setAttribute('aria-label', `Console lines for ${result.path}`);
  text.tabIndex = 0;
  text.setAttribute('aria-label', `${result.outputName} text`);
  return details;
}

// ---- Status, counts and the filter

function plural(count, one, many) {
  return `${count} ${count === 1 ? one : many}`;
}

function updateStatus() {
  $('progress').max = Math.max(total, 1);
  $('progress').value = done;
  let text = total === 0 ? 'No models yet.' : `${done} of ${plural(total, 'model', 'models')} done`;
  if (total > 0 && batchSeconds !== null) text += ` in ${batchSeconds.toFixed(2)} s`;
  $('count').textContent = text;
  const countList = $('counts');
  countList.replaceChildren();
  for (const [kind, label] of kOutcomes) {
    const count = counts.get(kind) || 0;
    if (count === 0) continue;
    const item = element('li', kind);
    item.append(element('span', 'dot'), `${label} `, element('strong', '', String(count)));
    countList.appendChild(item);
  }
  $('save-all').disabled = (counts.get('written') || 0) === 0;
  $('cancel').disabled = !running();
  $('clear').disabled = results.length === 0 && !running() && $('notices').childElementCount === 0;
  $('find').hidden = results.length === 0;
  $('matching').textContent = shown.length === results.length ? '' :
    `${shown.length} of ${results.length} shown`;
  let shared = $('duplicates');
  if (sharedNames > 0 && !shared) {
    shared = notice('', 'notice duplicates');
    shared.id = 'duplicates';
  }
  if (shared) {
    shared.textContent = `${sharedNames} models give an output name another model gives too; in ` +
      'the .zip each of them is in a folder named after its model\'s path.';
  }
  if (!running() && total > 0 && $('announce').dataset.done !== String(done)) {
    $('announce').dataset.done = String(done);
    announce(`${text}: ${[...countList.children].map((item) => item.textContent).join(', ')}.`);
  }
}

$('filter').addEventListener('change', applyView);
let searchTimer = 0;
$('search').addEventListener('input', () => {
  clearTimeout(searchTimer);
  searchTimer = setTimeout(applyView, 120);
});
for (const [kind, label] of kOutcomes.slice(1)) {
  const option = element('option', '', `refused: ${label}`);
  option.value = kind;
  $('filter').appendChild(option);
}
window.addEventListener('scroll', scheduleRender, { passive: true });
window.addEventListener('resize', scheduleRender);

// ---- Saving and copying

function saveBytes(name, bytes, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

async function copyText(text, target, name) {
  try {
    await navigator.clipboard.writeText(text);
  } catch (refused) {
    // Some browsers refuse the clipboard to a page opened from disk: the older way.
    const area = element('textarea');
    area.value = text;
    document.body.appendChild(area);
    area.select();
    const copied = document.execCommand('copy');
    area.remove();
    target.focus();
    if (!copied) {
      notice(`Could not copy ${name}: ${refused.message || refused.name}. Save it instead.`, 'notice error');
      return;
    }
  }
  target.textContent = 'Copied';
  announce(`${name} copied`);
  setTimeout(() => { target.textContent = 'Copy'; }, 1500);
}

// `name` with " (n)" before its extension.
function numbered(name, n) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? `${name.slice(0, dot)} (${n})${name.slice(dot)}` : `${name} (${n})`;
}

// Zip entry paths: each name where it is unique; where several models give one name, each
// copy in a folder named after its model's path inside the drop. A changed model (in
// `models`, result -> its bytes) goes beside its .qci, under its own file name, in its
// path's folder when another changed model has that name too.
function zipEntries(models) {
  const entries = {};
  const modelNames = new Map();
  for (const result of models.keys()) {
    const name = fileNameOf(result.path);
    modelNames.set(name, (modelNames.get(name) || 0) + 1);
  }
  for (const result of results) {
    if (result.kind !== 'written') continue;
    const model = models.get(result);
    const modelName = model ? fileNameOf(result.path) : '';
    let folder = '';
    if (outputNames.get(result.outputName) > 1 || (model && modelNames.get(modelName) > 1)) {
      folder = `${result.path.split('/').filter((part) => part !== '' && part !== '.' && part !== '..').join('/')}/`;
    }
    // The same model dropped twice still gets a place of its own.
    let qci = `${folder}${result.outputName}`;
    let mdl = `${folder}${modelName}`;
    for (let n = 2; qci in entries || (model && mdl in entries); n += 1) {
      qci = `${folder}${result.outputName.slice(0, -4)} (${n}).qci`;
      mdl = `${folder}${numbered(modelName, n)}`;
    }
    entries[qci] = currentBytes(result);
    if (model) entries[mdl] = model;
  }
  return entries;
}

// Edits not yet applied are applied first, so that each changed model is that of its text.
async function saveAll() {
  const editedRows = results.filter((result) => result.kind === 'written' && result.edit && edited(result));
  await Promise.all(editedRows.map(settle));
  if (editedRows.some((result) => results[result.index] !== result)) return;  // cleared meanwhile
  const models = new Map();
  const faulty = [];
  for (const result of editedRows) {
    const model = changedModel(result);
    if (model) models.set(result, new Uint8Array(await model.arrayBuffer()));
    else if (result.edit.applied && result.edit.applied.status !== 0) faulty.push(result.path);
  }
  if (faulty.length > 0) {
    notice(`The .zip has the edited text but no changed model of ${faulty.join(', ')}: the edits ` +
      'could not be applied, as each row says.', 'notice error');
  }
  saveBytes('sproing_dump_qci.zip', fflate.zipSync(zipEntries(models), { level: 6 }), 'application/zip');
}

$('save-all').addEventListener('click', () => {
  saveAll().catch((error) => notice(`Could not make the .zip: ${error.message || error}`, 'notice error'));
});

$('cancel').addEventListener('click', () => {
  const dropped = cancel();
  notice(`Cancelled: ${plural(dropped, 'model was', 'models were')} not read.`);
  scheduleRender();
  $('clear').disabled = false;
  $('clear').focus();
});

$('clear').addEventListener('click', () => {
  if (running()) cancel();
  forgetEdits();
  results.length = 0;
  counts.clear();
  outputNames.clear();
  sharedNames = 0;
  openedFirst = false;
  done = total = 0;
  batchSeconds = null;
  skipped.length = 0;
  for (const row of rendered.values()) resized.unobserve(row);
  rendered.clear();
  list.replaceChildren();
  $('notices').replaceChildren();
  delete $('announce').dataset.done;
  announce('Cleared.');
  applyView();
  // The buttons that had focus are disabled now: back to where models are chosen.
  $('drop').focus();
});

// ---- Choosing and dropping

$('choose-files').addEventListener('change', (event) => {
  enqueue([...event.target.files].map((file) => ({ file, path: file.name })));
  event.target.value = '';
});
$('choose-folder').addEventListener('change', (event) => {
  takeFolderFiles([...event.target.files].map((file) =>
    ({ file, path: file.webkitRelativePath || file.name, name: file.name })));
  event.target.value = '';
});

// Browsers may refuse a page opened from disk the entries of a dropped folder, while its
// files, given in the drop itself, read as ever.
function folderRefused(error) {
  return error && ['EncodingError', 'SecurityError', 'NotReadableError', 'TimeoutError'].includes(error.name);
}

// A browser that neither gives a folder's entries nor refuses them must not leave the page
// silent: after a while the page says so.
function readEntries(reader) {
  return new Promise((ok, fail) => {
    const timer = setTimeout(() => fail(new DOMException('no answer', 'TimeoutError')), 10000);
    reader.readEntries((entries) => {
      clearTimeout(timer);
      ok(entries);
    }, (error) => {
      clearTimeout(timer);
      fail(error);
    });
  });
}

async function walkFolder(root) {
  const files = [];
  const folders = [{ entry: root, path: root.name }];
  let read = 0;
  try {
    while (folders.length > 0) {
      const { entry, path } = folders.shift();
      const reader = entry.createReader();
      for (let batch = await readEntries(reader); batch.length > 0; batch = await readEntries(reader)) {
        read += 1;
        for (const child of batch) {
          const childPath = `${path}/${child.name}`;
          if (child.isDirectory) folders.push({ entry: child, path: childPath });
          else if (child.isFile) files.push({ entry: child, path: childPath, name: child.name });
        }
      }
    }
  } catch (error) {
    if (read === 0 && folderRefused(error)) {
      notice(`This browser does not let a page opened from disk read a dropped folder ` +
             `("${root.name}"): use "Choose a folder" to take it.`, 'notice error');
    } else {
      notice(`Could not read all of the dropped folder "${root.name}" (${error.name}: ` +
             `${error.message}); the models found before that are taken.`, 'notice error');
    }
  }
  // A model whose entry cannot be opened is "Cannot read", in its own row.
  for (const found of files) {
    if (!found.name.includes('.mdl')) continue;
    try {
      found.file = await new Promise((ok, fail) => found.entry.file(ok, fail));
    } catch (error) {
      found.file = null;
      found.why = `: ${error.name} (${error.message})`;
    }
  }
  takeFolderFiles(files);
}

function takeDrop(event) {
  event.preventDefault();
  $('drop').classList.remove('over');
  const transfer = event.dataTransfer;
  if (!transfer) return;
  // Entries and files are to be had only while the event lasts: taken now, read later.
  const items = [...transfer.items].filter((item) => item.kind === 'file');
  const files = [];
  const folders = [];
  for (const item of items) {
    const entry = item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
    if (entry && entry.isDirectory) folders.push(entry);
    else {
      const file = item.getAsFile();
      if (file) files.push({ file, path: file.name });
    }
  }
  if (items.length === 0) {
    for (const file of transfer.files) files.push({ file, path: file.name });
  }
  if (files.length === 0 && folders.length === 0) {
    notice('Nothing in that drop was a file or a folder.', 'notice error');
    return;
  }
  enqueue(files);
  for (const folder of folders) {
    walkFolder(folder).catch((error) => notice(`Could not take the dropped folder "${folder.name}": ` +
      `${error.message || error}`, 'notice error'));
  }
}

// The whole window takes a drop, so a model let go beside the box is taken, not opened
// by the browser instead.
window.addEventListener('dragover', (event) => {
  event.preventDefault();
  if (event.dataTransfer) event.dataTransfer.dropEffect = 'copy';
  $('drop').classList.add('over');
});
window.addEventListener('dragleave', (event) => {
  if (event.relatedTarget === null) $('drop').classList.remove('over');
});
window.addEventListener('drop', takeDrop);

// Keyboard: Enter or Space on the drop box opens the file chooser.
$('drop').addEventListener('keydown', (event) => {
  if (event.target === $('drop') && (event.key === 'Enter' || event.key === ' ')) {
    event.preventDefault();
    $('choose-files').click();
  }
});

startWorker();
updateStatus();
