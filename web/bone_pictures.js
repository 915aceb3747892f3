// Pictures of jiggle bones: a tip's limits as arcs on dials, the bone along each dial's 0°;
// a base spring's three ranges as bars about its rest place; every other number as the
// .qci text has it. All values come from the module, as the text shows them.
'use strict';

const kSvg = 'http://www.w3.org/2000/svg';
const kPicturedBones = 24;  // per model; the rest are in the text
const kBonesPerFrame = 6;
const kBlockWords = { is_flexible: 'flexible tip', is_rigid: 'rigid tip', has_base_spring: 'base spring' };

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
  const box = document.createElement('div');
  box.className = className;
  const caption = document.createElement('div');
  caption.textContent = text;
  box.append(svg, caption);
  return box;
}

// A point on the dial's rim, `degrees` counter-clockwise from the bone.
function rim(degrees, r = 40) {
  const radians = (degrees * Math.PI) / 180;
  return `${(50 + r * Math.cos(radians)).toFixed(2)} ${(50 - r * Math.sin(radians)).toFixed(2)}`;
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

// `low` and `high` as the text has them, '' when the axis is free.
function dial(label, kind, low, high, wording) {
  const svg = picture('0 0 100 100');
  const from = Number(low);
  const to = Number(high);
  let text;
  if (low === '') {
    svg.appendChild(svgElement('circle', { cx: 50, cy: 50, r: 40, class: 'free' }));
    text = `${label}: free`;
  } else {
    svg.appendChild(svgElement('circle', { cx: 50, cy: 50, r: 40, class: 'ring' }));
    if (from === to) {
      svg.appendChild(svgElement('line', { x1: 50, y1: 50, x2: rim(from).split(' ')[0],
        y2: rim(from).split(' ')[1], class: `locked ${kind}` }));
      svg.appendChild(svgElement('circle', { cx: 50, cy: 50, r: 5, class: `locked ${kind}` }));
    } else if (from < to) {
      svg.appendChild(wedge(from, to, kind));
    }
    text = wording || (from === to ? `${label} locked at ${low}°`
      : from < to ? `${label} ${low}° to ${high}°` : `${label} ${low}° to ${high}°: no room`);
  }
  svg.appendChild(svgElement('line', { x1: 50, y1: 50, x2: 95, y2: 50, class: 'bone-axis' }));
  return captioned('dial', svg, text);
}

// A base spring's range along one axis, on a scale shared by the bone's three.
function bar(label, low, high, span) {
  const svg = picture('0 0 100 20');
  const x = (value) => (50 + (45 * value) / span).toFixed(2);
  const from = Number(low);
  const to = Number(high);
  svg.appendChild(svgElement('line', { x1: 5, y1: 10, x2: 95, y2: 10, class: 'track' }));
  svg.appendChild(svgElement('line', { x1: 50, y1: 3, x2: 50, y2: 17, class: 'rest' }));
  let text = `${label} ${low} to ${high}`;
  if (from === to) {
    svg.appendChild(svgElement('circle', { cx: x(from), cy: 10, r: 4, class: 'locked base' }));
    text = `${label} locked at ${low}`;
  } else if (from < to) {
    svg.appendChild(svgElement('rect', { x: x(from), y: 5, width: (x(to) - x(from)).toFixed(2),
      height: 10, class: 'base' }));
  } else {
    text += ': no room';
  }
  return captioned('range', svg, text);
}

// One bone's record: its name, blocks and lines, each [block, unit, keyword, values...].
function parseBone(record) {
  const [name, blocks, ...fields] = record.split('\x1f');
  const lines = new Map();
  for (const field of fields) {
    const [block, unit, keyword, ...values] = field.split(' ');
    lines.set(keyword, { block, unit, values });
  }
  return { name, blocks: blocks ? blocks.split(' ') : [], lines };
}

function boneFigure(bone) {
  const figure = document.createElement('figure');
  figure.className = 'bone';
  const caption = document.createElement('figcaption');
  caption.textContent = bone.name;
  const kinds = document.createElement('p');
  kinds.className = 'kinds';
  kinds.textContent = bone.blocks.length > 0
    ? bone.blocks.map((block) => kBlockWords[block] || block).join(', ') : 'no tip, no base spring';
  figure.append(caption, kinds);
  const values = (keyword) => (bone.lines.get(keyword) || { values: ['', ''] }).values;

  if (bone.blocks.includes('is_flexible') || bone.blocks.includes('is_rigid')) {
    const dials = document.createElement('div');
    dials.className = 'dials';
    const [yawLow, yawHigh] = values('yaw_constraint');
    const [pitchLow, pitchHigh] = values('pitch_constraint');
    const [angle] = values('angle_constraint');
    const angleWording = angle === '' ? '' : Number(angle) === 0 ? `angle ${angle}°: locked` : `angle ${angle}°`;
    dials.append(dial('yaw', 'yaw', yawLow, yawHigh), dial('pitch', 'pitch', pitchLow, pitchHigh),
      dial('angle', 'angle', angle === '' ? '' : String(-Number(angle)), angle, angleWording));
    figure.appendChild(dials);
  }
  if (bone.blocks.includes('has_base_spring')) {
    const axes = ['left', 'up', 'forward'].map((axis) => [axis, ...values(`${axis}_constraint`)]);
    const extent = Math.max(...axes.flatMap(([, low, high]) => [Math.abs(low), Math.abs(high)])
      .filter(Number.isFinite));
    const ranges = document.createElement('div');
    ranges.className = 'ranges';
    for (const [axis, low, high] of axes) ranges.appendChild(bar(axis, low, high, extent > 0 ? extent : 1));
    figure.appendChild(ranges);
  }
  // Every number not drawn above: stiffness, damping, mass, length, friction, bounce.
  const numbers = document.createElement('dl');
  numbers.className = 'numbers';
  for (const [keyword, line] of bone.lines) {
    if (line.unit === 'd' || keyword.endsWith('_constraint')) continue;
    const term = document.createElement('dt');
    term.textContent = keyword;
    const value = document.createElement('dd');
    value.textContent = line.values.join(' ');
    numbers.append(term, value);
  }
  if (numbers.childElementCount > 0) figure.appendChild(numbers);
  return figure;
}

// Draws the bones of `summary`, the module's bone data (web/bone_summary.h: records ended
// by \x1e, fields parted by \x1f), into `container`, a few each frame so that a model of
// many bones never stops the page for long.
function drawBones(container, summary) {
  const records = summary.split('\x1e');
  records.pop();
  const group = document.createElement('div');
  group.className = 'bones';
  container.appendChild(group);
  if (records.length > kPicturedBones) {
    const more = document.createElement('p');
    more.className = 'more';
    more.textContent = `and ${records.length - kPicturedBones} more jiggle bones, in the text below`;
    container.appendChild(more);
  }
  const pictured = records.slice(0, kPicturedBones);
  const drawSome = (from) => {
    for (const record of pictured.slice(from, from + kBonesPerFrame)) group.appendChild(boneFigure(parseBone(record)));
    if (from + kBonesPerFrame < pictured.length) requestAnimationFrame(() => drawSome(from + kBonesPerFrame));
  };
  drawSome(0);
}
