// The skeleton's motion: Shake sways the whole model, and every jiggle bone swings on its
// own numbers with the cards' springs (spring.js), driven by its parent's moving frame: at
// each step the acceleration of the point it hangs from, a point of its parent, is the jolt
// its springs take, so that a chain of jiggle bones whips, and every bone below a jiggle bone
// follows it. A sketch of the numbers, not a game's motion. No DOM: node's tests load it too.
'use strict';

// The sway moves the roots by  D·(v/ω)·sin(ωt)·e^(−t/fade): it starts at a card's jolt speed
// v (kJoltSpeed) and has died away after about two seconds. D leans sideways (x), forward
// (−y, where the models' characters face) and up (z) in the shares a card's jolt gives its
// bone's left, forward and up.
const kSkeletonSway = [0.8, -0.4, 0.6];
const kSkeletonSwayHz = 1.2;
const kSkeletonSwayFade = 0.45;  // s
const kSkeletonSwayOver = 3;     // s: e^(−3 / 0.45) leaves a thousandth
const kSkeletonShown = 10;       // s at most, as a card's jolt: an undamped spring swings for ever

// Scratch for a step, so that a frame allocates nothing.
const skeletonScratch = new Float64Array(8);
const skeletonSwayNow = new Float64Array(3);

// A motion's axes by what they do to the bone: turn its tip about the two axes across its
// shape (yaw, pitch), stretch it along its shape, move its base (left, up, forward), by the
// module's order of axes. Null for a motion with no axis: such a bone only follows.
function swingParts(motion) {
  const axes = motion.axes;
  if (Object.keys(axes).length === 0) return null;
  const along = moduleWords.tipSprings.find((axis) => !moduleWords.tipTurns.includes(axis));
  const base = moduleWords.baseLimits.map((axis) => axes[axis] || null);
  return {
    motion, lever: motion.length,
    yaw: axes[moduleWords.tipTurns[0]] || null,
    pitch: axes[moduleWords.tipTurns[1]] || null,
    along: (along && axes[along]) || null,
    left: base[0] || null, up: base[1] || null, forward: base[2] || null,
  };
}

// Each bone's axes in its own frame, nine numbers: f its shape's direction, s across it (the
// axis of the frame furthest from f, made square to it) and u = f × s. +yaw turns the tip
// towards s, +pitch towards u; the base's left, up and forward are s, u and f.
function acrossBasis(sk) {
  if (sk.basis) return sk.basis;
  const basis = new Float64Array(9 * sk.count);
  for (let i = 0; i < sk.count; i += 1) {
    const f = sk.dir.subarray(3 * i, 3 * i + 3);
    let k = 0;
    for (let j = 1; j < 3; j += 1) if (Math.abs(f[j]) < Math.abs(f[k])) k = j;
    const s = [0, 0, 0];
    s[k] = 1;
    for (let j = 0; j < 3; j += 1) s[j] -= f[k] * f[j];
    const size = Math.hypot(...s);
    for (let j = 0; j < 3; j += 1) s[j] /= size;
    const u = [f[1] * s[2] - f[2] * s[1], f[2] * s[0] - f[0] * s[2], f[0] * s[1] - f[1] * s[0]];
    basis.set([...f, ...s, ...u], 9 * i);
  }
  sk.basis = basis;
  return basis;
}

// The skeleton's moving state: `motions` gives a motion (spring.js boneMotion) for each bone
// by its index, null for a bone that only follows. rot and pos are each bone's frame in the
// model as it moves; reach its shape's length, stretched; last and before where it hung
// from its parent one and two steps ago.
function skeletonChain(sk, motions) {
  acrossBasis(sk);
  const n = sk.count;
  const chain = {
    parts: motions.map((motion) => (motion ? swingParts(motion) : null)),
    rot: new Float64Array(4 * n), pos: new Float64Array(3 * n), reach: new Float64Array(n),
    last: new Float64Array(3 * n), before: new Float64Array(3 * n), time: 0, swaying: false,
  };
  restChain(chain, sk);
  return chain;
}

// Each axis where its spring and limits leave it at rest.
function settleMotion(motion) {
  for (const axis of Object.values(motion.axes)) {
    axis.v = 0;
    axis.x = restingPlace(axis);
  }
}

// The parent moved: each spring lags behind by the speed its point gained this step, given in
// the bone's rest frame across (s), up (u) and along (f) its shape; a tip's turn by that over
// its lever, as a card's jolt.
function kickParts(part, side, up, along) {
  if (part.yaw) part.yaw.v -= side / part.lever;
  if (part.pitch) part.pitch.v -= up / part.lever;
  if (part.along) part.along.v -= along;
  if (part.left) part.left.v -= side;
  if (part.up) part.up.v -= up;
  if (part.forward) part.forward.v -= along;
}

// Every bone's frame from its parent's, in table order (a parent comes first), the roots
// moved by (sx, sy, sz). Where `moving`, each jiggle bone first takes its jolt and steps.
function placeChain(chain, sk, sx, sy, sz, moving) {
  const { parent, localPos, localRot, basis, length } = sk;
  const { parts, rot, pos, reach, last, before } = chain;
  const t = skeletonScratch;
  const h = kSpringStep;
  for (let i = 0; i < sk.count; i += 1) {
    const p = parent[i];
    const i3 = 3 * i;
    const i4 = 4 * i;
    let ax;
    let ay;
    let az;
    if (p < 0) {
      for (let k = 0; k < 4; k += 1) rot[i4 + k] = localRot[i4 + k];
      ax = localPos[i3] + sx;
      ay = localPos[i3 + 1] + sy;
      az = localPos[i3 + 2] + sz;
    } else {
      quatMultiply(rot, i4, rot, 4 * p, localRot, i4);
      quatRotate(t, 0, rot, 4 * p, localPos[i3], localPos[i3 + 1], localPos[i3 + 2]);
      ax = pos[3 * p] + t[0];
      ay = pos[3 * p + 1] + t[1];
      az = pos[3 * p + 2] + t[2];
    }
    reach[i] = length[i];
    const part = parts[i];
    if (part === null) {
      pos[i3] = ax;
      pos[i3 + 1] = ay;
      pos[i3 + 2] = az;
      continue;
    }
    const b = 9 * i;
    if (moving) {
      // The point's acceleration over the last two steps, in the bone's rest frame.
      quatRotate(t, 0, rot, i4, (ax - 2 * last[i3] + before[i3]) / (h * h),
        (ay - 2 * last[i3 + 1] + before[i3 + 1]) / (h * h), (az - 2 * last[i3 + 2] + before[i3 + 2]) / (h * h), true);
      kickParts(part, (t[0] * basis[b + 3] + t[1] * basis[b + 4] + t[2] * basis[b + 5]) * h,
        (t[0] * basis[b + 6] + t[1] * basis[b + 7] + t[2] * basis[b + 8]) * h,
        (t[0] * basis[b] + t[1] * basis[b + 1] + t[2] * basis[b + 2]) * h);
      stepMotion(part.motion);
      before[i3] = last[i3];
      before[i3 + 1] = last[i3 + 1];
      before[i3 + 2] = last[i3 + 2];
    } else {
      before[i3] = ax;
      before[i3 + 1] = ay;
      before[i3 + 2] = az;
    }
    last[i3] = ax;
    last[i3 + 1] = ay;
    last[i3 + 2] = az;
    // The base moved along its springs, in the rest frame.
    const left = part.left ? part.left.x : 0;
    const up = part.up ? part.up.x : 0;
    const forward = part.forward ? part.forward.x : 0;
    quatRotate(t, 0, rot, i4, left * basis[b + 3] + up * basis[b + 6] + forward * basis[b],
      left * basis[b + 4] + up * basis[b + 7] + forward * basis[b + 1],
      left * basis[b + 5] + up * basis[b + 8] + forward * basis[b + 2]);
    pos[i3] = ax + t[0];
    pos[i3 + 1] = ay + t[1];
    pos[i3 + 2] = az + t[2];
    // The tip turned about u by yaw, then about −s by pitch; its shape stretched.
    const yaw = part.yaw ? part.yaw.x : 0;
    const pitch = part.pitch ? part.pitch.x : 0;
    if (yaw !== 0 || pitch !== 0) {
      const a = Math.sin(yaw / 2);
      const c = -Math.sin(pitch / 2);
      t[0] = a * basis[b + 6];
      t[1] = a * basis[b + 7];
      t[2] = a * basis[b + 8];
      t[3] = Math.cos(yaw / 2);
      t[4] = c * basis[b + 3];
      t[5] = c * basis[b + 4];
      t[6] = c * basis[b + 5];
      t[7] = Math.cos(pitch / 2);
      quatMultiply(t, 0, t, 0, t, 4);
      quatMultiply(rot, i4, rot, i4, t, 0);
    }
    // Stretched as a card draws it: from 0.3 to 1.2 of its length.
    if (part.along) reach[i] = length[i] * Math.max(0.3, Math.min(1.2, 1 + part.along.x / part.lever));
  }
}

// Every spring at rest, the model where it stands.
function restChain(chain, sk) {
  for (const part of chain.parts) if (part) settleMotion(part.motion);
  chain.time = 0;
  chain.swaying = false;
  placeChain(chain, sk, 0, 0, 0, false);
}

function shakeChain(chain, sk) {
  restChain(chain, sk);
  chain.swaying = true;
}

// Where the sway has moved the roots at time t (s).
function skeletonSwayAt(t, out) {
  const omega = 2 * Math.PI * kSkeletonSwayHz;
  const amount = t > 0 ? (kJoltSpeed / omega) * Math.sin(omega * t) * Math.exp(-t / kSkeletonSwayFade) : 0;
  for (let k = 0; k < 3; k += 1) out[k] = kSkeletonSway[k] * amount;
}

// Steps a swaying chain `steps` times; false once it is still again, the sway over and every
// spring at rest, or after the longest time shown, when it is put back at rest.
function stepChain(chain, sk, steps) {
  if (!chain.swaying) return false;
  const sway = skeletonSwayNow;
  for (let n = 0; n < steps; n += 1) {
    chain.time += kSpringStep;
    skeletonSwayAt(chain.time, sway);
    placeChain(chain, sk, sway[0], sway[1], sway[2], true);
  }
  if (chain.time > kSkeletonShown) {
    restChain(chain, sk);
    return false;
  }
  let still = chain.time > kSkeletonSwayOver;
  for (let i = 0; still && i < chain.parts.length; i += 1) {
    if (chain.parts[i] && !motionAtRest(chain.parts[i].motion)) still = false;
  }
  chain.swaying = !still;
  return chain.swaying;
}

if (typeof module !== 'undefined') {
  module.exports = { skeletonChain, shakeChain, restChain, stepChain, placeChain, skeletonSwayAt, acrossBasis };
}
