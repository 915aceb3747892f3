// The bone cards' motion against cases worked by hand: a critically damped spring never
// overshoots, an undamped one keeps its amplitude, limits are never crossed, and a jolt's
// swing follows the bone's stiffness, mass and length.
'use strict';

const assert = require('node:assert');
const path = require('node:path');
const test = require('node:test');

const web = path.join(__dirname, '..', '..', 'web');
const words = require(path.join(web, 'module_words.js'));
words.takeWords(require('./module_words_text.js'));
Object.assign(global, words, require(path.join(web, 'bone_data.js')));
const { parseBone } = require(path.join(web, 'bone_data.js'));
const { springMatrix, boneMotion, joltMotion, stepMotion, kSpringStep } = require(path.join(web, 'spring.js'));

// A flexible bone as the module's bone data gives it, from lines "<role> <axis> <values>".
function flexible(...lines) {
  const fields = lines.map((line) => {
    const [role, axis, ...values] = line.split(' ');
    return `is_flexible ${role === 'limit' && axis !== 'left' ? 'd' : 's'} ${role} ${axis} kw ${values.join(' ')}`;
  });
  return boneMotion(parseBone(['tail', 'is_flexible', 'length-flexes', ...fields].join('\x1f')));
}

function run(x, v, matrix, steps) {
  const seen = [];
  for (let i = 0; i < steps; i += 1) {
    [x, v] = [matrix.a * x + matrix.b * v, matrix.c * x + matrix.d * v];
    seen.push(x);
  }
  return seen;
}

test('a critically damped spring comes back without passing rest', () => {
  // stiffness 100, inertia 1: critical at damping 2·√100 = 20.
  for (const [x, v] of [[1, 0], [0, -5], [1, 30]]) {
    const seen = run(x, v, springMatrix(100, 20, 1), 600);
    const far = seen.reduce((a, b) => (Math.abs(b) > Math.abs(a) ? b : a), x);
    assert.ok(seen.every((at) => at * far >= -1e-12), `[${x}, ${v}] passed rest`);
    assert.ok(Math.abs(seen[seen.length - 1]) < 1e-6);
  }
});

test('an undamped spring keeps its amplitude, a heavily damped one creeps back', () => {
  // ω = √(100/4) = 5: from speed 10 the amplitude is 2, after a hundred swings as at first.
  const seen = run(0, 10, springMatrix(100, 0, 4), 120 * 130);
  const last = Math.max(...seen.slice(-240).map(Math.abs));
  assert.ok(Math.abs(last - 2) < 1e-3, `amplitude ${last}`);
  // Damping 10^6 on stiffness 1: no overflow, x never negative, still going back.
  const creeping = run(1, 0, springMatrix(1, 1e6, 1), 120);
  assert.ok(creeping.every((at) => at > 0.99 && at <= 1), String(creeping.slice(-1)));
});

test('limits are never crossed; a bounce of 1 sends the tip back as fast', () => {
  const cases = [
    // lines, then what must hold after every step
    [['stiffness yaw 0', 'stiffness pitch 0', 'limit yaw -30 30', 'limit pitch -10 20'],
      (m) => Math.abs(m.axes.yaw.x) <= Math.PI / 6 + 1e-12 && m.axes.pitch.x >= -Math.PI / 18 - 1e-12],
    [['stiffness yaw 10', 'stiffness pitch 10', 'limit angle 15'],
      (m) => Math.hypot(m.axes.yaw.x, m.axes.pitch.x) <= Math.PI / 12 + 1e-12],
    [['limit angle 0'], (m) => m.axes.yaw.x === 0 && m.axes.pitch.x === 0],
  ];
  for (const [lines, holds] of cases) {
    const motion = flexible(...lines, 'length 1');
    joltMotion(motion, 20);
    for (let i = 0; i < 240; i += 1) {
      stepMotion(motion);
      assert.ok(holds(motion), `${lines} at step ${i}`);
    }
  }
  const bouncing = flexible('stiffness pitch 0', 'limit pitch -10 10', 'bounce pitch 1', 'length 1');
  joltMotion(bouncing);
  let before = bouncing.axes.pitch.v;
  while (!bouncing.axes.pitch.held) {
    before = bouncing.axes.pitch.v;
    stepMotion(bouncing);
  }
  assert.ok(Math.abs(bouncing.axes.pitch.v + before) < 1e-9, `${before} -> ${bouncing.axes.pitch.v}`);
});

test("a jolt's swing follows stiffness, tip mass and length", () => {
  // Undamped, unlimited: the yaw swing is (speed·0.8 / length) / √(stiffness / (1 + mass)).
  const cases = [[100, 0, 20], [400, 0, 20], [100, 3, 20], [100, 0, 40], [50, 5, 5]];
  for (const [stiffness, mass, length] of cases) {
    const motion = flexible(`stiffness yaw ${stiffness}`, `mass tip ${mass}`, `length tip ${length}`);
    joltMotion(motion);
    let widest = 0;
    for (let t = 0; t < 3; t += kSpringStep) {
      stepMotion(motion);
      widest = Math.max(widest, Math.abs(motion.axes.yaw.x));
    }
    const expected = (40 * 0.8) / length / Math.sqrt(stiffness / (1 + mass));
    assert.ok(Math.abs(widest - expected) < expected * 1e-3, `${stiffness} ${mass} ${length}: ${widest} vs ${expected}`);
  }
});
