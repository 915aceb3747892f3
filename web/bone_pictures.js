// Pictures of jiggle bones: each limit drawn as an arc on a dial beside its numbers, the
// bone along the dial's 0°. The numbers come from the module, as the .qci text has them.
'use strict';

const kSvg = 'http://www.w3.org/2000/svg';
const kPicturedBones = 24;  // per model; the rest are in the text

function svgElement(name, attributes) {
  const element = document.createElementNS(kSvg, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  return element;
}

// A filled wedge from `from` to `to` degrees, counter-clockwise; a full disc when the range
// goes all the way round. Values far outside a turn come from odd files; they are clamped.
function wedge(from, to, kind) {
  const r = 40;
  const clamp = (value) => Math.max(-720, Math.min(720, value));
  from = clamp(from);
  to = clamp(to);
  if (to - from >= 360) return svgElement('circle', { cx: 50, cy: 50, r, class: kind });
  if (to < from) return null;
  const point = (degrees) => {
    const radians = (degrees * Math.PI) / 180;
    return `${(50 + r * Math.cos(radians)).toFixed(2)} ${(50 - r * Math.sin(radians)).toFixed(2)}`;
  };
  const large = to - from > 180 ? 1 : 0;
  return svgElement('path', {
    d: `M50 50 L${point(from)} A${r} ${r} 0 ${large} 0 ${point(to)} Z`, class: kind,
  });
}

function dial(label, kind, low, high, wording) {
  const box = document.createElement('div');
  box.className = 'dial';
  const svg = svgElement('svg', { viewBox: '0 0 100 100', role: 'img' });
  const limited = low !== '';
  svg.appendChild(svgElement('circle', { cx: 50, cy: 50, r: 40, class: limited ? 'ring' : 'free' }));
  if (limited) {
    const shape = wedge(Number(low), Number(high), kind);
    if (shape) svg.appendChild(shape);
  }
  svg.appendChild(svgElement('line', { x1: 50, y1: 50, x2: 95, y2: 50, stroke: '#1d1d1f' }));
  const text = !limited ? `${label}: free` : wording || `${label} ${low}° to ${high}°`;
  const title = svgElement('title', {});
  title.textContent = text;
  svg.appendChild(title);
  const caption = document.createElement('div');
  caption.textContent = text;
  box.append(svg, caption);
  return box;
}

// `summary` is the module's bone data (web/bone_summary.h): records ended by \x1e, fields
// parted by \x1f.
function boneFigures(summary) {
  const fragment = document.createDocumentFragment();
  const records = summary.split('\x1e');
  records.pop();
  const group = document.createElement('div');
  group.className = 'bones';
  for (const record of records.slice(0, kPicturedBones)) {
    const [name, kinds, ...lines] = record.split('\x1f');
    const limits = {};
    for (const line of lines) {
      const [, unit, keyword, ...values] = line.split(' ');
      if (unit === 'd') limits[keyword] = values;
    }
    const [yawMin, yawMax] = limits.yaw_constraint || ['', ''];
    const [pitchMin, pitchMax] = limits.pitch_constraint || ['', ''];
    const [angle] = limits.angle_constraint || [''];
    const figure = document.createElement('figure');
    figure.className = 'bone';
    const caption = document.createElement('figcaption');
    caption.textContent = name;
    const kindLine = document.createElement('p');
    kindLine.className = 'kinds';
    kindLine.textContent = kinds
      ? kinds.split(' ').map((kind) => kind.replace('_', ' ').replace('_', ' ')).join(', ')
      : 'no tip, no base spring';
    const dials = document.createElement('div');
    dials.className = 'dials';
    dials.append(dial('yaw', 'yaw', yawMin, yawMax), dial('pitch', 'pitch', pitchMin, pitchMax),
      dial('angle', 'angle', angle === '' ? '' : String(-Number(angle)), angle, `angle ${angle}°`));
    figure.append(caption, kindLine, dials);
    group.appendChild(figure);
  }
  fragment.appendChild(group);
  if (records.length > kPicturedBones) {
    const more = document.createElement('p');
    more.className = 'more';
    more.textContent = `and ${records.length - kPicturedBones} more jiggle bones, in the text below`;
    fragment.appendChild(more);
  }
  return fragment;
}
