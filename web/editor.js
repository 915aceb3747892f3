// The editor of a written row: its .qci text beside the bone cards (above them on a narrow
// window), the outcome of applying it, with a way to each refused line, and the link
// between the caret and the cards: the caret's bone is marked, a card puts the caret on
// its block.
'use strict';

const kShownChanges = 20;
const kShownGoTos = 20;

function toggleEditing(index) {
  const result = results[index];
  const edit = editOf(result);
  edit.editing = !edit.editing;
  if (edit.editing) result.open = true;
  const opened = edit.editing && editable(result);
  const row = rebuildRow(index, opened ? 'textarea' : '.edit-button');
  if (opened && row) {
    const area = row.querySelector('textarea');
    const first = blocksOf(edit)[0];
    caretTo(area, first ? first.start : 0);
    row.querySelector('.bench').scrollIntoView({ block: 'start' });
    caretMoved(result, area);
  }
}

function bench(result, index) {
  const edit = result.edit;
  const grid = element('div', 'bench');
  const side = element('div', 'editor');
  const title = element('h3', '', `${result.outputName}, as it will be saved`);
  title.id = `qci-title-${index}`;
  const area = element('textarea', 'qci-edit');
  area.value = edit.text;
  area.spellcheck = false;
  area.setAttribute('wrap', 'off');
  area.setAttribute('autocomplete', 'off');
  area.setAttribute('aria-labelledby', title.id);
  area.setAttribute('aria-describedby', `edit-status-${index}`);
  area.addEventListener('input', () => {
    edit.text = area.value;
    textChanged(result);
    showEdit(result);
    caretMoved(result, area);
  });
  area.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
      event.preventDefault();
      requestApply(edit);
    }
  });
  for (const kind of ['selectionchange', 'keyup', 'click', 'focus']) {
    area.addEventListener(kind, () => caretMoved(result, area));
  }
  area.addEventListener('scroll', () => { edit.scroll = area.scrollTop; }, { passive: true });
  const status = element('div', 'edit-status');
  status.id = `edit-status-${index}`;
  status.setAttribute('aria-live', 'polite');
  const goTos = element('div', 'go-tos');
  const apply = button('Apply edits', () => requestApply(edit), 'apply');
  apply.hidden = liveApply(edit);
  const revert = button('Undo all edits', () => {
    area.value = edit.original;
    area.dispatchEvent(new Event('input'));
    area.focus();
  }, 'revert');
  // Beside the text as well as in the row's head, which is out of view while editing.
  const save = button('Save changed model', () => saveChanged(result, save), 'save-model');
  const bar = element('div', 'edit-bar');
  bar.append(apply, save, revert);
  side.append(title, area, status, goTos, bar, siblingsSection(result));
  grid.append(side, bonePanel(result));
  // Where the text was left, when the row is drawn again.
  requestAnimationFrame(() => {
    area.setSelectionRange(edit.caret, edit.caret);
    if (edit.scroll) area.scrollTop = edit.scroll;
  });
  return grid;
}

// Edits still to be applied are applied first. The button is never disabled outright, so
// that Tab reaches it while the last keys are being applied.
async function saveChanged(result, save) {
  if (save.getAttribute('aria-disabled') === 'true') return;
  await settle(result.edit);
  const model = changedModel(result.edit);
  if (model) saveBytes(fileNameOf(result.path), model, 'application/octet-stream');
  else announce(outcomeText(result));
}

// The line height of a text box, for scrolling it to a line.
function lineHeight(area) {
  const height = parseFloat(getComputedStyle(area).lineHeight);
  return Number.isFinite(height) ? height : 18;
}

// Puts the caret at `offset` (selecting up to `end`) and scrolls its line near the top.
function caretTo(area, offset, end = offset) {
  area.focus({ preventScroll: true });
  area.setSelectionRange(offset, end);
  const line = area.value.slice(0, offset).split('\n').length - 1;
  area.scrollTop = Math.max(0, (line - 2) * lineHeight(area));
}

function goToLine(area, line) {
  const lines = area.value.split('\n');
  const start = lines.slice(0, line - 1).reduce((sum, text) => sum + text.length + 1, 0);
  caretTo(area, start, start + (lines[line - 1] || '').length);
}

// The text's $jigglebone blocks, { name, start } in order, read as the tools part a text
// into comments, quoted names and bare words; kept until the text changes.
function blocksOf(edit) {
  if (edit.blocks && edit.blocks.version === edit.version) return edit.blocks.list;
  const list = [];
  let start = -1;
  for (const match of edit.text.matchAll(kTokens)) {
    if (match[1] === undefined && match[2] === undefined) continue;  // a comment
    if (start >= 0) {
      list.push({ name: match[1] !== undefined ? match[1] : match[2], start });
      start = -1;
    } else if (match[2] !== undefined && match[2].toLowerCase() === '$jigglebone') {
      start = match.index;
    }
  }
  edit.blocks = { version: edit.version, list };
  return list;
}

// The caret's bone is found once a frame, however many events a key brings: reading the
// blocks of a long text takes a few milliseconds.
function caretMoved(result, area) {
  const edit = result.edit;
  edit.caret = area.selectionStart;
  if (edit.caretFrame) return;
  edit.caretFrame = requestAnimationFrame(() => {
    edit.caretFrame = 0;
    let name = null;
    for (const block of blocksOf(edit)) {
      if (block.start > edit.caret) break;
      ({ name } = block);
    }
    markCaretBone(result, name);
  });
}

function goToBone(result, name) {
  const row = renderedRow(result.index);
  const area = row && row.querySelector('textarea');
  const block = blocksOf(result.edit).find((found) => found.name === name);
  if (!area || !block) return;
  caretTo(area, block.start);
  caretMoved(result, area);
}

function outcomeText(result) {
  const edit = result.edit;
  const applied = edit.applied;
  if (!upToDate(edit) && !liveApply(edit)) {
    return `This model is ${mebibytes(result.file.size)}, too large to apply edits as you type: ` +
      'press Apply edits (or Ctrl+Enter in the text) to see them.';
  }
  if (applied === null) {
    return 'Edit the text: the cards follow as you type, and Save changed model saves the model ' +
      'with your edits.';
  }
  const lines = applied.lines === '' ? [] : applied.lines.split('\n');
  if (appliedWell(applied) && lines.length > kShownChanges + 1) {
    lines.splice(kShownChanges, lines.length, `and ${lines.length - kShownChanges} more lines`);
  }
  if (applied.note) lines.push(applied.note);
  if (edit.model !== null) lines.push(`Save changed model saves it as ${fileNameOf(result.path)}.`);
  return lines.join('\n');
}

// Brings the row's elements, where it has them, to the state of its edits.
function showEdit(result, row = renderedRow(result.index)) {
  if (!row) return;
  const edit = result.edit;
  row.querySelector('.edited').hidden = !edited(result);
  for (const save of row.querySelectorAll('.save-model')) {
    if (save.closest('.head')) save.hidden = !edited(result);
    // Disabled once it is known that there is nothing to save.
    save.setAttribute('aria-disabled', String(!edited(result) || (upToDate(edit) && edit.model === null)));
  }
  const status = row.querySelector('.edit-status');
  if (!status) return;
  const failed = edit.applied !== null && !appliedWell(edit.applied);
  const text = outcomeText(result);
  if (status.textContent !== text) status.textContent = text;
  status.classList.toggle('error', failed);
  status.classList.toggle('pending', !upToDate(edit) && edit.applied !== null);
  const area = row.querySelector('textarea');
  // Set only when it changes: any change to the box's style lays its whole text out again.
  if (area.getAttribute('aria-invalid') !== String(failed)) area.setAttribute('aria-invalid', String(failed));
  // One way to each refused line, as the module listed them.
  const lines = failed ? [...new Set(edit.applied.refusals.map((refusal) => refusal.line))].filter((line) => line > 0) : [];
  const goTos = row.querySelector('.go-tos');
  const wanted = lines.slice(0, kShownGoTos).map((line) => `Go to line ${line}`);
  if ([...goTos.children].map((b) => b.textContent).join('\n') !== wanted.join('\n')) {
    goTos.replaceChildren(...lines.slice(0, kShownGoTos).map((line) =>
      button(`Go to line ${line}`, () => goToLine(area, line), 'go-to')));
  }
  goTos.hidden = wanted.length === 0;
  row.querySelector('.revert').disabled = !edited(result);
  const siblings = row.querySelector('.siblings');
  if (siblings) siblings.hidden = !edited(result) && result.siblings.length === 0;
}
