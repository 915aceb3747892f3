// The Scale control of an edited row: a factor, what it scales and which bones, written into
// the text (scale.js) as one edit of the box, so that the editor's own Undo takes it back.
'use strict';

const kScaleLabels = { stiffness: 'stiffness', damping: 'damping', mass: 'mass', length: 'length',
  limits: 'limits (whole degrees, rounded outwards)', room: 'base-spring room' };

// Replaces the box's text by `scaled.text` as typing would, so that it can be undone: only
// the span that changed is replaced. Where the browser will not, the text is set outright.
function typeScaled(area, scaled) {
  const old = area.value;
  const inserted = scaled.text.slice(scaled.first, scaled.text.length - (old.length - scaled.last));
  area.focus({ preventScroll: true });
  area.setSelectionRange(scaled.first, scaled.last);
  let typed = false;
  try {
    typed = document.execCommand('insertText', false, inserted);
  } catch (refused) {
    typed = false;
  }
  if (!typed || area.value !== scaled.text) {
    area.value = scaled.text;
    area.dispatchEvent(new Event('input'));
  }
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
  for (const kind of kScaleKinds) {
    const label = element('label');
    const check = element('input');
    Object.assign(check, { type: 'checkbox', value: kind, checked: kind === 'stiffness' });
    label.append(check, ` ${kScaleLabels[kind]}`);
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
    const row = renderedRow(result.index);
    const area = row && row.querySelector('textarea');
    if (!area) return;
    whenPlaced(edit, () => {
      const scaled = scaleText(edit.text, edit.places, { factor: by, kinds: chosen, nameContains: name.value.trim() });
      if (scaled.values === 0) {
        status.textContent = 'Nothing to scale: no bone chosen has such a value, or it stays the same.';
        return;
      }
      typeScaled(area, scaled);
      status.textContent = `Scaled ${plural(scaled.values, 'value', 'values')} of ${plural(scaled.bones, 'bone', 'bones')} ` +
        `by ${by}. Undo (Ctrl+Z in the text) takes it back.`;
    });
  }, 'scale-go');
  form.append(factorLabel, kinds, nameLabel, go, status);
  box.appendChild(form);
  return box;
}
