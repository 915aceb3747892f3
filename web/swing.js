// The swing in numbers: for each axis of a bone, what a spring of its numbers does after the
// standard jolt, with the sketch's equations and inertia (spring.js, docs/page.md): natural
// frequency, damping ratio, the time the jolt takes to die to 5 %, its peak; and the jolt's
// response over time, limits and all, for the card's plot. No DOM: node's tests load it.
'use strict';

// A jolt has died away once the swing stays within this share of its peak.
const kSettledShare = 0.05;
// Feel words: a swing of this frequency or more is stiff (two swings a second, a brisk
// step's pace), below it soft; a damping ratio below this is springy (each swing back is
// then more than a sixth of the one before: e^(−πζ/√(1−ζ²)) = 0.16 at ζ = 0.5), at or
// above it settled.
const kStiffHz = 2;
const kSettledZeta = 0.5;
const kPlotLongest = 10;  // s, as long as the sketch shows a jolt
const kPlotShortest = 0.5;

// The swing from rest after a sudden speed v0, of a spring of stiffness k and damping c
// on `inertia`: x(t), for the non-oscillating cases whose settling is found by bisection.
function creep(alpha, omega2, v0) {
  const gap = alpha * alpha - omega2;
  if (gap <= 1e-12 * alpha * alpha) return (t) => v0 * t * Math.exp(-alpha * t);  // critical
  const s = Math.sqrt(gap);
  const slow = omega2 / (alpha + s);  // α − s, taken without cancelling
  return (t) => (v0 / (2 * s)) * (Math.exp(-slow * t) - Math.exp(-(alpha + s) * t));
}

// { hz, zeta, settle (s; Infinity: never), peak (units of x; Infinity: no bound) }
function springSwing(stiffness, damping, inertia, v0) {
  const k = springNumber(stiffness);
  const c = springNumber(damping);
  const speed = Math.abs(v0);
  const omega2 = k / inertia;
  const omega = Math.sqrt(omega2);
  const alpha = c / (2 * inertia);
  const hz = omega / (2 * Math.PI);
  if (k === 0) {
    // No spring: the bone drifts to v0 / 2α and stays there.
    return { hz: 0, zeta: c > 0 ? Infinity : 0, settle: Infinity, peak: c > 0 ? speed / (2 * alpha) : Infinity };
  }
  const zeta = c / (2 * Math.sqrt(k * inertia));
  if (zeta < 1 - 1e-9) {
    // x = v0/ω_d·e^(−αt)·sin(ω_d t): its first peak, and the time its envelope falls to 5 % of it.
    const wd = Math.sqrt(omega2 - alpha * alpha);
    const at = Math.atan2(wd, alpha) / wd;
    const peak = (speed / wd) * Math.exp(-alpha * at) * Math.sin(wd * at);
    const settle = alpha === 0 ? Infinity : Math.log(speed / wd / (kSettledShare * peak)) / alpha;
    return { hz, zeta, settle, peak };
  }
  const x = creep(alpha, omega2, speed);
  // Its one peak, then the time it falls back to 5 % of it.
  const gap = alpha * alpha - omega2;
  const s = Math.sqrt(Math.max(0, gap));
  const at = s < 1e-6 * alpha ? 1 / alpha : Math.log((alpha + s) / (omega2 / (alpha + s))) / (2 * s);
  const peak = x(at);
  let [low, high] = [at, 2 * at];
  while (x(high) > kSettledShare * peak) [low, high] = [high, 2 * high];
  for (let i = 0; i < 60; i += 1) {
    const middle = (low + high) / 2;
    if (x(middle) > kSettledShare * peak) low = middle;
    else high = middle;
  }
  return { hz, zeta, settle: high, peak };
}

// The axes of a bone that swing, each { axis, unit ("degrees" or "units"), stiffness,
// damping, inertia, speed (the standard jolt's, in radians or model units per second) }:
// yaw and pitch, along where the length may flex, and the base's three (spring.js).
function swingAxes(bone) {
  const one = (role, axis) => (boneValues(bone, role, axis) || [])[0];
  return springAxesOf(bone).map(({ axis, turns, spring, inertia, lever, share }) => ({
    axis, unit: turns ? 'degrees' : 'units', speed: (kJoltSpeed * share) / lever, inertia,
    stiffness: one('stiffness', spring), damping: one('damping', spring),
  }));
}

// Each swinging axis with its numbers; an angle's peak in degrees.
function boneSwing(bone) {
  return swingAxes(bone).map((axis) => {
    const swing = springSwing(axis.stiffness, axis.damping, axis.inertia, axis.speed);
    if (axis.unit === 'degrees') swing.peak *= moduleWords.toDegrees;
    return Object.assign(swing, { axis: axis.axis, unit: axis.unit });
  });
}

function feelWords(swing) {
  if (swing.hz === 0) return 'no spring';
  return `${swing.hz >= kStiffHz ? 'stiff' : 'soft'}, ${swing.zeta < kSettledZeta ? 'springy' : 'settled'}`;
}

// How long the sketch is watched for the largest swings: until the slowest swing has died
// to 5 %, within bounds.
function watchedSeconds(swings) {
  const longest = Math.max(0, ...swings.map((swing) => swing.settle));
  return Math.min(kPlotLongest, Math.max(kPlotShortest, longest));
}

// The standard jolt's motion, as the sketch moves (limits, friction, bounce): every axis's
// largest swing over `seconds`, by axis, and the path of axis `plotted` over `plotSeconds`
// (its place every other step, in degrees or units; null where the bone has no such axis).
function joltResponse(bone, seconds, plotted, plotSeconds) {
  const motion = boneMotion(bone);
  joltMotion(motion);
  const names = Object.keys(motion.axes);
  const shown = (axis) => (axis.turns ? moduleWords.toDegrees : 1);
  const drawn = motion.axes[plotted];
  const path = drawn ? [0] : null;
  const widest = Object.fromEntries(names.map((name) => [name, 0]));
  const plotSteps = Math.round(plotSeconds / kSpringStep);
  const steps = Math.max(Math.round(seconds / kSpringStep), plotSteps);
  for (let i = 1; i <= steps; i += 1) {
    stepMotion(motion);
    for (const name of names) widest[name] = Math.max(widest[name], Math.abs(motion.axes[name].x) * shown(motion.axes[name]));
    if (drawn && i % 2 === 0 && i <= plotSteps) path.push(drawn.x * shown(drawn));
  }
  return { axis: plotted, degrees: Boolean(drawn && drawn.turns), path, widest, step: 2 * kSpringStep };
}

// What a card shows of the swing: each axis's numbers, edited (`now`) and stored (`before`,
// for a bone whose edits changed it), with the largest swings of the sketch over the time
// the slowest needs; and the plot of the first axis over the time that axis needs, the
// slower of its edited and stored settings to die to 5 %, within bounds. An axis that never
// dies is plotted for the longest, and `never` says which setting that is ('now', 'stored'
// or '').
function cardSwing(bone, stored) {
  const now = boneSwing(bone);
  const before = stored ? boneSwing(stored) : null;
  const first = now[0];
  const storedFirst = first && before ? before.find((swing) => swing.axis === first.axis) : undefined;
  const dies = (swing) => !swing || Number.isFinite(swing.settle);
  const never = !first ? '' : !dies(first) ? 'now' : !dies(storedFirst) ? 'stored' : '';
  const slower = first ? Math.max(first.settle, storedFirst ? storedFirst.settle : 0) : 0;
  const seconds = Math.min(kPlotLongest, Math.max(kPlotShortest, slower));
  const watched = watchedSeconds([...now, ...(before || [])]);
  const axis = first ? first.axis : null;
  return { now, before, seconds, never, response: joltResponse(bone, watched, axis, seconds),
    storedResponse: before ? joltResponse(stored, watched, axis, seconds) : null };
}

if (typeof module !== 'undefined') {
  module.exports = { springSwing, swingAxes, boneSwing, feelWords, cardSwing, kStiffHz, kSettledZeta };
}
