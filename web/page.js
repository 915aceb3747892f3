// The page: gathers dropped or chosen models, sends them one at a time to the worker, shows
// each outcome as a row and saves the .qci files. Only the module's texts are kept.
'use strict';

const $ = (id) => document.getElementById(id);
const decoder = new TextDecoder();
const kShownConsole = 256 * 1024;

const worker = new Worker(URL.createObjectURL(
  new Blob([`(${sproingWorkerMain.toString()})()`], { type: 'text/javascript' })));

const queue = [];         // { file, path } not yet sent
let sent = null;          // the one the worker has
let done = 0;
let total = 0;
let batchStarted = 0;
const written = [];       // { path, outputName, definitions } of every written model
let pendingRows = document.createDocumentFragment();
let flushScheduled = false;
let openedPictures = 0;

function updateStatus() {
  $('progress').max = Math.max(total, 1);
  $('progress').value = done;
  let text = total === 0 ? 'No models yet.' : `${done} of ${total} models done`;
  if (total > 0 && done === total) {
    const seconds = ((performance.now() - batchStarted) / 1000).toFixed(2);
    text += `, ${written.length} written (${seconds} s)`;
  }
  $('count').textContent = text;
  $('save-all').disabled = written.length === 0;
  $('clear').disabled = total === 0 || done < total;
}

function sendNext() {
  if (sent !== null || queue.length === 0) return;
  sent = queue.shift();
  worker.postMessage({ file: sent.file, path: sent.path });
}

function enqueue(entries) {
  if (entries.length === 0) return;
  if (done === total) batchStarted = performance.now();
  for (const entry of entries) queue.push(entry);
  total += entries.length;
  updateStatus();
  sendNext();
}

function saveBytes(name, bytes, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

function element(name, className, text) {
  const made = document.createElement(name);
  if (className) made.className = className;
  if (text !== undefined) made.textContent = text;
  return made;
}

function makeRow(path, reply) {
  const consoleText = decoder.decode(reply.console);
  const row = element('li', `row ${reply.status === 0 ? 'written' : 'refused'}`);
  row.dataset.status = String(reply.status);
  row.appendChild(element('h2', '', path));
  const ended = consoleText.endsWith('\n') ? consoleText.slice(0, -1) : consoleText;
  const outcome = ended.slice(ended.lastIndexOf('\n') + 1);
  row.appendChild(element('p', 'outcome', `${outcome} (status ${reply.status})`));
  // A model of many thousand bones has as many lines; the page shows the start of them.
  const shown = consoleText.length > kShownConsole
    ? `${consoleText.slice(0, kShownConsole)}\n[... ${consoleText.length - kShownConsole} more characters]\n`
    : consoleText;
  const consoleBlock = element('pre', 'console', shown);
  row.appendChild(consoleBlock);
  if (reply.status !== 0) return row;

  const outputName = decoder.decode(reply.outputName);
  const model = { path, outputName, definitions: reply.definitions };
  written.push(model);
  const save = element('button', '', `Save ${outputName}`);
  save.type = 'button';
  save.addEventListener('click', () => saveBytes(outputName, model.definitions, 'text/plain'));
  row.appendChild(save);

  const bonesText = decoder.decode(reply.bones);
  const pictures = element('details', 'pictures');
  pictures.appendChild(element('summary', '', 'Jiggle bones, drawn'));
  const drawPictures = () => {
    if (pictures.dataset.drawn) return;
    pictures.dataset.drawn = 'yes';
    pictures.appendChild(boneFigures(bonesText));
  };
  pictures.addEventListener('toggle', drawPictures);
  // The first few models of a drop open with their pictures; a large batch stays light.
  if (openedPictures < 3) {
    openedPictures += 1;
    pictures.open = true;
    drawPictures();
  }
  row.appendChild(pictures);

  const text = element('details', 'definitions');
  text.open = pictures.open;
  text.appendChild(element('summary', '', `${outputName}, as it will be saved`));
  const textBlock = element('pre', 'qci');
  text.appendChild(textBlock);
  const showText = () => {
    if (!textBlock.textContent) textBlock.textContent = decoder.decode(model.definitions);
  };
  text.addEventListener('toggle', showText);
  if (text.open) showText();
  row.appendChild(text);
  return row;
}

// Rows are added once a frame, so a fast batch does not lay the page out per model.
function flushRows() {
  flushScheduled = false;
  $('rows').appendChild(pendingRows);
  pendingRows = document.createDocumentFragment();
  updateStatus();
}

worker.onmessage = (event) => {
  const entry = sent;
  sent = null;
  pendingRows.appendChild(makeRow(entry.path, event.data));
  done += 1;
  sendNext();
  if (!flushScheduled) {
    flushScheduled = true;
    requestAnimationFrame(flushRows);
  }
  if (done === total) flushRows();
};

// Zip entry paths: each name where it is unique; where several models give one name, each
// copy in a folder named after its model's path inside the drop.
function zipEntries() {
  const counts = new Map();
  for (const model of written) counts.set(model.outputName, (counts.get(model.outputName) || 0) + 1);
  const entries = {};
  let shared = 0;
  for (const model of written) {
    let name = model.outputName;
    if (counts.get(name) > 1) {
      shared += 1;
      const folder = model.path.split('/').filter((part) => part !== '' && part !== '.' && part !== '..').join('/');
      name = `${folder}/${model.outputName}`;
    }
    // The same model dropped twice still gets a place of its own.
    let unique = name;
    for (let n = 2; unique in entries; n += 1) unique = `${name.slice(0, -4)} (${n}).qci`;
    entries[unique] = model.definitions;
  }
  return { entries, shared };
}

function showDuplicates() {
  const { shared } = zipEntries();
  $('duplicates').hidden = shared === 0;
  $('duplicates').textContent = shared === 0 ? '' :
    `${shared} models give an output name another model gives too; in the .zip each of them ` +
    'is in a folder named after its model\'s path.';
}

$('save-all').addEventListener('click', () => {
  const { entries } = zipEntries();
  saveBytes('sproing_dump_qci.zip', fflate.zipSync(entries, { level: 6 }), 'application/zip');
});

$('clear').addEventListener('click', () => {
  $('rows').replaceChildren();
  written.length = 0;
  done = total = openedPictures = 0;
  $('duplicates').hidden = true;
  updateStatus();
});

// Folders dropped are walked; in them only names containing ".mdl" are taken. Files dropped
// or chosen one by one are all taken, and the module says which are not models.
async function walkEntry(entry, path, found) {
  if (entry.isFile) {
    if (path.includes('/') && !entry.name.includes('.mdl')) return;
    found.push({ file: await new Promise((ok, fail) => entry.file(ok, fail)), path });
  } else if (entry.isDirectory) {
    const reader = entry.createReader();
    for (;;) {
      const batch = await new Promise((ok, fail) => reader.readEntries(ok, fail));
      if (batch.length === 0) break;
      for (const child of batch) await walkEntry(child, `${path}/${child.name}`, found);
    }
  }
}

const drop = $('drop');
drop.addEventListener('dragover', (event) => {
  event.preventDefault();
  drop.classList.add('over');
});
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', async (event) => {
  event.preventDefault();
  drop.classList.remove('over');
  const entries = [...event.dataTransfer.items]
    .map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
  const found = [];
  for (const entry of entries) {
    if (entry) await walkEntry(entry, entry.name, found).catch(() => {});
  }
  enqueue(found);
});
// The whole window takes a drop, so a model let go beside the box is not opened instead.
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => event.preventDefault());

$('choose-files').addEventListener('change', (event) => {
  enqueue([...event.target.files].map((file) => ({ file, path: file.name })));
  event.target.value = '';
});
$('choose-folder').addEventListener('change', (event) => {
  enqueue([...event.target.files]
    .filter((file) => file.name.includes('.mdl'))
    .map((file) => ({ file, path: file.webkitRelativePath || file.name })));
  event.target.value = '';
});
// Keyboard: Enter or Space on the drop box opens the file chooser.
drop.addEventListener('keydown', (event) => {
  if (event.target === drop && (event.key === 'Enter' || event.key === ' ')) {
    event.preventDefault();
    $('choose-files').click();
  }
});

const observer = new MutationObserver(showDuplicates);
observer.observe($('rows'), { childList: true });
updateStatus();
