// The bone cards' motion on screen: every card in view with a jolt still dying away is
// stepped at a fixed rate (spring.js) and its bone, tip and base moved, its stored setting's
// ghost beside it. Nothing runs for cards out of view or while the tab is hidden; with
// reduced motion asked for, cards stay still until Jolt is pressed.
'use strict';

// A jolt is shown this long at most: an undamped spring would swing for ever.
const kJoltShown = 10000;  // ms
const reducedMotion = window.matchMedia('(prefers-reduced-motion: reduce)');

// Motions of cards in view: card element -> its entry { motion, ghost, joltedAt, movers }
const inView = new Set();
const moving = new Set();  // entries jolted and not yet still
let frameAsked = 0;
const previewFrames = frameClock();  // spring.js; measure_preview.py reads its frames' work

const watcher = new IntersectionObserver((seen) => {
  for (const { target, isIntersecting } of seen) {
    if (isIntersecting) inView.add(target);
    else inView.delete(target);
  }
  askFrame();
});

// The entry of a bone: its motion and its ghost's, kept while its card comes and goes.
function motionEntry(bone, stored) {
  return { motion: boneMotion(bone), ghost: stored ? boneMotion(stored) : null, joltedAt: -Infinity, movers: null,
    plot: null, swing: null };
}

function showCard(card, entry) {
  card.previewEntry = entry;
  watcher.observe(card);
  draw(entry);
}

function hideCard(card) {
  watcher.unobserve(card);
  inView.delete(card);
}

// `automatic`: a jolt the page makes (after an edit), which reduced motion leaves out.
function jolt(entry, automatic = false) {
  if (automatic && reducedMotion.matches) return;
  joltMotion(entry.motion);
  if (entry.ghost) joltMotion(entry.ghost);
  entry.joltedAt = performance.now();
  moving.add(entry);
  askFrame();
}

function askFrame() {
  if (frameAsked || document.hidden || moving.size === 0) return;
  frameAsked = requestAnimationFrame(frame);
}

function frame(now) {
  frameAsked = 0;
  const started = performance.now();
  const steps = stepsDue(previewFrames, now);
  for (const card of inView) {
    const entry = card.previewEntry;
    if (!entry || !moving.has(entry)) continue;
    for (let i = 0; i < steps; i += 1) {
      stepMotion(entry.motion);
      if (entry.ghost) stepMotion(entry.ghost);
    }
    const over = now - entry.joltedAt > kJoltShown;
    if (over || (motionAtRest(entry.motion) && (!entry.ghost || motionAtRest(entry.ghost)))) {
      if (over) rest(entry);
      moving.delete(entry);
    }
    draw(entry, now);
  }
  frameWorked(previewFrames, started);
  // Cards out of view keep their place in `moving`, and go on when scrolled back.
  if ([...inView].some((card) => card.previewEntry && moving.has(card.previewEntry))) askFrame();
  else previewFrames.last = 0;
}

function rest(entry) {
  for (const motion of [entry.motion, entry.ghost]) {
    if (!motion) continue;
    for (const axis of Object.values(motion.axes)) axis.x = axis.v = 0;
  }
}

// The bone turned by `angle` (radians, counter-clockwise), stretched to `stretch` of its length.
function placeBone(parts, angle, stretch) {
  // Tenths of a degree and of a unit: finer than a pixel, and no text made for a still part.
  const turn = Math.round(-angle * moduleWords.toDegrees * 10);
  if (parts.group.turn !== turn) {
    parts.group.turn = turn;
    parts.group.setAttribute('transform', `rotate(${turn / 10} 50 50)`);
  }
  const reach = Math.round(400 * stretch);
  if (parts.line.reach !== reach && (parts.line.reach !== undefined || reach !== 400)) {
    parts.line.reach = reach;
    parts.line.setAttribute('x2', String(50 + reach / 10));
    parts.tip.setAttribute('cx', String(50 + reach / 10));
  }
}

// The ghost's setting may have blocks the card does not draw: those are left out.
function drawMotion(movers, motion, which) {
  const axes = motion.axes;
  if (axes.yaw && movers.yaw) {
    const stretch = axes.along ? Math.max(0.3, Math.min(1.2, 1 + axes.along.x / motion.length)) : 1;
    placeBone(movers.yaw[which], axes.yaw.x, stretch);
    placeBone(movers.pitch[which], axes.pitch.x, stretch);
    placeBone(movers.angle[which], Math.hypot(axes.yaw.x, axes.pitch.x), stretch);
  }
  if (axes.left && movers.left) {
    for (const axis of moduleWords.baseLimits) {
      const offset = Math.max(-1.1, Math.min(1.1, axes[axis].x / movers.span));
      const dot = movers[axis][which];
      const shift = Math.round(450 * offset);
      if (dot.shift !== shift) {
        dot.shift = shift;
        dot.setAttribute('transform', `translate(${shift / 10} 0)`);
      }
    }
  }
}

// The plot's cursor at the time since the jolt, while the plot's time lasts.
function drawCursor(entry, now) {
  if (!entry.plot) return;
  const { cursor, seconds } = entry.plot;
  const t = (now - entry.joltedAt) / 1000;
  if (t < 0 || t > seconds) {
    if (cursor.style.display !== 'none') cursor.style.display = 'none';
    return;
  }
  const x = Math.round((2000 * t) / seconds);
  if (cursor.x !== x) {
    cursor.x = x;
    cursor.setAttribute('transform', `translate(${x / 10} 0)`);
  }
  if (cursor.style.display !== '') cursor.style.display = '';
}

function draw(entry, now = performance.now()) {
  drawCursor(entry, now);
  if (!entry.movers) return;
  drawMotion(entry.movers, entry.motion, 'now');
  if (entry.ghost) drawMotion(entry.movers, entry.ghost, 'ghost');
}

document.addEventListener('visibilitychange', () => {
  if (document.hidden) {
    cancelAnimationFrame(frameAsked);
    frameAsked = 0;
    previewFrames.last = 0;
  } else {
    askFrame();
  }
});
