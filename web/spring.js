// The motion the bone cards show: each axis of a bone is a damped spring, stepped exactly
// over a fixed time step, then held by its limits with their friction and bounce. A sketch
// of the numbers on a simple spring, written here from first principles; docs/page.md
// gives the equations. No DOM: node's tests load this file as it is.
'use strict';

const kSpringStep = 1 / 120;  // s
// A jolt moves the bone's parent suddenly by this speed (model units per second), shared in
// these parts between the base's axes in the module's order (left, up, forward), so that
// every axis moves; a flexible tip's spring axes (yaw, pitch, along) take the same parts in
// their order.
const kJoltSpeed = 40;
const kJoltShares = [0.8, 0.6, 0.4];
// The bone itself has this much inertia beside its tip mass, so that a tip of mass 0, common
// in real models, still swings.
const kBoneInertia = 1;

// A value from the text as a number the motion can take: odd values (negative, not finite)
// count as none.
function springNumber(value) {
  const number = Number(value);
  return Number.isFinite(number) && number > 0 ? number : 0;
}

// The exact solution of  inertia·x'' = −stiffness·x − damping·x'  over `dt`, as the matrix
// taking [x, v] to [a·x + b·v, c·x + d·v]: it never gains energy, whatever the numbers, so
// the preview cannot blow up on a stiff spring.
function springMatrix(stiffness, damping, inertia, dt = kSpringStep) {
  const alpha = damping / (2 * inertia);
  const omega2 = stiffness / inertia;
  const gap = omega2 - alpha * alpha;
  if (Math.abs(gap) <= 1e-9 * Math.max(omega2, alpha * alpha)) {
    // Critically damped (or no spring and no damping at all).
    const e = Math.exp(-alpha * dt);
    return { a: e * (1 + alpha * dt), b: e * dt, c: -e * alpha * alpha * dt, d: e * (1 - alpha * dt) };
  }
  if (gap > 0) {
    const w = Math.sqrt(gap);
    const e = Math.exp(-alpha * dt);
    const cos = e * Math.cos(w * dt);
    const sin = (e * Math.sin(w * dt)) / w;
    return { a: cos + alpha * sin, b: sin, c: -omega2 * sin, d: cos - alpha * sin };
  }
  // Overdamped: e^(−αt)·cosh(st) and e^(−αt)·sinh(st)/s from exponents taken together, so
  // that a large damping neither overflows nor loses the slow part.
  const s = Math.sqrt(-gap);
  const slow = Math.exp((-omega2 / (alpha + s)) * dt);  // e^((s − α)t)
  const fast = Math.exp((-alpha - s) * dt);
  const cosh = (slow + fast) / 2;
  const sinh = (slow - fast) / (2 * s);
  return { a: cosh + alpha * sinh, b: sinh, c: -omega2 * sinh, d: cosh - alpha * sinh };
}

// One axis: its place x and speed v (radians, or model units for along and the base), its
// spring, and its limit [low, high] (null: none), friction and bounce.
function springAxis(stiffness, damping, inertia, low = null, high = null, friction = 0, bounce = 0) {
  return {
    x: 0, v: 0, held: false,
    matrix: springMatrix(springNumber(stiffness), springNumber(damping), inertia),
    low, high, friction: springNumber(friction), bounce: Math.min(1, springNumber(bounce)),
  };
}

// The axes a bone's parts swing on, each { axis, part ('tip' or 'base'), turns (an angle, in
// radians), spring (the axis whose stiffness and damping it takes), inertia, lever, share }:
// a flexible tip's spring axes, turning where their limits are angles and else stretching
// along it, which a tip held at its length does not; then a base spring's. A jolt's part of
// an angle's speed is over the lever, the bone's length.
function springAxesOf(bone) {
  const one = (role, axis) => (boneValues(bone, role, axis) || [])[0];
  const axes = [];
  if (boneHas(bone, 'flexible')) {
    const inertia = kBoneInertia + springNumber(one('mass', 'tip'));
    const length = Math.max(1, springNumber(one('length', null)));
    const fixed = bone.facts.includes('length-fixed');
    moduleWords.tipSprings.forEach((axis, i) => {
      const turns = moduleWords.tipTurns.includes(axis);
      if (!turns && fixed) return;
      axes.push({ axis, part: 'tip', turns, spring: axis, inertia, lever: turns ? length : 1,
        share: kJoltShares[i] || 0 });
    });
  }
  if (boneHas(bone, 'base')) {
    const inertia = kBoneInertia + springNumber(one('mass', 'base'));
    moduleWords.baseLimits.forEach((axis, i) => {
      axes.push({ axis, part: 'base', turns: false, spring: 'base', inertia, lever: 1, share: kJoltShares[i] || 0 });
    });
  }
  return axes;
}

// `bone`'s numbers (bone_data.js: look-ups by role and axis) as a motion: its axes by name,
// the tip's turning axes (held together by the angle limit's cone) and the groups of axes
// whose friction slows each other.
function boneMotion(bone) {
  const get = (role, axis) => boneValues(bone, role, axis);
  const degrees = (values) => values.map((value) => Number(value) * moduleWords.toRadians);
  const limit = (axis, toRadians) => {
    const values = get('limit', axis);
    if (values === null || values.length < 2 || !values.every((v) => Number.isFinite(Number(v)))) return [null, null];
    return toRadians ? degrees(values) : values.map(Number);
  };
  const one = (role, axis) => (get(role, axis) || [])[0];
  const motion = { axes: {}, turning: [], rubbing: [], angle: null, length: 1 };
  const base = [];
  for (const { axis, part, turns, spring, inertia, lever, share } of springAxesOf(bone)) {
    const moving = springAxis(one('stiffness', spring), one('damping', spring), inertia, ...limit(axis, turns),
      one('friction', axis), one('bounce', axis));
    Object.assign(moving, { turns, lever, share });
    motion.axes[axis] = moving;
    if (turns) {
      motion.turning.push(moving);
      motion.length = lever;
    } else if (part === 'base') {
      base.push(moving);
    }
  }
  const angle = get('limit', 'angle');
  if (motion.turning.length === 2 && angle !== null && Number.isFinite(Number(angle[0]))) {
    motion.angle = Math.max(0, degrees(angle)[0]);
  }
  for (const group of [motion.turning, base]) {
    for (const held of group) motion.rubbing.push([held, group.filter((other) => other !== held)]);
  }
  return motion;
}

// The parent moved suddenly: each part lags behind it, the tip's angles the more the
// shorter the bone.
function joltMotion(motion, strength = 1) {
  for (const axis of axesOf(motion)) axis.v -= (kJoltSpeed * axis.share * strength) / axis.lever;
}

function holdAxis(axis) {
  axis.held = false;
  if (axis.low === null) return;
  if (axis.low > axis.high) {  // no room: held still in the middle
    axis.x = (axis.low + axis.high) / 2;
    axis.v = 0;
    axis.held = true;
  } else if (axis.x <= axis.low) {
    axis.x = axis.low;
    if (axis.v < 0) axis.v = -axis.bounce * axis.v;
    axis.held = true;
  } else if (axis.x >= axis.high) {
    axis.x = axis.high;
    if (axis.v > 0) axis.v = -axis.bounce * axis.v;
    axis.held = true;
  }
}

// The tip's angle from rest, yaw and pitch together, kept inside the angle limit's cone;
// the speed outwards stops there.
function holdCone(yaw, pitch, angle) {
  const r = Math.hypot(yaw.x, pitch.x);
  if (r <= angle) return;
  if (angle === 0) {
    yaw.x = pitch.x = yaw.v = pitch.v = 0;
    return;
  }
  const [uy, up] = [yaw.x / r, pitch.x / r];
  yaw.x = uy * angle;
  pitch.x = up * angle;
  const outwards = yaw.v * uy + pitch.v * up;
  if (outwards > 0) {
    yaw.v -= outwards * uy;
    pitch.v -= outwards * up;
  }
}

// Friction: while an axis is held at its limit, the others' speeds along it die away.
function rub(held, others, dt) {
  if (!held.held || held.friction === 0) return;
  const keep = Math.exp(-held.friction * dt);
  for (const other of others) other.v *= keep;
}

// The axes as a list, made once: a frame steps many motions.
function axesOf(motion) {
  if (!motion.list) motion.list = Object.values(motion.axes);
  return motion.list;
}

function stepMotion(motion, dt = kSpringStep) {
  for (const axis of axesOf(motion)) {
    const { a, b, c, d } = axis.matrix;
    const x = a * axis.x + b * axis.v;
    axis.v = c * axis.x + d * axis.v;
    axis.x = x;
    holdAxis(axis);
  }
  if (motion.angle !== null) holdCone(motion.turning[0], motion.turning[1], motion.angle);
  for (const [held, others] of motion.rubbing) rub(held, others, dt);
}

// Where an axis rests: where its spring and limits leave it (limits that leave no room hold
// it in their middle, as holdAxis does).
function restingPlace(axis) {
  if (axis.low === null) return 0;
  if (axis.low > axis.high) return (axis.low + axis.high) / 2;
  return Math.min(axis.high, Math.max(axis.low, 0));
}

// Still: no axis moves, and each rests where its spring and limits leave it.
function motionAtRest(motion) {
  return axesOf(motion).every((axis) =>
    Math.abs(axis.v) < 1e-3 && (Math.abs(axis.x - restingPlace(axis)) < 1e-4 || axis.held));
}

// A clock for motion on screen: how many steps each animation frame owes, with no more than
// kLongestFrame of motion after a pause; `last` set to 0 starts it afresh. It also keeps the
// work of the last frames, for measuring by hand.
const kLongestFrame = 0.1;  // s
function frameClock() {
  return { last: 0, carried: 0, count: 0, lastMs: 0, longestMs: 0 };
}

// `now`: the frame's time in ms, as requestAnimationFrame gives it.
function stepsDue(clock, now) {
  const elapsed = clock.last === 0 ? kSpringStep : Math.min(kLongestFrame, (now - clock.last) / 1000);
  clock.last = now;
  clock.carried += elapsed;
  const steps = Math.floor(clock.carried / kSpringStep);
  clock.carried -= steps * kSpringStep;
  return steps;
}

// `started`: performance.now() as the frame's work began.
function frameWorked(clock, started) {
  const work = performance.now() - started;
  clock.count += 1;
  clock.lastMs = work;
  clock.longestMs = Math.max(clock.longestMs, work);
}

if (typeof module !== 'undefined') {
  module.exports = { kSpringStep, kJoltSpeed, kBoneInertia, springNumber, springMatrix, springAxesOf, boneMotion,
    joltMotion, stepMotion, motionAtRest, restingPlace, frameClock, stepsDue };
}
