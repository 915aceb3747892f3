// The skeleton's motion against cases worked by hand, on a skeleton written out as the module
// gives it: a still model stays still, each tip lags behind its parent's motion whatever its
// own frame, a jiggle bone swings with its jiggle parent's swing alone, and a bone below a
// jiggle bone follows it.
'use strict';

const assert = require('node:assert');
const path = require('node:path');
const test = require('node:test');

const web = path.join(__dirname, '..', '..', 'web');
const words = require(path.join(web, 'module_words.js'));
words.takeWords(require('./module_words_text.js'));
Object.assign(global, require(path.join(web, 'text_bytes.js')));
Object.assign(global, words, require(path.join(web, 'bone_data.js')));
Object.assign(global, require(path.join(web, 'spring.js')), require(path.join(web, 'skeleton_data.js')));
const { parseBone } = require(path.join(web, 'bone_data.js'));
const { boneMotion } = require(path.join(web, 'spring.js'));
const { parseSkeleton } = require(path.join(web, 'skeleton_data.js'));
const { skeletonChain, placeChain } = require(path.join(web, 'skeleton_motion.js'));

const r45 = Math.SQRT1_2;
// name, parent, kind, position, rotation, direction, length, jiggle number. A is upright on the root;
// B hangs from A's tip in a frame turned 90° about x, so that its own +y points up; C, a
// plain bone, hangs from B's tip.
const kBones = [
  ['root', -1, 'plain', '0 0 0', '0 0 0 1', '0 0 1', '10', '-1'],
  ['A', 0, 'flexible', '0 0 10', '0 0 0 1', '0 0 1', '10', '0'],
  ['B', 1, 'flexible', '0 0 10', `${r45} 0 0 ${r45}`, '0 1 0', '10', '1'],
  ['C', 2, 'plain', '0 10 0', '0 0 0 1', '0 1 0', '5', '-1'],
];
const sk = parseSkeleton(new TextEncoder().encode(kBones.map((bone) => `${bone.join('\x1f')}\x1e`).join('')));

// A flexible tip from lines "<role> <axis> <values>", as in spring_test.js.
function flexible(...lines) {
  const fields = lines.map((line) => {
    const [role, axis, ...values] = line.split(' ');
    return `is_flexible ${role === 'limit' ? 'd' : 's'} ${role} ${axis} kw ${values.join(' ')}`;
  });
  return boneMotion(parseBone(['tip', 'is_flexible', 'length-fixed', ...fields].join('\x1f')));
}

const springy = () => flexible('stiffness yaw 50', 'stiffness pitch 50', 'damping yaw 1', 'damping pitch 1', 'length tip 10');

function chainOf(a = springy(), b = springy()) {
  return skeletonChain(sk, [null, a, b, null]);
}

const point = (chain, i) => [...chain.pos.subarray(3 * i, 3 * i + 3)];
// Where bone i's tip is, relative to its origin, in the model.
function tipOf(chain, i) {
  const out = new Float64Array(3);
  const d = sk.dir;
  quatRotate(out, 0, chain.rot, 4 * i, d[3 * i] * 10, d[3 * i + 1] * 10, d[3 * i + 2] * 10);
  return [...out];
}

test('a still model stays still, a tip held off rest by its limits included', () => {
  const held = flexible('stiffness yaw 50', 'limit yaw 10 20', 'length tip 10');
  const chain = chainOf(held);
  const before = [...chain.pos];
  for (let step = 0; step < 600; step += 1) placeChain(chain, sk, 0, 0, 0, true);
  assert.deepStrictEqual([...chain.pos], before);
  assert.ok(Math.abs(tipOf(chain, 1)[0]) > 1, 'A rests at its limit, 10° over');
});

test('each tip lags behind its parent\'s motion, whatever its own frame', () => {
  // The roots set moving at 20 units/s along each way; after 0.1 s the one jiggle bone of
  // each case leans back, A upright in the frame of the model, B in one turned about x.
  for (const way of [[1, 0, 0], [-1, 0, 0], [0, 1, 0], [0, -1, 0]]) {
    for (const bone of [1, 2]) {
      const chain = bone === 1 ? chainOf(springy(), null) : chainOf(null, springy());
      for (let step = 1; step <= 12; step += 1) {
        const moved = way.map((v) => v * 20 * step * kSpringStep);
        placeChain(chain, sk, ...moved, true);
      }
      const lean = tipOf(chain, bone).reduce((sum, v, k) => sum + v * way[k], 0);
      assert.ok(lean < -0.1, `${way}: bone ${bone} leans ${lean}`);
    }
  }
});

test('a jiggle bone swings with its jiggle parent\'s swing alone; the bone below it follows', () => {
  const chain = chainOf();
  chain.parts[1].yaw.v = 2;  // A swings; the model stands still
  const restC = point(chain, 3);
  let widest = 0;
  let movedC = 0;
  for (let step = 0; step < 120; step += 1) {
    placeChain(chain, sk, 0, 0, 0, true);
    widest = Math.max(widest, Math.abs(chain.parts[2].yaw.x) + Math.abs(chain.parts[2].pitch.x));
    const [b, c] = [point(chain, 2), point(chain, 3)];
    assert.ok(Math.abs(Math.hypot(c[0] - b[0], c[1] - b[1], c[2] - b[2]) - 10) < 1e-9, 'C keeps to B\'s tip');
    movedC = Math.max(movedC, Math.hypot(...c.map((v, k) => v - restC[k])));
  }
  assert.ok(widest > 0.05, `B swung ${widest}`);
  assert.ok(movedC > 1, `C moved ${movedC}`);
});
