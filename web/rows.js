// The list of rows: the results the filter and search let through, of which only those in
// view exist (virtual_list.js), so that a batch runs as fast at its end as at its start.
'use strict';

let shown = [];   // indices of the results the filter and search let through
let filter = 'all';
let search = '';

const rowList = virtualList($('rows'), {
  make: (index) => makeRow(index),
  estimate: 56,
  view() {
    const top = $('rows').getBoundingClientRect().top;
    return [-top - window.innerHeight / 2, -top + window.innerHeight * 1.5];
  },
  // The first closed row measured sets the height expected of the others.
  measured: (index, height, wasKnown) => (!wasKnown && !results[index].open ? height : undefined),
  // The row holding keyboard focus stays, wherever it is scrolled to.
  keep() {
    const focused = document.activeElement && document.activeElement.closest('#rows > li');
    return focused ? Number(focused.dataset.index) : undefined;
  },
  before: () => updateStatus(),
});

function scheduleRender() {
  rowList.schedule();
}

// The filter's choices: all, a look (written, refused), or one outcome.
function matches(result) {
  if (filter === kDone || filter === kRefused) {
    if (outcomeOf(result.kind).look !== filter) return false;
  } else if (filter !== 'all' && result.kind !== filter) {
    return false;
  }
  return search === '' || result.path.toLowerCase().includes(search);
}

function rowAdded(result) {
  if (matches(result)) {
    shown.push(result.index);
    rowList.push(result.index);
  }
}

function applyView() {
  filter = $('filter').value;
  search = $('search').value.trim().toLowerCase();
  shown = results.filter(matches).map((result) => result.index);
  rowList.setKeys(shown.slice());
}

// The row drawn again, after it opened, closed or began editing, with focus on `focus`.
function rebuildRow(index, focus) {
  return rowList.remake(index, focus);
}

function renderedRow(index) {
  return rowList.element(index);
}

function forgetRows() {
  rowList.clear();
  shown = [];
}

$('filter').addEventListener('change', applyView);
let searchTimer = 0;
$('search').addEventListener('input', () => {
  clearTimeout(searchTimer);
  searchTimer = setTimeout(applyView, 120);
});
window.addEventListener('scroll', scheduleRender, { passive: true });
window.addEventListener('resize', scheduleRender);
