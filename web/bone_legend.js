// The legend above a model's bone cards: what every colour, line and unit of the pictures
// (bone_pictures.js), the swing table and the plot (swing_views.js) means, and the range of
// each number over this model's bones.
'use strict';

// Whether the legends are open: opened on one row, open on all. Closed at first, so that
// the cards have the room.
let legendOpen = false;

// The lowest and highest of each kind of number over `bones`, with its unit: the range
// the model's own bones hold, which the legend gives as typical.
function typicalRanges(bones) {
  const ranges = new Map();
  for (const bone of bones) {
    for (const field of bone.fields) {
      if (!moduleWords.amountRoles.includes(field.role)) continue;
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
