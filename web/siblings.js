// An edited row's text used on other models, as the same character's other models want the
// same tuning: each model chosen or dropped on the row gets a line of its own there, with the
// text applied as `sproing_apply --skip-missing-bones` applies it (the bones it lacks listed),
// its own Save and a place in the .zip. Each follows the text as it changes.
'use strict';

function useOn(result, files) {
  const row = renderedRow(result.index);
  const list = row && row.querySelector('.sibling-list');
  for (const { file, path } of files) {
    const sibling = applyTarget(result, path, file, true);
    result.siblings.push(sibling);
    requestApply(sibling);
    // Added to the list in place, so that keyboard focus stays on the chooser.
    if (list) list.appendChild(siblingLine(sibling));
  }
  scheduleRender();
}

// The row's part for other models: the way to choose them, and a line for each.
function siblingsSection(result) {
  const section = element('section', 'siblings');
  section.setAttribute('aria-label', `Other models with these edits of ${result.outputName}`);
  section.hidden = !edited(result) && result.siblings.length === 0;
  const chooser = element('label', 'button', 'Use these edits on other models');
  const input = element('input');
  input.type = 'file';
  input.multiple = true;
  input.accept = '.mdl';
  input.addEventListener('change', () => {
    useOn(result, [...input.files].map((file) => ({ file, path: file.name })));
    input.value = '';
  });
  chooser.appendChild(input);
  const help = element('p', 'hint', 'Choose or drop here the same character\'s other models: each gets ' +
    'this text, and keeps its bones that are not in it as they are.');
  const list = element('ul', 'sibling-list');
  for (const sibling of result.siblings) list.appendChild(siblingLine(sibling));
  section.append(chooser, help, list);
  section.takeDrop = (files) => useOn(result, files);
  return section;
}

function siblingLine(sibling) {
  const line = element('li', 'sibling');
  line.siblingTarget = sibling;
  const head = element('div', 'head');
  head.append(element('h4', '', ''), element('span', 'badge', ''));
  head.firstChild.appendChild(pathLabel(sibling.path));
  const save = button('Save changed model', async () => {
    if (save.getAttribute('aria-disabled') === 'true') return;
    await settle(sibling);
    const model = changedModel(sibling);
    if (model) saveBytes(sibling.applied.fileName, model, 'application/octet-stream');
  }, 'save-sibling');
  const remove = button('Remove', () => {
    const result = sibling.owner;
    result.siblings.splice(result.siblings.indexOf(sibling), 1);
    sibling.removed = true;
    sibling.waiters.splice(0).forEach((done) => done());
    line.remove();
    scheduleRender();
  }, 'remove-sibling');
  remove.setAttribute('aria-label', `Remove ${sibling.path}`);
  const actions = element('div', 'actions');
  actions.append(save, remove);
  head.appendChild(actions);
  // What changed first; the bones skipped as one count, listed on demand; the console lines
  // after them.
  const skipped = element('details', 'skipped-bones');
  skipped.append(element('summary'), element('ul'));
  skipped.addEventListener('toggle', () => listSkipped(line, sibling));
  const lines = element('details', 'sibling-lines');
  lines.append(element('summary', '', 'Console lines'), element('pre', 'sibling-outcome'));
  line.append(head, element('p', 'sibling-changed'), skipped, lines);
  fillSibling(line, sibling);
  return line;
}

// The skipped bones, grouped by why, as the module names the reasons.
function skippedGroups(bones) {
  const groups = new Map();
  for (const bone of bones) groups.set(bone.why, [...(groups.get(bone.why) || []), bone]);
  return [...groups].map(([why, list]) => ({ why, words: moduleWords.skipped.get(why) || why, list }));
}

function listSkipped(line, sibling) {
  const box = line.querySelector('.skipped-bones');
  const list = box.querySelector('ul');
  const bones = sibling.applied ? sibling.applied.skipped : [];
  list.replaceChildren(...(box.open ? bones.map(({ line: at, name, why }) => element('li', '',
    `${name}${at > 0 ? ` (line ${at})` : ''}: ${moduleWords.skipped.get(why) || why}`)) : []));
}

function fillSibling(line, sibling) {
  const applied = sibling.applied;
  const pending = !upToDate(sibling);
  const outcome = line.querySelector('.sibling-outcome');
  const badge = line.querySelector('.badge');
  const changed = line.querySelector('.sibling-changed');
  const save = line.querySelector('.save-sibling');
  if (applied === null) {
    outcome.textContent = '';
    badge.textContent = '';
    changed.textContent = 'Applying…';
  } else {
    const word = !appliedWell(applied) ? outcomeOf(applied.outcome || kPageFailedWord).label
      : applied.changed ? 'changed' : 'unchanged';
    badge.textContent = applied.outcome === kPageFailedWord ? word : `${word}, status ${applied.status}`;
    const later = pending && !liveApply(sibling) ? `This model is ${mebibytes(sibling.file.size)}: the text ` +
      'as it stands is applied to it when it is saved.' : '';
    outcome.textContent = [later, applied.lines, applied.note].filter(Boolean).join('\n');
    const names = applied.changedBones || [];
    if (!appliedWell(applied)) changed.textContent = '';
    else if (applied.changed) changed.textContent = `Changes ${plural(names.length, 'bone', 'bones')}: ${names.join(', ')}.`;
    else changed.textContent = 'Nothing in this model changes with these edits: there is nothing to save.';
  }
  const refused = applied !== null && !appliedWell(applied);
  // A refusal is read at once; the lines of an apply that went well, which list every bone
  // skipped, are there on demand: a refusal's lines opened by the page close once it is gone.
  const lines = line.querySelector('.sibling-lines');
  if (refused && !lines.open) {
    lines.open = true;
    lines.openedForRefusal = true;
  } else if (!refused && lines.openedForRefusal) {
    lines.open = false;
    lines.openedForRefusal = false;
  }
  line.classList.toggle('refused', refused);
  line.classList.toggle('pending', pending && applied !== null);
  const skipped = line.querySelector('.skipped-bones');
  const bones = applied ? applied.skipped : [];
  skipped.querySelector('summary').textContent = skippedGroups(bones).map(({ words, list }) =>
    `${plural(list.length, 'bone', 'bones')} skipped: ${words}`).join('; ');
  skipped.hidden = bones.length === 0;
  listSkipped(line, sibling);
  // No Save where nothing would change; while the text is still being applied, it waits.
  save.hidden = applied !== null && !pending && sibling.model === null;
  save.setAttribute('aria-disabled', String(!pending && sibling.model === null));
  const name = applied && applied.fileName ? applied.fileName : sibling.path;
  save.setAttribute('aria-label', `Save changed model ${name}`);
}

function showSibling(sibling) {
  const row = renderedRow(sibling.owner.index);
  if (!row) return;
  for (const line of row.querySelectorAll('li.sibling')) {
    if (line.siblingTarget === sibling) fillSibling(line, sibling);
  }
}
