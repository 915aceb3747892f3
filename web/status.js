// The progress line, the counts per outcome and the filter's choices, brought up to date
// before rows are placed; the end of a batch is announced to screen readers.
'use strict';

function updateStatus() {
  $('progress').max = Math.max(total, 1);
  $('progress').value = done;
  let text = total === 0 ? 'No models yet.' : `${done} of ${plural(total, 'model', 'models')} done`;
  if (total > 0 && batchSeconds !== null) text += ` in ${batchSeconds.toFixed(2)} s`;
  $('count').textContent = text;
  const countList = $('counts');
  countList.replaceChildren();
  for (const kind of new Set([...outcomeKinds(), ...counts.keys()])) {
    const { label, look } = outcomeOf(kind);
    const count = counts.get(kind) || 0;
    if (count === 0) continue;
    const item = element('li', look);
    item.append(element('span', 'dot'), `${label} `, element('strong', '', String(count)));
    countList.appendChild(item);
  }
  addFilterChoices();
  $('save-all').disabled = ![...counts.keys()].some(wasWritten);
  $('cancel').disabled = !running();
  $('clear').disabled = results.length === 0 && !running() && $('notices').childElementCount === 0;
  $('find').hidden = results.length === 0;
  $('matching').textContent = shown.length === results.length ? '' : `${shown.length} of ${results.length} shown`;
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

// One choice per outcome met, refusals named as such.
function addFilterChoices() {
  const select = $('filter');
  for (const kind of new Set([...outcomeKinds(), ...counts.keys()])) {
    const { label, look } = outcomeOf(kind);
    if (look === kDone || !counts.has(kind) || [...select.options].some((o) => o.value === kind)) continue;
    const option = element('option', '', look === kRefused ? `refused: ${label}` : label);
    option.value = kind;
    select.appendChild(option);
  }
}
