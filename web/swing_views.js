// The swing in numbers on a card: a table of what each axis's spring does after the
// standard jolt, and a plot of the first axis's response over time, limits and all, the
// stored setting beside the edited one (swing.js works them out).
'use strict';

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
// stored one as a dashed outline, on one scale, over the time that axis needs; the caption
// says where a setting never dies away. A cursor shows the sketch's time since Jolt.
function swingPlot(now, stored, seconds, never) {
  const svg = picture('0 0 200 60');
  const paths = [now, stored].filter((response) => response && response.path);
  const reach = Math.max(1e-9, ...paths.flatMap((response) => response.path.map(Math.abs)));
  const line = (response) => response.path.map((x, i) => `${i === 0 ? 'M' : 'L'}${(200 * i * response.step / seconds)
    .toFixed(1)} ${(30 - (27 * x) / reach).toFixed(1)}`).join('');
  svg.append(svgElement('line', { x1: 0, y1: 30, x2: 200, y2: 30, class: 'plot-rest' }));
  if (paths.includes(stored)) svg.appendChild(svgElement('path', { d: line(stored), class: 'plot-stored' }));
  svg.appendChild(svgElement('path', { d: line(now), class: 'plot-now' }));
  const cursor = svgElement('line', { x1: 0, y1: 0, x2: 0, y2: 60, class: 'plot-cursor' });
  cursor.style.display = 'none';
  svg.appendChild(cursor);
  const unit = now.degrees ? '°' : ' units';
  const note = { now: ' (it never dies to 5 %)', stored: ' (the stored setting never dies to 5 %)' }[never] || '';
  const box = captioned('plot', svg, `${now.axis} after a jolt, ${swingNumber(seconds)} s${note}; ` +
    `scale ±${swingNumber(reach)}${unit}`);
  box.cursor = cursor;
  box.seconds = seconds;
  return box;
}
