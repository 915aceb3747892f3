// One model's row: its path, outcome and status; for a written model Save, Copy and Edit,
// and, opened, its console lines, bone cards and .qci text, or the editor beside the cards
// while it is edited. Rows come and go as the list scrolls: all state is on the result.
'use strict';

const kShownConsole = 256 * 1024;
// A long text shows its start, and the rest on demand: laying out thousands of lines at once
// would stop the page.
const kShownLines = 300;

function shownConsole(text) {
  // A model of many thousand bones has as many lines; the page shows the start of them.
  return text.length > kShownConsole
    ? `${text.slice(0, kShownConsole)}\n[... ${text.length - kShownConsole} more characters]\n`
    : text;
}

// A path that breaks after its folders and word parts, not in the middle of a word.
function pathLabel(path) {
  const label = document.createDocumentFragment();
  for (const part of path.split(/(?<=[/\\_-])/)) label.append(part, element('wbr'));
  return label;
}

function makeRow(index) {
  const result = results[index];
  const { label, look } = outcomeOf(result.kind);
  const row = element('li', `row ${look}`);
  row.dataset.index = String(index);
  row.dataset.status = String(result.status);
  const card = element('div', 'card');
  row.appendChild(card);
  const head = element('div', 'head');
  card.appendChild(head);
  const heading = element('h2');
  head.appendChild(heading);
  const code = result.kind === kPageFailedWord ? label : `${label}, status ${result.status}`;
  if (!wasWritten(result.kind)) {
    // A refusal is one line, shown once.
    heading.appendChild(pathLabel(result.path));
    head.append(element('p', 'outcome console', shownConsole(result.console)), element('span', 'badge', code));
    if (result.note) card.appendChild(element('p', 'row-note', result.note));
    if (result.caseHint) {
      const words = otherCapitalsWords();
      card.appendChild(element('p', 'row-note', words.charAt(0).toUpperCase() + words.slice(1)));
    }
    return row;
  }
  const toggle = button('', () => {
    result.open = !result.open;
    rebuildRow(index, '.toggle');
  }, 'toggle');
  toggle.appendChild(pathLabel(result.path));
  toggle.setAttribute('aria-expanded', String(result.open));
  heading.appendChild(toggle);
  const lines = result.console.endsWith('\n') ? result.console.slice(0, -1) : result.console;
  const marker = element('span', 'badge edited', 'edited');
  marker.hidden = !edited(result);
  head.append(element('p', 'outcome', lines.slice(lines.lastIndexOf('\n') + 1)),
    element('span', 'badge', code), marker);
  const actions = element('div', 'actions');
  const edit = button('Edit', () => toggleEditing(index), 'edit-button');
  edit.setAttribute('aria-pressed', String(Boolean(result.edit && result.edit.editing)));
  // Shown once the text is edited, whether or not the editor is open.
  const save = button('Save changed model', () => saveChanged(result, save), 'save-model');
  save.hidden = !edited(result);
  actions.append(
    button(`Save ${result.outputName}`, () => savedText(result).then((bytes) => saveBytes(result.outputName, bytes,
      'text/plain'))),
    button('Copy', (event) => copyText(currentText(result), event.target, result.outputName)),
    edit, save, button('Save skeleton (.glb)', () => saveSkeleton(result), 'save-skeleton'));
  head.appendChild(actions);
  if (result.open) card.appendChild(rowDetails(result, index));
  if (result.edit) showEdit(result, row);
  return row;
}

// A box that may scroll: reachable from the keyboard, and named for it.
function scrollable(box, name) {
  box.tabIndex = 0;
  box.setAttribute('aria-label', name);
  return box;
}

function rowDetails(result, index) {
  const details = element('div', 'details');
  details.appendChild(scrollable(element('pre', 'console', shownConsole(result.console)),
    `Console lines for ${result.path}`));
  const editing = result.edit && result.edit.editing;
  if (editing && editable(result)) {
    details.appendChild(bench(result, index));
  } else {
    details.append(skeletonSection(result), element('h3', '', 'Jiggle bones, drawn'), bonePanel(result));
    if (editing) {
      details.appendChild(element('p', 'notice', `This text is ${mebibytes(result.definitions.length)}, ` +
        'too long to edit on this page: save it, edit it in a text editor and apply it to the model ' +
        'with sproing_apply.'));
    }
    details.appendChild(element('h3', '', `${result.outputName}, as it will be saved`));
    const whole = currentText(result);
    const lines = whole.split('\n');
    const long = lines.length > kShownLines + 1;
    const text = scrollable(element('pre', 'qci', long ? lines.slice(0, kShownLines).join('\n') : whole),
      `${result.outputName} text`);
    details.appendChild(text);
    if (long) {
      const more = button(`Show all ${lines.length - 1} lines`, () => {
        text.textContent = whole;
        more.remove();
        text.focus();
      }, 'show-all');
      details.appendChild(more);
    }
  }
  if (edited(result) || result.siblings.length > 0) details.appendChild(siblingsSection(result));
  return details;
}
