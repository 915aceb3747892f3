// Pictures of one jiggle bone, and the legend that explains them: a tip's limits as arcs on
// dials (the bone at rest along each dial's 0°, +yaw and +pitch counter-clockwise), a base
// spring's room as bars on one scale for the whole model, every other number with its unit.
// The moving parts (the bone and its tip, the base) are drawn here at rest; preview.js moves
// them. All values come from the module, as the text shows them.
'use strict';

const kSvg = 'http://www.w3.org/2000/svg';
const kBlockWords = { is_flexible: 'flexible tip', is_rigid: 'rigid tip: turns only with its base',
  has_base_spring: 'base spring' };
const kTipAxes = ['yaw', 'pitch', 'angle'];
const kBaseAxes = ['left', 'up', 'forward'];

function svgElement(name, attributes) {
  const made = document.createElementNS(kSvg, name);
  for (const [key, value] of Object.entries(attributes)) made.setAttribute(key, value);
  return made;
}

function picture(viewBox) {
  // The caption beside it says everything the picture shows.
  return svgElement('svg', { viewBox, 'aria-hidden': 'true', focusable: 'false' });
}

function captioned(className, svg, text) {
  const box = element('div', className);
  box.append(svg, element('div', '', text));
  return box;
}

// A point `r` from the dial's middle, `radians` counter-clockwise from the bone at rest.
function dialPoint(radians, r = 40) {
  return [50 + r * Math.cos(radians), 50 - r * Math.sin(radians)];
}

function rim(degrees, r = 40) {
  return dialPoint(degrees * moduleWords.toRadians, r).map((v) => v.toFixed(2)).join(' ');
}

// A filled wedge from `from` to `to` degrees; a full disc when the range goes all the way
// round. Values far outside a turn come from odd files; they are clamped.
function wedge(from, to, kind) {
  const r = 40;
  const clamp = (value) => Math.max(-720, Math.min(720, value));
  from = clamp(from);
  to = clamp(to);
  if (to - from >= 360) return svgElement('circle', { cx: 50, cy: 50, r, class: kind });
  const large = to - from > 180 ? 1 : 0;
  return svgElement('path', { d: `M50 50 L${rim(from)} A${r} ${r} 0 ${large} 0 ${rim(to)} Z`, class: kind });
}

// The bone and its tip as they move, and their twin in outline for the stored setting: each
// a group that turns about the dial's middle, so that a frame sets one attribute per dial.
function movingBone(svg) {
  const parts = {};
  for (const ghost of [true, false]) {
    const suffix = ghost ? ' ghost' : '';
    const group = svgElement('g', {});
    const line = svgElement('line', { x1: 50, y1: 50, x2: 90, y2: 50, class: `needle${suffix}` });
    const tip = svgElement('circle', { cx: 90, cy: 50, r: 4, class: `tip-dot${suffix}` });
    group.append(line, tip);
    svg.append(group);
    parts[ghost ? 'ghost' : 'now'] = { group, line, tip };
  }
  parts.ghost.group.style.display = 'none';
  return parts;
}


// `low` and `high` as the text has them, in degrees; null when there is no limit.
function dial(axis, kind, low, high, moving) {
  const svg = picture('0 0 100 100');
  let text;
  if (low === null) {
    svg.appendChild(svgElement('circle', { cx: 50, cy: 50, r: 40, class: 'free' }));
    text = `${axis}: no limit`;
  } else {
    const [from, to] = [Number(low), Number(high)];
    svg.appendChild(svgElement('circle', { cx: 50, cy: 50, r: 40, class: 'ring' }));
    if (from === to) {
      const [x, y] = rim(from).split(' ');
      svg.append(svgElement('line', { x1: 50, y1: 50, x2: x, y2: y, class: `locked ${kind}` }),
        svgElement('circle', { cx: 50, cy: 50, r: 5, class: `locked ${kind}` }));
    } else if (from < to) {
      svg.appendChild(wedge(from, to, kind));
    }
    text = from === to ? `${axis} locked at ${low}°` : `${axis} ${low}° to ${high}°${from < to ? '' : ': no room'}`;
  }
  svg.appendChild(svgElement('line', { x1: 50, y1: 50, x2: 95, y2: 50, class: 'bone-axis' }));
  const box = captioned('dial', svg, text);
  box.dataset.axis = axis;
  if (moving) box.moving = movingBone(svg);
  return box;
}

function angleDial(angle, moving) {
  if (angle === null) return dial('angle', 'angle', null, null, moving);
  const box = dial('angle', 'angle', String(-Number(angle)), angle, moving);
  box.lastChild.textContent = `angle ${angle}°${Number(angle) === 0 ? ': locked' : ''}`;
  return box;
}

// A base spring's room along one axis, in model units, on the model's scale `span`.
function bar(axis, low, high, span) {
  const svg = picture('0 0 100 20');
  const x = (value) => (50 + (45 * value) / span).toFixed(2);
  svg.append(svgElement('line', { x1: 5, y1: 10, x2: 95, y2: 10, class: 'track' }),
    svgElement('line', { x1: 50, y1: 3, x2: 50, y2: 17, class: 'rest' }));
  let text = `${axis}: no limit`;
  if (low !== null) {
    const [from, to] = [Number(low), Number(high)];
    text = `${axis} ${low} to ${high} units${from <= to ? '' : ': no room'}`;
    if (from === to) {
      svg.appendChild(svgElement('circle', { cx: x(from), cy: 10, r: 4, class: 'locked base' }));
      text = `${axis} locked at ${low} units`;
    } else if (from < to) {
      svg.appendChild(svgElement('rect', { x: x(from), y: 5, width: (x(to) - x(from)).toFixed(2), height: 10,
        class: 'base' }));
    }
  }
  const dots = {};
  for (const ghost of [true, false]) {
    // Moved by its transform, one attribute a frame.
    dots[ghost ? 'ghost' : 'now'] = svgElement('circle', { cx: 50, cy: 10, r: 3, class: `base-dot${ghost ? ' ghost' : ''}` });
    svg.appendChild(dots[ghost ? 'ghost' : 'now']);
  }
  dots.ghost.style.display = 'none';
  const box = captioned('range', svg, text);
  box.dataset.axis = axis;
  box.moving = dots;
  box.span = span;
  return box;
}

// Whether `field` of an edited bone differs from the stored bone's line of its keyword: false
// where it does not, '' where the stored bone has no such line, else the stored value shown.
function storedDiffers(stored, field) {
  const before = stored.fields.find((f) => f.keyword === field.keyword);
  if (!before) return '';
  const same = before.values.length === field.values.length &&
    before.values.every((value, i) => value === field.values[i] || Number(value) === Number(field.values[i]));
  return same ? false : withUnit(before);
}

function limitOf(bone, axis) {
  const values = boneValues(bone, 'limit', axis);
  return values ? [values[0], values.length > 1 ? values[1] : values[0]] : [null, null];
}

// The largest base-spring limit of all `bones`, so that every bone's bars share one scale.
function baseScale(bones) {
  let extent = 0;
  for (const bone of bones) {
    for (const axis of kBaseAxes) {
      for (const value of boneValues(bone, 'limit', axis) || []) {
        if (Number.isFinite(Number(value))) extent = Math.max(extent, Math.abs(Number(value)));
      }
    }
  }
  return extent > 0 ? extent : 1;
}

// A number as the text has it, with its unit.
function withUnit(field) {
  const values = field.values.join(' ');
  if (field.unit === 'd') return `${values}°`;
  return field.role === 'length' ? `${values} units` : values;
}

// The card's pictures for `bone`, with `scale` the model's base-spring scale; `movers` gets
// the moving parts, by axis.
function bonePictures(bone, scale, movers, stored = null) {
  const parts = [];
  const tip = bone.blocks.includes('is_flexible') || bone.blocks.includes('is_rigid');
  const lengthWords = bone.facts.includes('length-fixed') ? ' (length fixed)' : ' (length may flex)';
  const kinds = bone.blocks.map((block) => (kBlockWords[block] || block) +
    (block === 'is_flexible' ? lengthWords : '')).join(', ');
  parts.push(element('p', 'kinds', kinds || 'no tip, no base spring: it does not move'));
  if (tip) {
    const dials = element('div', 'dials');
    for (const axis of kTipAxes) {
      const [low, high] = limitOf(bone, axis);
      const box = axis === 'angle' ? angleDial(low, true) : dial(axis, axis, low, high, true);
      movers[axis] = box.moving;
      dials.appendChild(box);
    }
    parts.push(dials);
  }
  if (bone.blocks.includes('has_base_spring')) {
    const ranges = element('div', 'ranges');
    for (const axis of kBaseAxes) {
      const box = bar(axis, ...limitOf(bone, axis), scale);
      movers[axis] = box.moving;
      movers.span = scale;
      ranges.appendChild(box);
    }
    parts.push(ranges);
  }
  // Every number not drawn above: stiffness, damping, mass, length, friction, bounce.
  const numbers = element('dl', 'numbers');
  for (const field of bone.fields) {
    if (field.role === 'limit') continue;
    const pair = element('div');
    const value = element('dd', '', withUnit(field));
    const was = stored && storedDiffers(stored, field);
    if (was !== null && was !== false) {
      pair.className = 'changed';
      value.append(element('span', 'was', was === '' ? ' (new)' : ` (stored ${was})`));
    }
    pair.append(element('dt', '', field.keyword), value);
    numbers.appendChild(pair);
  }
  if (numbers.childElementCount > 0) parts.push(numbers);
  if (stored) markChangedLimits(parts, bone, stored);
  return parts;
}

// A limit whose values differ from the stored ones: its caption is marked, with the stored.
function markChangedLimits(parts, bone, stored) {
  for (const part of parts) {
    for (const box of part.querySelectorAll ? part.querySelectorAll('.dial, .range') : []) {
      const axis = box.dataset.axis;
      const field = boneField(bone, 'limit', axis);
      const before = boneField(stored, 'limit', axis);
      const was = field ? storedDiffers(stored, field) : before ? 'on' : false;
      if (was === false) continue;
      box.classList.add('changed');
      box.lastChild.append(element('span', 'was', was === '' ? ' (new)' : was === 'on' ? ' (stored: limited)'
        : ` (stored ${was})`));
    }
  }
}

// Whether the legends are open: opened on one row, open on all. Closed at first, so that
// the cards have the room.
let legendOpen = false;

// The lowest and highest of each kind of number over `bones`, with its unit: the range
// the model's own bones hold, which the legend gives as typical.
function typicalRanges(bones) {
  const ranges = new Map();
  for (const bone of bones) {
    for (const field of bone.fields) {
      if (!['stiffness', 'damping', 'mass', 'length'].includes(field.role)) continue;
      const key = `${field.role} ${field.axis === 'base' ? 'base' : field.role === 'mass' ? 'tip' : ''}`.trim();
      const value = Number(field.values[0]);
      if (!Number.isFinite(value)) continue;
      const range = ranges.get(key) || [value, value];
      ranges.set(key, [Math.min(range[0], value), Math.max(range[1], value)]);
    }
  }
  return ranges;
}

// What the pictures mean, once above a model's cards: every colour named, every unit given,
// and the range of each number over this model's bones.
function boneLegend(scale, bones) {
  const details = element('details', 'legend-box');
  details.open = legendOpen;
  details.addEventListener('toggle', () => { legendOpen = details.open; });
  details.appendChild(element('summary', '', 'What the pictures and numbers show'));
  const legend = element('div', 'legend');
  details.appendChild(legend);
  const svg = picture('0 0 100 100');
  svg.append(svgElement('circle', { cx: 50, cy: 50, r: 40, class: 'ring' }), wedge(-30, 30, 'yaw'),
    svgElement('line', { x1: 50, y1: 50, x2: 95, y2: 50, class: 'bone-axis' }),
    svgElement('path', { d: `M${rim(8, 30)} A30 30 0 0 0 ${rim(60, 30)}`, class: 'turn' }),
    svgElement('path', { d: `M${rim(60, 30)} l-1 9 l-7 -5 z`, class: 'turn-head' }));
  const bone = movingBone(svg);
  bone.now.group.setAttribute('transform', 'rotate(-20 50 50)');
  const ranges = typicalRanges(bones);
  const range = (key, unit) => {
    const found = ranges.get(key);
    if (!found) return '';
    return found[0] === found[1] ? ` This model: ${found[0]}${unit}.` : ` This model: ${found[0]} to ${found[1]}${unit}.`;
  };
  const words = element('ul');
  for (const line of [
    'Dials: the bone seen from above (yaw) and from its side (pitch, angle). Grey line: the bone at ' +
      'rest, pointing right; solid line and filled dot, in the text colour: the bone and its tip as edited; orange dashed line and ' +
      'hollow dot: the stored setting, while you edit.',
    '+yaw and +pitch turn the bone counter-clockwise, as the blue arrow shows. Shaded: the room its ' +
      'limits give, in degrees, blue for yaw, green for pitch, yellow for the angle cone; purple bars ' +
      'for the base. A dashed grey ring: no limit.',
    `Bars: the base's room left, up and forward, in model units, on one scale for all this model's ` +
      `bones (each end is ${plural(scale, 'unit', 'units')}).`,
    'Plot: the first axis after a jolt, over time: solid, in the text colour, as edited; dashed orange, stored. ' +
      'The table: what each axis\'s spring does after the same jolt.',
    'Stiffness: spring force per unit of swing, acting on the inertia 1 + mass (the bone counts as 1); ' +
      'frequency = √(stiffness / inertia) / 2π.' + range('stiffness', ''),
    'Damping: slows the swing, per unit of speed, on the same inertia; ζ = damping / 2√(stiffness × ' +
      'inertia): 0 swings for ever, 1 comes back without swinging past rest, above 1 creeps back.' +
      range('damping', ''),
    'Mass (tip_mass, base_mass): as stored; the sketch adds 1 for the bone itself.' + range('mass tip', '') +
      range('mass base', ' (base)'),
    `Length: model units.${range('length', ' units')} Friction and bounce: as stored.`,
    `Feel: stiff at ${kStiffHz} Hz or more (two swings a second, a brisk step's pace), soft below; springy ` +
      `below ζ ${kSettledZeta} (each swing back is then more than a sixth of the one before), settled at ` +
      'or above it.',
    'Marked in orange: a value that differs from the stored one, with the stored value beside it.',
    'Moving: a sketch of these numbers on a simple spring; the motion in a game differs in detail.',
  ]) words.appendChild(element('li', '', line));
  legend.append(svg, words);
  return details;
}

// A number for the swing table: a few significant digits, never a long fraction.
function swingNumber(value, digits = 2) {
  if (!Number.isFinite(value)) return '∞';
  if (value === 0) return '0';
  return Math.abs(value) >= 100 ? String(Math.round(value)) : String(Number(value.toPrecision(digits + 1)));
}

function zetaText(zeta) {
  if (zeta === 0) return 'ζ 0, no damping';
  if (!Number.isFinite(zeta)) return 'no spring';
  return `ζ ${swingNumber(zeta)}${zeta > 1 ? ', over-damped' : ''}`;
}

function settleText(swing) {
  return Number.isFinite(swing.settle) ? `${swingNumber(swing.settle)} s` : 'never';
}

// One line per axis: what its spring does after the standard jolt; the stored setting's
// numbers beside those that differ. `held`: the sketch's largest swing by axis, limits and all.
function swingTable(swings, held, storedSwings) {
  const table = element('table', 'swing');
  const head = element('tr');
  for (const title of ['axis', 'frequency', 'damping', 'dies to 5 % in', 'peak', 'feel']) head.appendChild(element('th', '', title));
  head.firstChild.setAttribute('scope', 'col');
  table.appendChild(element('thead')).appendChild(head);
  const body = table.appendChild(element('tbody'));
  swings.forEach((swing, i) => {
    const unit = swing.unit === 'degrees' ? '°' : ' units';
    const shownPeak = (s, h) => {
      const peak = h !== undefined && h < s.peak * 0.999 ? h : s.peak;
      const words = Number.isFinite(peak) ? `${swingNumber(peak)}${unit}` : 'unbounded';
      return h !== undefined && h < s.peak * 0.999 ? `${words}, held` : words;
    };
    const cells = [swing.axis, `${swingNumber(swing.hz)} Hz`, zetaText(swing.zeta), settleText(swing),
      shownPeak(swing, held && held.now[swing.axis]), feelWords(swing)];
    const before = storedSwings && storedSwings.find((s) => s.axis === swing.axis);
    const was = before ? [before.axis, `${swingNumber(before.hz)} Hz`, zetaText(before.zeta), settleText(before),
      shownPeak(before, held && held.stored ? held.stored[swing.axis] : undefined), feelWords(before)] : null;
    const row = element('tr');
    cells.forEach((text, c) => {
      const cell = element(c === 0 ? 'th' : 'td', '', text);
      if (c === 0) cell.setAttribute('scope', 'row');
      if (was && c > 0 && was[c] !== text) cell.append(element('span', 'was', ` (stored ${was[c]})`));
      row.appendChild(cell);
    });
    body.appendChild(row);
    if (i === 0) row.dataset.first = 'true';
  });
  return table;
}

// The jolt's response over time on the first axis: the edited setting as a solid line, the
// stored one as a dashed outline, on one scale; a cursor shows the sketch's time since Jolt.
function swingPlot(now, stored, seconds) {
  const svg = picture('0 0 200 60');
  const paths = [now, stored].filter(Boolean);
  const reach = Math.max(1e-9, ...paths.flatMap((response) => response.path.map(Math.abs)));
  const line = (response) => response.path.map((x, i) => `${i === 0 ? 'M' : 'L'}${(200 * i * response.step / seconds)
    .toFixed(1)} ${(30 - (27 * x) / reach).toFixed(1)}`).join('');
  svg.append(svgElement('line', { x1: 0, y1: 30, x2: 200, y2: 30, class: 'plot-rest' }));
  if (stored) svg.appendChild(svgElement('path', { d: line(stored), class: 'plot-stored' }));
  svg.appendChild(svgElement('path', { d: line(now), class: 'plot-now' }));
  const cursor = svgElement('line', { x1: 0, y1: 0, x2: 0, y2: 60, class: 'plot-cursor' });
  cursor.style.display = 'none';
  svg.appendChild(cursor);
  const unit = ['yaw', 'pitch'].includes(now.axis) ? '°' : ' units';
  const box = captioned('plot', svg, `${now.axis} after a jolt, ${swingNumber(seconds)} s; ` +
    `scale ±${swingNumber(reach)}${unit}`);
  box.cursor = cursor;
  box.seconds = seconds;
  return box;
}
