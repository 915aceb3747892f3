// A written row's bone cards: every jiggle bone's card, in a box of its own that scrolls,
// where only the cards in view exist. While the row is edited the cards follow the text as
// it applies, a bone its edit changed is jolted, the bone under the caret is marked and kept
// in view, and a card's name puts the caret on its block.
'use strict';

const kCardEstimate = 260;  // px, a card not yet measured

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
    state = { editing, bones, stored, scale: baseScale([...own, ...bones]), entries: new Map(), caret: -1,
      list: null, scroller: null };
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
  bar.append(element('span', 'cards-count', plural(state.bones.length, 'jiggle bone', 'jiggle bones')),
    button('Jolt all in view', () => {
      for (const item of state.list.made().values()) if (item.previewEntry) jolt(item.previewEntry);
    }, 'jolt-all'));
  const scroller = scrollable(element('div', 'cards-scroll'), `Jiggle bones of ${result.path}`);
  const list = element('ul', 'cards');
  scroller.appendChild(list);
  column.append(boneLegend(state.scale), bar, scroller);
  state.scroller = scroller;
  state.list = virtualList(list, {
    make: (index) => makeCard(result, index),
    estimate: kCardEstimate,
    view: () => [scroller.scrollTop - scroller.clientHeight / 2, scroller.scrollTop + scroller.clientHeight * 1.5],
    dropped: (index, card) => hideCard(card),
  });
  state.list.setKeys(state.bones.map((bone, index) => index));
  scroller.addEventListener('scroll', () => state.list.schedule(), { passive: true });
  return column;
}

function makeCard(result, index) {
  const state = result.cards;
  const bone = state.bones[index];
  // A list item, so that a screen reader hears which of how many cards it is.
  const item = element('li', 'card-item');
  const card = element('figure', 'bone');
  card.dataset.bone = String(index);
  item.appendChild(card);
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
  card.append(caption, joltButton, ...bonePictures(bone, state.scale, movers));
  const stored = state.stored.get(bone.name);
  if (entry.ghost && stored.record !== bone.record) {
    for (const parts of Object.values(movers)) {
      if (!parts || !parts.ghost) continue;
      for (const part of parts.ghost.line ? [parts.ghost.line, parts.ghost.tip] : [parts.ghost]) part.style.display = '';
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
  const top = state.list.topOf(index);
  const bottom = top + state.list.heightOf(index);
  if (top < scroller.scrollTop || bottom > scroller.scrollTop + scroller.clientHeight) {
    scroller.scrollTop = Math.max(0, top - 4);
    state.list.render();
  }
  const item = state.list.element(index);
  if (item) {
    item.firstChild.classList.add('at-caret');
    item.firstChild.setAttribute('aria-current', 'true');
  }
}
