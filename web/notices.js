// Notices above the list: every failure to take a drop or a file reaches the page; the
// files a folder's walk passed over and the models a Cancel left unread are counted, and
// named on demand.
'use strict';

const kShownNames = 500;

function notice(text, className = 'notice') {
  const line = element('p', className, text);
  $('notices').appendChild(line);
  scheduleRender();
  return line;
}

function announce(text) {
  $('announce').textContent = text;
}

// A notice whose names are listed only when opened: a folder may hold thousands.
function namesNotice(id, summary, hint, names) {
  let box = $(id);
  if (names.length === 0) {
    if (box) box.remove();
    return;
  }
  if (!box) {
    box = element('div', 'notice');
    box.id = id;
    const list = element('details', 'names');
    list.append(element('summary'), element('ul'));
    list.addEventListener('toggle', () => listNames(box, names));
    box.append(list, element('p', 'hint'));
    $('notices').prepend(box);
  }
  box.querySelector('summary').textContent = summary;
  box.querySelector('.hint').textContent = hint;
  box.querySelector('.hint').hidden = hint === '';
  listNames(box, names);
  scheduleRender();
}

function listNames(box, names) {
  const list = box.querySelector('ul');
  if (!box.querySelector('details').open) {
    list.replaceChildren();
    return;
  }
  list.replaceChildren(...names.slice(0, kShownNames).map((name) => element('li', '', name)));
  if (names.length > kShownNames) list.appendChild(element('li', '', `and ${names.length - kShownNames} more`));
}

// Files of a folder the tools do not take as models by name: passed over, as the command
// line would refuse them. `caseOnly` of them would be taken with their name in lower case.
const skipped = [];
let skippedCaseOnly = 0;

// The tools' words for a name they would take in lower case, and the way out, ending in
// the page's own: choose the file again.
function otherCapitalsWords() {
  return `${moduleWords.passedOver.get('other-capitals')}; then choose it again.`;
}

function showSkipped() {
  const files = plural(skipped.length, 'file', 'files');
  namesNotice('skipped', `Skipped ${files} in folders: not models by their names. Show their names`,
    skippedCaseOnly === 0 ? '' : `${skippedCaseOnly} of them end in .MDL or another mix of cases. For each: ` +
      otherCapitalsWords(), skipped);
}

const unreadAtCancel = [];

function showCancelled(paths) {
  unreadAtCancel.push(...paths);
  namesNotice('cancelled', `Cancelled: ${plural(unreadAtCancel.length, 'model was', 'models were')} not ` +
    'read. Show their names', 'Choose or drop them again to read them.', unreadAtCancel);
}

function forgetNotices() {
  skipped.length = 0;
  skippedCaseOnly = 0;
  unreadAtCancel.length = 0;
  $('notices').replaceChildren();
}
