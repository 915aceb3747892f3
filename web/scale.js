// One change over many bones: the values of the kinds chosen, in the bones chosen, times a
// factor, written into the text as a person would type them, in the dump's forms: "%g" for
// values as stored, whole degrees for angles, a limit's ends rounded outwards so that it
// never loses room. The places are the module's (text_places.h). No DOM: node's tests load it.
'use strict';

// What Scale can scale, and the values of each, by the role the module gives a value's line
// and the block it stands in.
const kScaleKinds = ['stiffness', 'damping', 'mass', 'length', 'limits', 'room'];

function scaleKindOf(place) {
  if (place.role === 'limit') return place.block === 'has_base_spring' ? 'room' : 'limits';
  return ['stiffness', 'damping', 'mass', 'length'].includes(place.role) ? place.role : null;
}

// printf's "%g": six significant digits, trailing zeros dropped, an exponent of two digits
// at least where it is below -4 or 6 and above.
function formatG(value) {
  if (value === 0) return Object.is(value, -0) ? '-0' : '0';
  const [mantissa, power] = value.toExponential(5).split('e');
  const exponent = Number(power);
  const trim = (digits) => (digits.includes('.') ? digits.replace(/0+$/, '').replace(/\.$/, '') : digits);
  if (exponent < -4 || exponent >= 6) {
    return `${trim(mantissa)}e${exponent < 0 ? '-' : '+'}${String(Math.abs(exponent)).padStart(2, '0')}`;
  }
  return trim(value.toFixed(5 - exponent));
}

// A whole number of degrees, rounded away from `towards` (outwards for a limit's end); a
// product a hair off a whole number (30 × 1.1) is that number.
function wholeOutwards(value, outwards) {
  const near = Math.round(value);
  if (Math.abs(value - near) <= 1e-9 * Math.max(1, Math.abs(value))) return near === 0 ? 0 : near;
  return outwards > 0 ? Math.ceil(value) : Math.floor(value);
}

// The new texts of one value line's values, or null where one is not a finite number.
function scaledValues(place, factor) {
  const numbers = place.values.map(({ text }) => Number(text));
  if (!numbers.every(Number.isFinite)) return null;
  const scaled = numbers.map((number) => number * factor);
  if (place.unit !== 'd') return scaled.map(formatG);
  // A pair is a low end and a high end; one angle is a cone's half-width, outwards from 0.
  return scaled.map((value, i) => String(wholeOutwards(value, numbers.length === 2 ? (i === 0 ? -1 : 1)
    : Math.sign(value))));
}

// `request`: { factor, kinds (a Set of kScaleKinds), nameContains ('' for all bones) }.
// Returns { text, values (changed), bones (touched), first, last (the text's changed span) }.
function scaleText(text, places, request) {
  const needle = request.nameContains.toLowerCase();
  const pieces = [];
  let from = 0;
  let values = 0;
  let first = -1;
  let last = -1;
  const bones = new Set();
  for (const place of places.values) {
    const kind = scaleKindOf(place);
    if (kind === null || !request.kinds.has(kind)) continue;
    if (needle !== '' && !place.bone.toLowerCase().includes(needle)) continue;
    const scaled = scaledValues(place, request.factor);
    if (scaled === null) continue;
    place.values.forEach((value, i) => {
      if (scaled[i] === value.text) return;
      pieces.push(text.slice(from, value.start), scaled[i]);
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

if (typeof module !== 'undefined') module.exports = { kScaleKinds, formatG, wholeOutwards, scaleText };
