// The Scale control of an edited row: a factor, what it scales and which bones, written into
// the text (scale.js) as one edit of the box, so that the editor's own Undo takes it back.
'use strict';

// The words for each kind Scale can scale, in the order shown; a kind the page has no words
// for comes last, by its name.
const kScaleLabels = { stiffness: 'stiffness', damping: 'damping', mass: 'mass', length: 'length',
  limits: 'limits (whole degrees, rounded outwards)', room: 'base-spring room' };

function shownScaleKinds() {
  const order = Object.keys(kScaleLabels);
  const rank = (kind) => (order.includes(kind) ? order.indexOf(kind) : order.length);
  return scaleKinds().sort((a, b) => rank(a) - rank(b));
}

// Chromium types a text of many lines into a box in time that grows with their square
// (1.4 s for 1,000 lines, 11 s for 3,000 on the development machine): a change over more
// lines is set outright, and its Undo is the page's own.
const kTypedLines = 150;

function countBreaks(text) {
  let breaks = 0;
  for (let at = text.indexOf('\n'); at >= 0 && breaks <= kTypedLines; at = text.indexOf('\n', at + 1)) breaks += 1;
  return breaks;
}

// Replaces the box's text by `scaled.text` as typing would, so that the box's own Undo takes
// it back: only the span that changed is replaced. A span of many lines, or one the browser
// will not type, is set outright, and Ctrl+Z (or Cmd+Z) right after takes it back all the same.
function typeScaled(edit, area, scaled) {
  const old = area.value;
  const inserted = scaled.text.slice(scaled.first, scaled.text.length - (old.length - scaled.last));
  let typed = false;
  if (countBreaks(inserted) <= kTypedLines) {
    area.focus({ preventScroll: true });
    area.setSelectionRange(scaled.first, scaled.last);
    try {
      typed = document.execCommand('insertText', false, inserted);
    } catch (refused) {
      typed = false;
    }
  }
  edit.scaleUndo = null;
  if (!typed || area.value !== scaled.text) {
    // The caret is put back once the box has laid the new text out, not at once, which
    // would have it laid out twice.
    const scroll = area.scrollTop;
    area.value = scaled.text;
    area.dispatchEvent(new Event('input'));
    edit.scaleUndo = { before: old, after: scaled.text, caret: scaled.first };
    requestAnimationFrame(() => {
      area.setSelectionRange(scaled.first, scaled.first);
      area.scrollTop = scroll;
    });
  }
}

// Ctrl+Z or Cmd+Z in the box just after a Scale that was set outright: the text before it.
function undoScale(edit, area, event) {
  const undo = edit.scaleUndo;
  if (!undo || event.shiftKey || !(event.ctrlKey || event.metaKey) || event.key.toLowerCase() !== 'z') return;
  edit.scaleUndo = null;
  if (area.value !== undo.after) return;
  event.preventDefault();
  area.value = undo.before;
  area.setSelectionRange(undo.caret, undo.caret);
  area.dispatchEvent(new Event('input'));
}

function scaleControl(result) {
  const edit = result.edit;
  const box = element('details', 'scale');
  box.appendChild(element('summary', '', 'Scale many bones at once'));
  const form = element('div', 'scale-form');
  const factorLabel = element('label', '', 'Factor ');
  const factor = element('input', 'scale-factor');
  Object.assign(factor, { type: 'number', step: 'any', min: '0', value: '2' });
  factorLabel.appendChild(factor);
  const kinds = element('fieldset', 'scale-kinds');
  kinds.appendChild(element('legend', '', 'Scale'));
  for (const kind of shownScaleKinds()) {
    const label = element('label');
    const check = element('input');
    Object.assign(check, { type: 'checkbox', value: kind, checked: kind === 'stiffness' });
    label.append(check, ` ${kScaleLabels[kind] || kind}`);
    kinds.appendChild(label);
  }
  const nameLabel = element('label', '', 'Only bones whose name contains ');
  const name = element('input', 'scale-name');
  Object.assign(name, { type: 'text', autocomplete: 'off', spellcheck: false, placeholder: 'all bones' });
  nameLabel.appendChild(name);
  const status = element('p', 'scale-status');
  status.setAttribute('aria-live', 'polite');
  const go = button('Scale', () => {
    const by = Number(factor.value);
    const chosen = new Set([...kinds.querySelectorAll('input:checked')].map((check) => check.value));
    if (!(by > 0) || !Number.isFinite(by)) {
      status.textContent = 'The factor must be a number above 0, such as 2 or 0.5.';
      return;
    }
    if (chosen.size === 0) {
      status.textContent = 'Choose what to scale.';
      return;
    }
    if (!renderedRow(result.index)) return;
    const request = { factor: by, kinds: chosen, nameContains: name.value.trim() };
    // The module writes the values as stored, in the worker: the text is scaled once they
    // come, again where it was typed into meanwhile.
    const scale = () => whenPlaced(edit, () => {
      const version = edit.version;
      scaleText(edit.text, edit.places, request, formatValues).then((scaled) => {
        if (edit.version !== version) {
          scale();
          return;
        }
        const row = renderedRow(result.index);
        const area = row && row.querySelector('textarea');
        if (!area) return;
        const said = row.querySelector('.scale-status') || status;
        if (scaled.values === 0) {
          said.textContent = 'Nothing to scale: no bone chosen has such a value, or it stays the same.';
          return;
        }
        typeScaled(edit, area, scaled);
        // Applied at once, not after a pause in typing: this was one edit, not a key.
        requestApply(edit);
        said.textContent = `Scaled ${plural(scaled.values, 'value', 'values')} of ${plural(scaled.bones, 'bone', 'bones')} ` +
          `by ${by}. Undo (Ctrl+Z in the text) takes it back.`;
      }, (error) => {
        status.textContent = `Could not scale: ${error.message || error}.`;
      });
    });
    scale();
  }, 'scale-go');
  form.append(factorLabel, kinds, nameLabel, go, status);
  box.appendChild(form);
  return box;
}
