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
    row.querySelector('.bench').scrollIntoView({ block: 'start' });
    caretTo(area, 0);
    caretMoved(result, area);
    const version = edit.version;
    // The caret goes to the first block once the module has placed the text's blocks.
    whenPlaced(edit, () => {
      const first = edit.places.bones[0];
      if (first && edit.version === version && area.isConnected && area.selectionStart === 0) caretTo(area, first.start);
      caretMoved(result, area);
    });
  }
}

function countLines(text) {
  let lines = 1;
  for (let at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', at + 1)) lines += 1;
  return lines;
}

function bench(result, index) {
  const edit = result.edit;
  if (!edit.lineCount) edit.lineCount = countLines(edit.text);
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
    edit.lineCount = countLines(edit.text);
    // Next frame: reading the box's size now would lay its whole text out at once.
    requestAnimationFrame(() => drawGutter(result, area, area.previousElementSibling));
    textChanged(result);
    showEdit(result);
    caretMoved(result, area);
  });
  area.addEventListener('keydown', (event) => {
    undoScale(edit, area, event);
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
  const gutter = element('div', 'gutter');
  gutter.setAttribute('aria-hidden', 'true');
  const box = element('div', 'text-box');
  box.append(gutter, area);
  area.addEventListener('scroll', () => drawGutter(result, area, gutter), { passive: true });
  new ResizeObserver(() => drawGutter(result, area, gutter)).observe(area);
  side.append(title, box, status, goTos, bar, scaleControl(result), siblingsSection(result));
  // The skeleton above the cards, beside the text.
  const column = bonePanel(result);
  column.prepend(skeletonSection(result));
  grid.append(side, column);
  // Where the text was left, when the row is drawn again.
  requestAnimationFrame(() => {
    area.setSelectionRange(edit.caret, edit.caret);
    if (edit.scroll) area.scrollTop = edit.scroll;
    drawGutter(result, area, gutter);
  });
  requestPlaces(edit);
  return grid;
}

// Edits still to be applied are applied first. The button is never disabled outright, so
// that Tab reaches it while the last keys are being applied.
async function saveChanged(result, save) {
  if (save.getAttribute('aria-disabled') === 'true') return;
  await settle(result.edit);
  const model = changedModel(result.edit);
  if (model) saveBytes(result.fileName, model, 'application/octet-stream');
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

// A refused line's way there: for a block left unclosed, where its "}" is missing, since
// that is what is wrong; else the line itself. { label's line, go }
function goToRefusal(edit, area, line) {
  const unclosed = placed(edit) ? edit.places.unclosed.find((place) => place.line === line) : null;
  if (!unclosed) return { line, go: () => goToLine(area, line) };
  return { line: unclosed.atLine, go: () => caretTo(area, unclosed.offset) };
}

// The caret's bone is found once a frame, however many events a key brings, from the
// module's places of the text as it stands (asked for, where they are older).
function caretMoved(result, area) {
  const edit = result.edit;
  edit.caret = area.selectionStart;
  if (edit.caretFrame) return;
  edit.caretFrame = requestAnimationFrame(() => {
    edit.caretFrame = 0;
    if (!placed(edit)) {
      requestPlaces(edit);
      return;  // placesChanged comes back here
    }
    let name = null;
    for (const bone of edit.places.bones) {
      if (bone.start > edit.caret) break;
      ({ name } = bone);
    }
    markCaretBone(result, name);
  });
}

// The module placed the text anew: the caret's card, the gutter and Go to line follow.
function placesChanged(result) {
  const row = renderedRow(result.index);
  const area = row && row.querySelector('textarea');
  if (!area) return;
  findChangedLines(result);
  caretMoved(result, area);
  drawGutter(result, area, row.querySelector('.gutter'));
  showEdit(result, row);
}

function goToBone(result, name) {
  const row = renderedRow(result.index);
  const area = row && row.querySelector('textarea');
  if (!area) return;
  whenPlaced(result.edit, () => {
    const bone = result.edit.places.bones.find((found) => found.name === name);
    if (!bone) return;
    caretTo(area, bone.start);
    caretMoved(result, area);
  });
}

// The lines holding a value that differs from the stored bone's, by the module's places.
function findChangedLines(result) {
  const edit = result.edit;
  if (!edit.storedValues) {
    edit.storedValues = new Map();
    for (const bone of parseBones(decodePieces(result.bones, 0x1e))) {
      if (!edit.storedValues.has(bone.name)) {
        edit.storedValues.set(bone.name, new Map(bone.fields.map((field) => [field.keyword, field.values])));
      }
    }
  }
  const lines = new Set();
  if (edit.text !== edit.original) {
    for (const place of edit.places.values) {
      const stored = edit.storedValues.has(place.bone) ? edit.storedValues.get(place.bone).get(place.keyword) : undefined;
      const same = stored !== undefined && stored.length === place.values.length &&
        place.values.every(({ text }, i) => text === stored[i] || Number(text) === Number(stored[i]));
      if (!same) lines.add(place.line);
    }
  }
  edit.changedLines = lines;
}

// The gutter: the numbers of the lines in view, a mark on each line whose value differs
// from the stored one. Only the lines in view are drawn: a text may have thousands.
function drawGutter(result, area, gutter) {
  if (!gutter) return;
  const style = getComputedStyle(area);
  const top = parseFloat(style.paddingTop) || 0;
  const total = result.edit.lineCount || 1;
  // The height a line really takes, from the box's whole height where its text overflows,
  // so that the numbers keep to their lines however far down a long text.
  const inner = area.scrollHeight - top - (parseFloat(style.paddingBottom) || 0);
  const height = area.scrollHeight > area.clientHeight + 1 && total > 1 ? inner / total : lineHeight(area);
  const first = Math.max(0, Math.floor((area.scrollTop - top) / height));
  const count = Math.ceil(area.clientHeight / height) + 2;
  const changed = result.edit.changedLines || new Set();
  const lines = [];
  for (let line = first + 1; line <= Math.min(total, first + count); line += 1) {
    const mark = element('div', changed.has(line) ? 'changed' : '', String(line));
    lines.push(mark);
  }
  // The first line's offset may be negative, part of it scrolled out: a margin, since a
  // padding cannot be negative.
  if (lines.length > 0) lines[0].style.marginTop = `${top + first * height - area.scrollTop}px`;
  gutter.replaceChildren(...lines);
  // The box's own line height and font, so that the numbers stand beside their lines.
  gutter.style.lineHeight = `${height}px`;
  gutter.style.fontSize = style.fontSize;
  // As tall as the box, never taller: the lines past its foot are cut off.
  gutter.style.height = `${area.offsetHeight}px`;
  gutter.style.boxSizing = 'border-box';
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
  if (edit.model !== null) lines.push(`Save changed model saves it as ${result.fileName}.`);
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
  const ways = lines.slice(0, kShownGoTos).map((line) => goToRefusal(edit, area, line));
  const wanted = ways.map((way) => `Go to line ${way.line}`);
  if ([...goTos.children].map((b) => b.textContent).join('\n') !== wanted.join('\n')) {
    goTos.replaceChildren(...ways.map((way) => button(`Go to line ${way.line}`, way.go, 'go-to')));
  }
  goTos.hidden = wanted.length === 0;
  row.querySelector('.revert').disabled = !edited(result);
  const siblings = row.querySelector('.siblings');
  if (siblings) siblings.hidden = !edited(result) && result.siblings.length === 0;
}
