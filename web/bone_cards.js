// A written row's bone cards: every jiggle bone's card, in a box of its own that scrolls,
// where only the cards in view exist. While the row is edited the cards follow the text as
// it applies, a bone its edit changed is jolted, the bone under the caret is marked and kept
// in view, and a card's name puts the caret on its block.
'use strict';

const kCardEstimate = 420;  // px, a card not yet measured
const kLineEstimate = 30;   // px, a bone's line in the compact view
// Whether the cards are shown one line per bone: for all rows at once, as the legend.
let compactCards = false;

// The row's cards' state, kept on the result while its elements come and go:
// { bones, stored (name -> the model's own bone, while edited), scale, entries, caret, list }
function cardsOf(result) {
  const editing = Boolean(result.edit && result.edit.editing);
  let state = result.cards;
  if (!state || state.editing !== editing) {
    const own = parseBones(decodePieces(result.bones, 0x1e));
    const stored = new Map();
    if (editing) for (const bone of own) if (!stored.has(bone.name)) stored.set(bone.name, bone);
    const bones = parseBones(decodePieces(currentBones(result), 0x1e));
    state = { editing, bones, own, stored, scale: baseScale([...own, ...bones]), entries: new Map(), caret: -1,
      list: null, scroller: null, full: new Set() };
    result.cards = state;
  }
  return state;
}

function entryOf(state, index) {
  let entry = state.entries.get(index);
  if (!entry) {
    const bone = state.bones[index];
    entry = motionEntry(bone, state.stored.get(bone.name));
    state.entries.set(index, entry);
  }
  return entry;
}

// The legend and the box of cards, for the row's details or beside its editor.
function bonePanel(result) {
  const state = cardsOf(result);
  const column = element('div', 'bone-column');
  const bar = element('div', 'cards-bar');
  const compact = button(compactCards ? 'Full cards' : 'One line per bone', () => {
    // The bone at the top of the box stays there.
    const atTop = state.list.keys().find((key) => state.list.topOf(key) + state.list.heightOf(key) > scroller.scrollTop);
    compactCards = !compactCards;
    state.full.clear();
    compact.textContent = compactCards ? 'Full cards' : 'One line per bone';
    compact.setAttribute('aria-pressed', String(compactCards));
    state.list.remeasure(compactCards ? kLineEstimate : kCardEstimate);
    for (const key of [...state.list.made().keys()]) state.list.remake(key);
    // Heights are learned as the new items are drawn: placed again until it stands still.
    for (let pass = 0; pass < 3; pass += 1) {
      state.list.render();
      scroller.scrollTop = atTop === undefined ? 0 : state.list.topOf(atTop);
    }
    state.list.render();
  }, 'compact');
  compact.setAttribute('aria-pressed', String(compactCards));
  bar.append(element('span', 'cards-count', plural(state.bones.length, 'jiggle bone', 'jiggle bones')), compact,
    button('Jolt all in view', () => {
      for (const item of state.list.made().values()) if (item.previewEntry) jolt(item.previewEntry);
    }, 'jolt-all'));
  const scroller = scrollable(element('div', 'cards-scroll'), `Jiggle bones of ${result.path}`);
  const list = element('ul', 'cards');
  scroller.appendChild(list);
  column.append(boneLegend(state.scale, state.own), bar, scroller);
  state.scroller = scroller;
  state.list = virtualList(list, {
    make: (index) => makeCard(result, index),
    estimate: compactCards ? kLineEstimate : kCardEstimate,
    view: () => [scroller.scrollTop - scroller.clientHeight / 2, scroller.scrollTop + scroller.clientHeight * 1.5],
    dropped: (index, card) => hideCard(card),
    // Cards and compact lines differ in height: the last new one measured is the estimate.
    measured: (index, height, wasKnown) => (wasKnown ? undefined : height),
  });
  state.list.setKeys(state.bones.map((bone, index) => index));
  scroller.addEventListener('scroll', () => state.list.schedule(), { passive: true });
  return column;
}

// The swing numbers and plot of an entry, worked out once, when its card is first made.
function swingOf(entry, bone, stored) {
  if (!entry.swing) {
    entry.swing = cardSwing(bone, stored && stored.record !== bone.record ? stored : null);
  }
  return entry.swing;
}

// A bone's compact line: name, its first axis's frequency and ζ, its limits, and its full card
// on demand.
function compactLine(result, index, item, card) {
  const state = result.cards;
  const bone = state.bones[index];
  const stored = state.stored.get(bone.name);
  const entry = entryOf(state, index);
  entry.movers = null;
  entry.plot = null;
  const swing = swingOf(entry, bone, stored).now[0];
  card.classList.add('compact');
  const name = state.editing ? button(bone.name, () => goToBone(result, bone.name), 'bone-name')
    : element('span', 'bone-title', bone.name);
  const limits = bone.fields.filter((field) => field.role === 'limit')
    .map((field) => `${field.axis} ${withUnit(field)}`).join(', ') || 'no limits';
  const numbers = swing ? `${swingNumber(swing.hz)} Hz, ${zetaText(swing.zeta)}` : 'moves only with its base';
  const changed = stored && stored.record !== bone.record ? element('span', 'was', ' edited') : '';
  const line = element('span', 'line-numbers', `${numbers}; ${limits}`);
  line.title = line.textContent;
  const open = button('Full card', () => {
    state.full.add(index);
    state.list.forget(index);
    state.list.remake(index, '.jolt');
    // The card opened stays in view, its top where its line was.
    for (let pass = 0; pass < 2; pass += 1) {
      state.list.render();
      state.scroller.scrollTop = state.list.topOf(index);
    }
    state.list.render();
  }, 'full-card');
  open.setAttribute('aria-label', `Full card of ${bone.name}`);
  card.append(name, line);
  if (changed) card.append(changed);
  card.append(open);
  if (state.caret === index) {
    card.classList.add('at-caret');
    card.setAttribute('aria-current', 'true');
  }
  return item;
}

function makeCard(result, index) {
  const state = result.cards;
  const bone = state.bones[index];
  // A list item, so that a screen reader hears which of how many cards it is.
  const item = element('li', 'card-item');
  const card = element('figure', 'bone');
  card.dataset.bone = String(index);
  item.appendChild(card);
  if (compactCards && !state.full.has(index)) return compactLine(result, index, item, card);
  const caption = element('figcaption');
  if (state.editing) {
    // The name takes the caret to the bone's block; so does a click anywhere on the card.
    const name = button(bone.name, () => goToBone(result, bone.name), 'bone-name');
    name.title = 'Put the caret on this bone\'s block';
    caption.appendChild(name);
    card.addEventListener('click', (event) => {
      if (!event.target.closest('button')) goToBone(result, bone.name);
    });
  } else {
    caption.textContent = bone.name;
  }
  const movers = {};
  const entry = entryOf(state, index);
  entry.movers = movers;
  const joltButton = button('Jolt', () => jolt(entry), 'jolt');
  joltButton.setAttribute('aria-label', `Jolt ${bone.name}`);
  const stored = state.stored.get(bone.name);
  const differs = Boolean(stored) && stored.record !== bone.record;
  card.append(caption, joltButton, ...bonePictures(bone, state.scale, movers, differs ? stored : null));
  const swing = swingOf(entry, bone, stored);
  if (swing.now.length > 0) {
    const held = { now: swing.response.widest, stored: swing.storedResponse ? swing.storedResponse.widest : null };
    const plot = swingPlot(swing.response, swing.storedResponse, swing.seconds, swing.never);
    entry.plot = plot;
    const box = element('div', 'swing-box');
    box.append(plot, swingTable(swing.now, held, swing.before));
    card.appendChild(box);
  }
  if (entry.ghost && stored.record !== bone.record) {
    for (const parts of Object.values(movers)) {
      if (!parts || !parts.ghost) continue;
      (parts.ghost.group || parts.ghost).style.display = '';
    }
  }
  if (state.caret === index) {
    card.classList.add('at-caret');
    card.setAttribute('aria-current', 'true');
  }
  showCard(item, entry);
  return item;
}

// The edits applied: the cards take the new bone data; a bone whose numbers changed is
// drawn anew and jolted, so that its new motion shows beside the stored one.
function bonesApplied(result, bones) {
  result.edit.bones = bones;
  skeletonBonesApplied(result);
  const state = result.cards;
  if (!state) return;
  const before = state.bones;
  state.bones = parseBones(decodePieces(bones, 0x1e));
  const scale = baseScale([...state.stored.values(), ...state.bones]);
  const rescaled = scale !== state.scale;
  state.scale = scale;
  const changed = [];
  state.bones.forEach((bone, index) => {
    if (!before[index] || before[index].record !== bone.record) {
      state.entries.delete(index);
      changed.push(index);
    }
  });
  if (!state.list) return;
  if (before.length !== state.bones.length) state.list.setKeys(state.bones.map((bone, index) => index));
  for (const index of rescaled ? [...state.list.made().keys()] : changed) {
    if (!state.list.element(index)) continue;
    state.list.remake(index);
    if (changed.includes(index)) jolt(entryOf(state, index), true);
  }
  if (before.length !== state.bones.length) {
    const count = state.scroller.parentElement.querySelector('.cards-count');
    count.textContent = plural(state.bones.length, 'jiggle bone', 'jiggle bones');
  }
}

// Marks the card of the bone named `name` (null: none) and brings it into view.
function markCaretBone(result, name) {
  skeletonCaretMoved(result, name);
  const state = result.cards;
  if (!state || !state.list) return;
  const index = name === null ? -1 : state.bones.findIndex((bone) => bone.name === name);
  if (index === state.caret) return;
  const old = state.list.element(state.caret);
  if (old) {
    old.firstChild.classList.remove('at-caret');
    old.firstChild.removeAttribute('aria-current');
  }
  state.caret = index;
  if (index < 0) return;
  const scroller = state.scroller;
  // Cards above it measured only once drawn move it: placed again until its name is in view.
  for (let pass = 0; pass < 3; pass += 1) {
    const top = state.list.topOf(index);
    const bottom = top + Math.min(state.list.heightOf(index), scroller.clientHeight);
    if (top >= scroller.scrollTop && bottom <= scroller.scrollTop + scroller.clientHeight) break;
    scroller.scrollTop = Math.max(0, top - 4);
    state.list.render();
  }
  const item = state.list.element(index);
  if (item) {
    item.firstChild.classList.add('at-caret');
    item.firstChild.setAttribute('aria-current', 'true');
  }
}
