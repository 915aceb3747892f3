// Pictures of one jiggle bone: a tip's limits as arcs on dials (the bone at rest along each
// dial's 0°, +yaw and +pitch counter-clockwise), a base spring's room as bars on one scale
// for the whole model, every other number with its unit. The moving parts (the bone and its
// tip, the base) are drawn here at rest; preview.js moves them. All values come from the
// module, as the text shows them.
'use strict';

const kSvg = 'http://www.w3.org/2000/svg';
// The words for each kind of bone a block makes, as the module names the kinds.
const kKindWords = { flexible: 'flexible tip', rigid: 'rigid tip: turns only with its base', base: 'base spring' };

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
    for (const axis of moduleWords.baseLimits) {
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
  const tip = kTipKinds.some((kind) => boneHas(bone, kind));
  const lengthWords = bone.facts.includes('length-fixed') ? ' (length fixed)' : ' (length may flex)';
  const kinds = bone.blocks.map((block) => (kKindWords[blockKind(block)] || block) +
    (blockKind(block) === 'flexible' ? lengthWords : '')).join(', ');
  parts.push(element('p', 'kinds', kinds || 'no tip, no base spring: it does not move'));
  if (tip) {
    const dials = element('div', 'dials');
    for (const axis of moduleWords.tipLimits) {
      const [low, high] = limitOf(bone, axis);
      const box = axis === 'angle' ? angleDial(low, true) : dial(axis, axis, low, high, true);
      movers[axis] = box.moving;
      dials.appendChild(box);
    }
    parts.push(dials);
  }
  if (boneHas(bone, 'base')) {
    const ranges = element('div', 'ranges');
    for (const axis of moduleWords.baseLimits) {
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
