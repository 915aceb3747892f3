// The swing numbers against cases worked by hand (frequency √(k/I)/2π, ζ = c / 2√(kI), the
// time a critically damped and an undamped axis take to die to 5 %), an overdamped one
// against the sketch's own exact steps, the plot's time, and Scale on a table of texts.
'use strict';

const assert = require('node:assert');
const path = require('node:path');
const test = require('node:test');

const web = path.join(__dirname, '..', '..', 'web');
const words = require(path.join(web, 'module_words.js'));
words.takeWords(require('./module_words_text.js'));
Object.assign(global, words, require(path.join(web, 'bone_data.js')), require(path.join(web, 'spring.js')));
const { springSwing, boneSwing, cardSwing } = require(path.join(web, 'swing.js'));
const { scaleText } = require(path.join(web, 'scale.js'));

const near = (actual, expected, what, share = 1e-6) =>
  assert.ok(Math.abs(actual - expected) <= share * Math.abs(expected), `${what}: ${actual}, not ${expected}`);

test('frequency, damping ratio, settling and peak, worked by hand', () => {
  // k 100 on I 4: ω 5, 0.796 Hz; c 8: ζ 8 / (2·20) = 0.2.
  const damped = springSwing(100, 8, 4, 1);
  near(damped.hz, 5 / (2 * Math.PI), 'hz');
  near(damped.zeta, 0.2, 'ζ');
  // Undamped: the swing v0/ω for ever.
  const free = springSwing(100, 0, 1, 10);
  assert.deepStrictEqual([free.zeta, free.settle], [0, Infinity]);
  near(free.peak, 1, 'undamped peak');
  // Critically damped, ω 10: x = v0·t·e^(−10t) peaks v0/(10e) at 0.1 s and falls to 5 % of
  // that where u·e^(−u) = 0.05/e, u = 10t: u = 5.74386.
  const critical = springSwing(100, 20, 1, 2);
  near(critical.zeta, 1, 'ζ');
  near(critical.peak, 2 / (10 * Math.E), 'critical peak');
  near(critical.settle, 0.574386, 'critical settle', 1e-5);
  // No spring: it drifts, and never comes back.
  assert.deepStrictEqual([springSwing(0, 0, 1, 1).peak, springSwing(0, 4, 1, 1).settle], [Infinity, Infinity]);
});

test("an overdamped axis's peak and settling agree with the sketch's exact steps", () => {
  const [k, c, inertia, v0] = [100, 50, 1, 3];
  const swing = springSwing(k, c, inertia, v0);
  const step = springMatrix(k, c, inertia, 1e-4);
  let [x, v, t, peak, last] = [0, v0, 0, 0, 0];
  while (t < 10) {
    [x, v] = [step.a * x + step.b * v, step.c * x + step.d * v];
    t += 1e-4;
    peak = Math.max(peak, x);
    if (x > 0.05 * swing.peak) last = t;
  }
  near(swing.peak, peak, 'peak', 1e-6);
  near(swing.settle, last, 'settle', 1e-3);
});

test('a tip held at its length has no along axis, in the numbers or the sketch', () => {
  const bone = (fact) => parseBone(['tail', 'is_flexible', fact, 'is_flexible s stiffness along along_stiffness 10',
    'is_flexible s stiffness yaw yaw_stiffness 100'].join('\x1f'));
  for (const [fact, along] of [['length-fixed', false], ['length-flexes', true]]) {
    assert.strictEqual(boneSwing(bone(fact)).some((swing) => swing.axis === 'along'), along, fact);
    assert.strictEqual('along' in boneMotion(bone(fact)).axes, along, fact);
  }
});

test("a card's plot spans the time its own axis needs to die to 5 %, the slower of edited and stored", () => {
  const bone = (yawDamping) => parseBone(['tail', 'is_flexible', 'length-flexes',
    'is_flexible s stiffness yaw yaw_stiffness 100', `is_flexible s damping yaw yaw_damping ${yawDamping}`,
    'is_flexible s stiffness along along_stiffness 10', 'is_flexible s length tip length 10'].join('\x1f'));
  // Yaw, k 100 on I 1: c 4 gives α 2, ω_d √96, its first peak at atan(ω_d/α)/ω_d, where
  // e^(−αt)·sin(ω_d t) = 0.7409, and 5 % of that is left at ln(1 / (0.05 · 0.7409)) / 2 =
  // 1.648 s; c 2 likewise at 3.148 s; c 40 with k 10000, ten times as fast, is shown for
  // the shortest time. Along, undamped, never dies: the plot of yaw does not wait for it.
  const cases = [
    // edited yaw damping, stored yaw damping (null: unedited), seconds, which never dies
    [4, null, 1.648, ''],
    [4, 2, 3.148, ''],
    [2, 4, 3.148, ''],
    [0, null, 10, 'now'],
    [4, 0, 10, 'stored'],
  ];
  for (const [now, before, seconds, never] of cases) {
    const swing = cardSwing(bone(now), before === null ? null : bone(before));
    near(swing.seconds, seconds, `${now} against ${before}`, 1e-3);
    assert.strictEqual(swing.never, never, `${now} against ${before}`);
    const drawn = (swing.response.path.length - 1) * swing.response.step;
    assert.ok(Math.abs(drawn - swing.seconds) <= swing.response.step, `drawn for ${drawn} s`);
  }
  const fast = parseBone(['tail', 'is_flexible', 'length-fixed', 'is_flexible s stiffness yaw yaw_stiffness 10000',
    'is_flexible s damping yaw yaw_damping 40'].join('\x1f'));
  assert.strictEqual(cardSwing(fast, null).seconds, 0.5);
});

// The places of a small text as the module gives them: `keyword values` lines inside blocks
// inside bones, roles and units by the format's keywords.
function placesOf(text) {
  const values = [];
  let bone = '';
  let block = '';
  const pattern = /\$jigglebone "([^"]*)"|(is_flexible|is_rigid|has_base_spring) \{|(\w+)((?: [-\w.]+)+)/g;
  for (const m of text.matchAll(pattern)) {
    if (m[1] !== undefined) bone = m[1];
    else if (m[2] !== undefined) block = m[2];
    else {
      const keyword = m[3];
      const role = ['stiffness', 'damping', 'length', 'mass', 'constraint', 'friction', 'bounce']
        .find((word) => keyword.endsWith(word)).replace('constraint', 'limit');
      const unit = role === 'limit' && block !== 'has_base_spring' ? 'd' : 's';
      let at = m.index + keyword.length;
      const found = m[4].trim().split(' ').map((part) => {
        const start = text.indexOf(part, at);
        at = start + part.length;
        return { start, end: at, text: part };
      });
      values.push({ bone, block, role, unit, keyword, values: found });
    }
  }
  return { values };
}

// The module's texts for values as stored, as far as the table's values go: the float32
// nearest, to six significant digits.
const formatted = async (values) => values.map((value) => String(Number(Math.fround(value).toPrecision(6))));

test('Scale on a table of texts: values as stored, whole degrees rounded outwards, the bones chosen', async () => {
  const tip = (name, lines) => `$jigglebone "${name}" {\n is_flexible {\n${lines}\n }\n}\n`;
  const cases = [
    // text, factor, kinds, bones whose name contains, the text expected
    [tip('a', 'yaw_stiffness 100\nyaw_damping 5'), 2, ['stiffness'], '', tip('a', 'yaw_stiffness 200\nyaw_damping 5')],
    [tip('a', 'yaw_constraint -25 25\nangle_constraint 45'), 1.5, ['limits'], '', tip('a', 'yaw_constraint -38 38\nangle_constraint 68')],
    [tip('a', 'yaw_constraint -25 25'), 0.5, ['limits'], '', tip('a', 'yaw_constraint -13 13')],
    // 30 × 1.1 is a hair above 33 in doubles: still 33.
    [tip('a', 'pitch_constraint -30 30'), 1.1, ['limits'], '', tip('a', 'pitch_constraint -33 33')],
    [tip('a', 'tip_mass 0.3\nlength 12'), 3, ['mass', 'length'], '', tip('a', 'tip_mass 0.9\nlength 36')],
    [tip('a', 'yaw_damping 1'), 1 / 3, ['damping'], '', tip('a', 'yaw_damping 0.333333')],
    [tip('a', 'yaw_stiffness nan'), 2, ['stiffness'], '', tip('a', 'yaw_stiffness nan')],
    [`$jigglebone "a" {\n has_base_spring {\nleft_constraint -1.5 1.5\n }\n}\n${tip('b', 'yaw_constraint -10 10')}`, 2, ['room'], '',
      `$jigglebone "a" {\n has_base_spring {\nleft_constraint -3 3\n }\n}\n${tip('b', 'yaw_constraint -10 10')}`],
    [tip('hair_1', 'yaw_stiffness 10') + tip('tail', 'yaw_stiffness 10'), 2, ['stiffness'], 'HAIR',
      tip('hair_1', 'yaw_stiffness 20') + tip('tail', 'yaw_stiffness 10')],
  ];
  for (const [text, factor, kinds, nameContains, expected] of cases) {
    const scaled = await scaleText(text, placesOf(text), { factor, kinds: new Set(kinds), nameContains }, formatted);
    assert.strictEqual(scaled.text, expected, `${kinds} ×${factor}`);
    if (scaled.values > 0) {
      assert.strictEqual(text.slice(0, scaled.first), expected.slice(0, scaled.first), 'the span begins at the first change');
      assert.strictEqual(text.slice(scaled.last), expected.slice(expected.length - (text.length - scaled.last)), 'and ends at the last');
    }
  }
});
