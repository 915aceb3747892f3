// One change over many bones: the values of the kinds chosen, in the bones chosen, times a
// factor, written into the text as a person would type them, in the dump's forms: a value
// as stored as the module writes it, whole degrees for angles, a limit's ends rounded
// outwards so that it never loses room. The places are the module's (text_places.h). No
// DOM: node's tests load it.
'use strict';

// What Scale can scale: the values of each amount role (module_words.js), a tip's limits
// and a base spring's room, by the role the module gives a value's line and the block it
// stands in.
function scaleKinds() {
  return [...moduleWords.amountRoles, 'limits', 'room'];
}

function scaleKindOf(place) {
  if (place.role === 'limit') return blockKind(place.block) === 'base' ? 'room' : 'limits';
  return moduleWords.amountRoles.includes(place.role) ? place.role : null;
}

// A whole number of degrees, rounded away from `towards` (outwards for a limit's end); a
// product a hair off a whole number (30 × 1.1) is that number.
function wholeOutwards(value, outwards) {
  const near = Math.round(value);
  if (Math.abs(value - near) <= 1e-9 * Math.max(1, Math.abs(value))) return near === 0 ? 0 : near;
  return outwards > 0 ? Math.ceil(value) : Math.floor(value);
}

// The texts of one line's angles: a pair is a low end and a high end; one angle is a cone's
// half-width, outwards from 0.
function wholeDegrees(numbers, scaled) {
  return scaled.map((value, i) => String(wholeOutwards(value, numbers.length === 2 ? (i === 0 ? -1 : 1)
    : Math.sign(value))));
}

// `request`: { factor, kinds (a Set of scaleKinds()), nameContains ('' for all bones) };
// `format`: the module's texts for values as stored, a promise of them for an array of
// numbers. Resolves to { text, values (changed), bones (touched), first, last (the text's
// changed span) }.
async function scaleText(text, places, request, format) {
  const needle = request.nameContains.toLowerCase();
  const chosen = [];
  for (const place of places.values) {
    const kind = scaleKindOf(place);
    if (kind === null || !request.kinds.has(kind)) continue;
    if (needle !== '' && !place.bone.toLowerCase().includes(needle)) continue;
    // A value that is not a finite number is left as it is.
    const numbers = place.values.map((value) => Number(value.text));
    if (!numbers.every(Number.isFinite)) continue;
    chosen.push({ place, numbers, scaled: numbers.map((number) => number * request.factor) });
  }
  const stored = chosen.filter(({ place }) => place.unit !== 'd').flatMap(({ scaled }) => scaled);
  const storedTexts = stored.length > 0 ? await format(stored) : [];
  let next = 0;
  const pieces = [];
  let from = 0;
  let values = 0;
  let first = -1;
  let last = -1;
  const bones = new Set();
  for (const { place, numbers, scaled } of chosen) {
    const texts = place.unit === 'd' ? wholeDegrees(numbers, scaled) : storedTexts.slice(next, next + scaled.length);
    if (place.unit !== 'd') next += scaled.length;
    place.values.forEach((value, i) => {
      if (texts[i] === value.text) return;
      pieces.push(text.slice(from, value.start), texts[i]);
      from = value.end;
      values += 1;
      bones.add(place.bone);
      if (first < 0) first = value.start;
      last = value.end;
    });
  }
  pieces.push(text.slice(from));
  return { text: pieces.join(''), values, bones: bones.size, first, last };
}

if (typeof module !== 'undefined') module.exports = { scaleKinds, wholeOutwards, scaleText };
