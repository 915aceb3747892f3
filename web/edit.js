// Editing a written row's .qci text: the edits are applied to the model, read afresh from
// the file the user gave, by the module's own apply in the worker; the row's pictures and
// outcome follow, and the changed model is kept (as a Blob) for saving. Uses page.js's
// worker, rows and helpers, which load after this.
'use strict';

// Longer texts are not put in a textarea: a browser lays the whole text out again at each
// key, which took 0.1 s for 100 KiB and 0.4 s for 800 KiB on a slow machine.
const kEditableText = 256 * 1024;
// Each apply reads the whole model again (0.35 s for 32 MiB on that machine); larger
// models are applied on request only.
const kApplyAsYouType = 32 * 1024 * 1024;
const kTypingPause = 300;  // ms without a key before the edits are applied
const kShownChanges = 20;
const kNothingChanged = 'No jiggle bone changed';

const applying = new Map();  // apply id -> result, while the worker has it
let nextApplyId = 0;

function fileNameOf(path) {
  return path.slice(Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
}

function mebibytes(size) {
  return `${(size / (1024 * 1024)).toFixed(size < 10 * 1024 * 1024 ? 1 : 0)} MiB`;
}

// ---- The bytes sent: a stored name that is not UTF-8 is shown as Windows-1252, and must
// go back as its stored bytes for the bone to be found; everything else typed is UTF-8.

const encoder = new TextEncoder();

// Shown name -> stored bytes, for the names of `bones` (the module's bone data) that are
// not UTF-8.
function storedNames(bones) {
  const names = new Map();
  for (let start = 0; start < bones.length;) {
    const end = bones.indexOf(0x1e, start);
    if (end < 0) break;
    const name = bones.subarray(start, bones.indexOf(0x1f, start));
    try {
      utf8.decode(name);
    } catch (notUtf8) {
      names.set(windows1252.decode(name), name);
    }
    start = end + 1;
  }
  return names;
}

// A comment, a quoted name or a bare word, as the tool's reader parts them.
const kTokens = /\/\/[^\n]*|"([^"\x00-\x1f\x7f]*)"|((?:[^ {}"\x00-\x1f\x7f/]|\/(?!\/))+)/g;

function encodeEdits(text, names) {
  if (names.size === 0) return encoder.encode(text);
  const parts = [];
  let from = 0;
  for (const match of text.matchAll(kTokens)) {
    const name = match[1] !== undefined ? match[1] : match[2];
    const stored = name !== undefined ? names.get(name) : undefined;
    if (stored === undefined) continue;
    const at = match.index + (match[1] !== undefined ? 1 : 0);
    parts.push(encoder.encode(text.slice(from, at)), stored);
    from = at + name.length;
  }
  parts.push(encoder.encode(text.slice(from)));
  const bytes = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
  let at = 0;
  for (const part of parts) {
    bytes.set(part, at);
    at += part.length;
  }
  return bytes;
}

// The row's text as it will be saved and applied: the model's own bytes while it is not
// edited, so that it applies as the model itself.
function currentBytes(result) {
  const edit = result.edit;
  if (!edit || edit.text === edit.original) return result.definitions;
  if (edit.names === null) edit.names = storedNames(result.bones);
  return encodeEdits(edit.text, edit.names);
}

function currentText(result) {
  return result.edit ? result.edit.text : decodePieces(result.definitions, 10);
}

function currentBones(result) {
  return (result.edit && result.edit.bones) || result.bones;
}

function editable(result) {
  return result.definitions.length <= kEditableText;
}

function liveApply(result) {
  return result.file.size <= kApplyAsYouType;
}

// ---- State: kept on the result, since a row's elements come and go as it scrolls

function editOf(result) {
  if (!result.edit) {
    // As a textarea holds it, so that an untouched text compares equal.
    const original = decodePieces(result.definitions, 10).replace(/\r\n?/g, '\n');
    result.edit = {
      editing: false, original, text: original, names: null,
      version: 0,      // bumped at every change of the text
      applied: null,   // { version, status, lines, line }: the last outcome
      model: null,     // Blob of the changed model, for applied.version, when a bone changed
      bones: null,     // bone data of the last edits that applied
      timer: 0, sent: -1, inFlight: false, again: false, waiters: [],
    };
  }
  return result.edit;
}

function edited(result) {
  return result.edit !== null && result.edit.text !== result.edit.original;
}

function upToDate(edit) {
  return edit.applied !== null && edit.applied.version === edit.version;
}

// The changed model for the text as it stands, or null.
function changedModel(result) {
  const edit = result.edit;
  return edit && upToDate(edit) ? edit.model : null;
}

// ---- Applying: one request per row at the worker, sent after a pause in typing; a reply
// for a text since changed is dropped, and the latest text sent when it comes.

function scheduleApply(result) {
  const edit = result.edit;
  clearTimeout(edit.timer);
  edit.timer = liveApply(result) ? setTimeout(() => requestApply(result), kTypingPause) : 0;
}

function requestApply(result) {
  const edit = result.edit;
  clearTimeout(edit.timer);
  edit.timer = 0;
  if (edit.inFlight) {
    edit.again = true;
    return;
  }
  if (upToDate(edit)) {
    settled(edit);
    return;
  }
  const id = nextApplyId;
  nextApplyId += 1;
  applying.set(id, result);
  edit.inFlight = true;
  edit.sent = edit.version;
  let edits = currentBytes(result);
  if (edits === result.definitions) edits = edits.slice();  // handed over, so a copy
  worker.postMessage({ apply: true, id, path: result.path, file: result.file, edits: edits.buffer,
    editsPath: result.outputName }, [edits.buffer]);
}

function settled(edit) {
  for (const done of edit.waiters.splice(0)) done();
}

// Resolves once the text as it stands has been applied (or the page has given up on it).
function settle(result) {
  const edit = result.edit;
  if (upToDate(edit)) return Promise.resolve();
  return new Promise((done) => {
    edit.waiters.push(done);
    requestApply(result);
  });
}

// The number in the tool's "<edits>:<line>: <what>", read from the bytes after the edits'
// name, which the page gave as UTF-8.
function faultLine(consoleBytes, editsPath) {
  const digits = /^:(\d+):/.exec(String.fromCharCode(...consoleBytes.subarray(
    encoder.encode(editsPath).length, encoder.encode(editsPath).length + 24)));
  return digits ? Number(digits[1]) : 0;
}

function takeApplyReply(reply) {
  const result = applying.get(reply.id);
  if (result === undefined) return;  // from before Clear
  applying.delete(reply.id);
  const edit = result.edit;
  edit.inFlight = false;
  if (edit.sent === edit.version) {
    const lines = decodePieces(reply.console, 10).replace(/\n$/, '');
    edit.applied = { version: edit.sent, status: reply.status, lines,
      line: reply.status === 10 ? faultLine(reply.console, result.outputName) : 0 };
    edit.model = null;
    if (reply.status === 0) {
      edit.bones = reply.bones;
      if (!lines.startsWith(kNothingChanged)) edit.model = new Blob([reply.model]);
    }
    settled(edit);
    showEdit(result, reply.status === 0);
  } else if (edit.again || edit.waiters.length > 0) {
    requestApply(result);
  }
  edit.again = false;
}

// The worker stopped with edits at it: their outcome is the page's own failure.
function editsLost(why) {
  for (const result of applying.values()) {
    const edit = result.edit;
    edit.inFlight = false;
    edit.again = false;
    edit.model = null;
    edit.applied = { version: edit.sent, status: kPageFailed, line: 0,
      lines: `The page failed on ${result.path}: its worker stopped (${why}). This is a fault of ` +
             'the page, not of the model; sproing_apply gives the edits\' own outcome.' };
    settled(edit);
    showEdit(result, false);
  }
  applying.clear();
}

// Before the page forgets its rows: nothing is to be sent for them any more.
function forgetEdits() {
  for (const result of applying.values()) settled(result.edit);
  applying.clear();
  for (const result of results) {
    if (result.edit) {
      clearTimeout(result.edit.timer);
      settled(result.edit);
    }
  }
}

// ---- The editor and its outcome line

function toggleEditing(index) {
  const result = results[index];
  const edit = editOf(result);
  edit.editing = !edit.editing;
  if (edit.editing) result.open = true;
  rebuildRow(index, edit.editing && editable(result) ? 'textarea' : '.edit-button');
}

function editorParts(result, index) {
  const edit = result.edit;
  const title = element('h3', '', `${result.outputName}, as it will be saved`);
  title.id = `qci-title-${index}`;
  const area = element('textarea', 'qci-edit');
  area.value = edit.text;
  area.spellcheck = false;
  area.setAttribute('wrap', 'off');
  area.setAttribute('autocomplete', 'off');
  area.rows = Math.min(24, edit.text.split('\n', 25).length + 1);
  area.setAttribute('aria-labelledby', title.id);
  area.setAttribute('aria-describedby', `edit-status-${index}`);
  area.addEventListener('input', () => {
    edit.text = area.value;
    edit.version += 1;
    scheduleApply(result);
    showEdit(result, false);
  });
  area.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
      event.preventDefault();
      requestApply(result);
    }
  });
  const status = element('div', 'edit-status');
  status.id = `edit-status-${index}`;
  status.setAttribute('aria-live', 'polite');
  const goTo = button('', () => goToLine(area, edit.applied.line));
  goTo.className = 'go-to';
  const apply = button('Apply edits', () => requestApply(result));
  apply.className = 'apply';
  apply.hidden = liveApply(result);
  const revert = button('Undo all edits', () => {
    area.value = edit.original;
    area.dispatchEvent(new Event('input'));
    area.focus();
  });
  revert.className = 'revert';
  const save = button('Save changed model', () => saveChanged(result, save));
  save.className = 'save-model';
  const bar = element('div', 'edit-bar');
  bar.append(apply, goTo, revert, save);
  return [title, area, status, bar];
}

// Edits still to be applied are applied first. The button is never disabled outright, so
// that Tab from the text reaches it while the last keys are being applied.
async function saveChanged(result, save) {
  if (save.getAttribute('aria-disabled') === 'true') return;
  await settle(result);
  const model = changedModel(result);
  if (model) saveBytes(fileNameOf(result.path), model, 'application/octet-stream');
  else announce(outcomeText(result));
}

function goToLine(area, line) {
  const lines = area.value.split('\n');
  const start = lines.slice(0, line - 1).reduce((sum, text) => sum + text.length + 1, 0);
  area.focus();
  area.setSelectionRange(start, start + (lines[line - 1] || '').length);
  const height = area.scrollHeight / Math.max(lines.length, 1);
  area.scrollTop = Math.max(0, (line - 3) * height);
}

function outcomeText(result) {
  const edit = result.edit;
  const applied = edit.applied;
  if (!upToDate(edit) && !liveApply(result)) {
    return `This model is ${mebibytes(result.file.size)}, too large to apply edits as you type: ` +
      'press Apply edits (or Ctrl+Enter in the text) to see them.';
  }
  if (applied === null) {
    return 'Edit the text: the pictures follow as you type, and Save changed model saves the ' +
      'model with your edits.';
  }
  if (applied.status !== 0) return applied.lines;
  const lines = applied.lines.split('\n');
  lines.pop();  // "Wrote <name>": nothing is written until the model is saved
  if (lines.length > kShownChanges + 1) {
    lines.splice(kShownChanges, lines.length, `and ${lines.length - kShownChanges} more bones changed`);
  }
  if (edit.model !== null) lines.push(`Save changed model saves it as ${fileNameOf(result.path)}.`);
  return lines.join('\n');
}

// Brings the row's elements, where it has them, to the state of its edits; `redraw` when
// the bones' pictures are to follow.
function showEdit(result, redraw, row = rendered.get(result.index)) {
  if (!row) return;
  const edit = result.edit;
  row.querySelector('.edited').hidden = !edited(result);
  const status = row.querySelector('.edit-status');
  if (status) {
    const failed = edit.applied !== null && edit.applied.status !== 0;
    const text = outcomeText(result);
    if (status.textContent !== text) status.textContent = text;
    status.classList.toggle('error', failed);
    status.classList.toggle('pending', !upToDate(edit) && edit.applied !== null);
    row.querySelector('textarea').setAttribute('aria-invalid', String(failed));
    const goTo = row.querySelector('.go-to');
    goTo.hidden = !(edit.applied && edit.applied.line > 0);
    goTo.textContent = `Go to line ${edit.applied ? edit.applied.line : 0}`;
    // Disabled once it is known that there is nothing to save.
    row.querySelector('.save-model').setAttribute('aria-disabled',
      String(!edited(result) || (upToDate(edit) && edit.model === null)));
    row.querySelector('.revert').disabled = !edited(result);
  }
  const pictures = row.querySelector('.pictures');
  if (redraw && pictures) {
    pictures.replaceChildren();
    drawBones(pictures, decodePieces(currentBones(result), 0x1e));
  }
}
