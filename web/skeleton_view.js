// A written row's skeleton: its bones at rest, seen from the front, read afresh from the
// model's file by the module when the row first opens (the page keeps no model's bytes, nor a
// skeleton for each row of a batch). Dragging or the arrow keys turn it, the wheel or + and -
// zoom; a click, or N and P, names a bone in the line below it, as the caret's bone does, and
// in Edit a click puts the caret on its block. Shake sways the model (skeleton_motion.js),
// the stored setting beside the edited one while editing; an edit that changes a bone shakes
// it too, but for reduced motion, which keeps it still until Shake is pressed. Only views in
// sight move, and none while the tab is hidden. Save skeleton (.glb) saves the module's file.
'use strict';

const kSkeletonTurnStep = Math.PI / 12;  // a key press turns or tilts it by 15°
const kSkeletonZoomStep = 1.25;
const kSkeletonDrag = 0.01;              // radians per pixel dragged
const kSkeletonClick = 5;                // px: a press that moves less is a click

const skeletonViews = new Set();    // views whose canvas was made, for a change of colours
const skeletonShaking = new Set();  // views swaying
const skeletonInView = new Set();   // canvases in sight
let skeletonFrameAsked = 0;
const skeletonFrames = frameClock();  // spring.js; measure_skeleton.py reads its frames' work

const skeletonWatcher = new IntersectionObserver((seen) => {
  for (const { target, isIntersecting } of seen) {
    if (isIntersecting) skeletonInView.add(target);
    else skeletonInView.delete(target);
  }
  askSkeletonFrame();
});

// The row's view, kept on its result while its elements come and go.
function skeletonViewOf(result) {
  if (!result.skeleton) {
    result.skeleton = {
      result, asked: false, sk: null, note: 'Reading the skeleton from the model…',
      now: null, ghost: null, ghostShown: null, bonesUsed: null, editingUsed: false, records: null,
      jiggleNames: [], turn: 0, tilt: 0, zoom: 1, lit: -1, caretName: null,
      place: null, canvas: null, context: null, line: null, at: null, ghostAt: null, axes: new Float64Array(9),
      groups: [], colours: null, dpr: 1, dash: [], noDash: [],
    };
  }
  return result.skeleton;
}

// The view's place in an open row.
function skeletonSection(result) {
  const view = skeletonViewOf(result);
  view.place = element('section', 'skeleton');
  fillSkeleton(view);
  if (!view.asked) readSkeleton(view);
  return view.place;
}

function readSkeleton(view) {
  const result = view.result;
  view.asked = true;
  askSkeleton(result.file, result.path, false).then((reply) => {
    if (results[result.index] === result) tookSkeleton(view, reply);
  }, (error) => {
    view.asked = false;  // asked again when the row is next drawn
    view.note = `The skeleton could not be read: ${error.message || error}.`;
    fillSkeleton(view);
  });
}

// The module's reply: the skeleton, or why it cannot be drawn, or the console's line for why
// the model gave none this time (moved or changed on disk since, or the page failed).
function tookSkeleton(view, reply) {
  const written = wasWritten(reply.outcome);
  const sk = written && reply.records && reply.records.length > 0 ? parseSkeleton(reply.records) : null;
  if (sk) {
    view.sk = sk;
    view.at = new Float64Array(4 * sk.count);
    view.ghostAt = new Float64Array(4 * sk.count);
    view.groups = skeletonGroups(sk);
    syncSkeletonMotions(view);
    // The first steps run cold, 3 to 7 ms for 180 bones: taken now, not in a Shake's first frame.
    shakeChain(view.now, sk);
    stepChain(view.now, sk, 8);
    restChain(view.now, sk);
    const caret = view.caretName;
    view.caretName = null;
    skeletonCaretMoved(view.result, caret);
  } else if (reply.message && reply.message.length > 0) {
    view.note = `No skeleton can be drawn: ${decodeName(reply.message)}.`;
  } else if (written) {
    view.note = 'The page could not read the skeleton the module gave.';
  } else {
    view.note = `No skeleton: ${decodePieces(reply.console, 10).trim()}`;
  }
  fillSkeleton(view);
}

// The jiggle bones' motions from the row's bone data as it stands, its edits applied, and
// while it is edited the stored setting's, for the outline beside it. True where a bone's
// numbers changed since they were last taken.
function syncSkeletonMotions(view) {
  const { result, sk } = view;
  const editing = Boolean(result.edit && result.edit.editing);
  const bytes = currentBones(result);
  if (view.now && view.bonesUsed === bytes && view.editingUsed === editing) return false;
  const bones = parseBones(decodePieces(bytes, 0x1e));
  const stored = editing ? parseBones(decodePieces(result.bones, 0x1e)) : [];
  const records = bones.map((bone) => bone.record);
  const changed = view.records !== null && records.some((record, k) => record !== view.records[k]);
  const motions = new Array(sk.count).fill(null);
  const storedMotions = new Array(sk.count).fill(null);
  const shown = new Uint8Array(sk.count);
  let differs = false;
  for (let i = 0; i < sk.count; i += 1) {
    const k = sk.jiggle[i];
    if (k >= 0 && k < bones.length) {
      motions[i] = boneMotion(bones[k]);
      if (stored[k]) {
        storedMotions[i] = boneMotion(stored[k]);
        if (stored[k].record !== bones[k].record) shown[i] = 1;
      }
    }
    // The bones below one whose setting differs move apart from it too.
    if (sk.parent[i] >= 0 && shown[sk.parent[i]]) shown[i] = 1;
    if (shown[i]) differs = true;
  }
  view.now = skeletonChain(sk, motions);
  view.ghost = differs ? skeletonChain(sk, storedMotions) : null;
  view.ghostShown = shown;
  Object.assign(view, { bonesUsed: bytes, editingUsed: editing, records, jiggleNames: bones.map((bone) => bone.name) });
  return changed;
}

function skeletonLegend() {
  const legend = element('ul', 'skeleton-legend');
  legend.setAttribute('aria-label', 'What the skeleton\'s colours show');
  const item = (swatchClass, colour, text) => {
    const swatch = element('span', `swatch ${swatchClass}`);
    swatch.setAttribute('aria-hidden', 'true');
    if (colour) swatch.style.background = colour;
    const line = element('li');
    line.append(swatch, text);
    legend.appendChild(line);
  };
  for (const { label, colour } of moduleWords.kinds.values()) item('kind', colour, label);
  item('lit', '', 'ringed: the bone named below');
  item('stored', '', 'dashed orange: the stored setting, while you edit');
  return legend;
}

function skeletonLine(view) {
  return view.lit >= 0 ? skeletonBoneLine(view.sk, view.lit) : 'Click a bone to name it here.';
}

// The view's place drawn anew: the skeleton, or why there is none yet.
function fillSkeleton(view) {
  const place = view.place;
  if (!place) return;
  if (view.canvas) {
    skeletonWatcher.unobserve(view.canvas);
    skeletonInView.delete(view.canvas);
    view.canvas = null;
  }
  const title = element('h3', '', 'Skeleton');
  if (!view.sk) {
    place.replaceChildren(title, element('p', 'skeleton-note', view.note));
    return;
  }
  syncSkeletonMotions(view);
  const id = `skeleton-${view.result.index}`;
  const keys = element('p', 'skeleton-keys', 'Drag it, or use the arrow keys, to turn it; the wheel, or + and -, ' +
    'zooms; 0 faces it again. Click a bone, or press N or P, to name it; in Edit, a click or Enter puts the caret ' +
    'on its block.');
  keys.id = `${id}-keys`;
  const canvas = element('canvas', 'skeleton-canvas');
  canvas.tabIndex = 0;
  canvas.setAttribute('role', 'application');
  canvas.setAttribute('aria-label', 'Skeleton');
  canvas.setAttribute('aria-describedby', keys.id);
  const line = element('p', 'skeleton-line', skeletonLine(view));
  line.setAttribute('aria-live', 'polite');
  const bar = element('div', 'skeleton-bar');
  bar.append(button('Shake', () => shakeSkeleton(view), 'shake'), keys);
  place.replaceChildren(title, bar, canvas, line, skeletonLegend());
  Object.assign(view, { canvas, context: canvas.getContext('2d'), line });
  listenToSkeleton(view, canvas);
  new ResizeObserver(() => sizeSkeleton(view, canvas)).observe(canvas);
  skeletonWatcher.observe(canvas);
  skeletonViews.add(view);
  if (view.now.swaying) skeletonShaking.add(view);
}

function sizeSkeleton(view, canvas) {
  if (view.canvas !== canvas) return;
  const dpr = window.devicePixelRatio || 1;
  const width = Math.max(1, Math.round(canvas.clientWidth * dpr));
  const height = Math.max(1, Math.round(canvas.clientHeight * dpr));
  if (canvas.width !== width) canvas.width = width;
  if (canvas.height !== height) canvas.height = height;
  Object.assign(view, { dpr, dash: [5 * dpr, 4 * dpr], colours: skeletonColours(canvas) });
  drawSkeletonView(view);
}

function drawSkeletonView(view) {
  if (view.canvas && view.colours && view.canvas.isConnected) paintSkeleton(view);
}

function listenToSkeleton(view, canvas) {
  let drag = null;
  canvas.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    drag = { x: event.clientX, y: event.clientY, moved: 0 };
    canvas.setPointerCapture(event.pointerId);
  });
  canvas.addEventListener('pointermove', (event) => {
    if (!drag) return;
    const dx = event.clientX - drag.x;
    const dy = event.clientY - drag.y;
    Object.assign(drag, { x: event.clientX, y: event.clientY, moved: drag.moved + Math.abs(dx) + Math.abs(dy) });
    // The model turns with the pointer, as if held.
    turnSkeleton(view, -dx * kSkeletonDrag, dy * kSkeletonDrag);
  });
  canvas.addEventListener('pointerup', (event) => {
    if (drag && drag.moved < kSkeletonClick) {
      const box = canvas.getBoundingClientRect();
      const bone = pickSkeletonBone(view, (event.clientX - box.left) * view.dpr, (event.clientY - box.top) * view.dpr);
      if (bone >= 0) chooseSkeletonBone(view, bone);
    }
    drag = null;
  });
  canvas.addEventListener('pointercancel', () => { drag = null; });
  canvas.addEventListener('wheel', (event) => {
    event.preventDefault();
    zoomSkeleton(view, Math.exp(-event.deltaY * 0.002));
  }, { passive: false });
  canvas.addEventListener('keydown', (event) => skeletonKey(view, event));
}

function skeletonKey(view, event) {
  if (event.ctrlKey || event.metaKey || event.altKey) return;
  const key = event.key;
  if (key === 'ArrowLeft') turnSkeleton(view, kSkeletonTurnStep, 0);
  else if (key === 'ArrowRight') turnSkeleton(view, -kSkeletonTurnStep, 0);
  else if (key === 'ArrowUp') turnSkeleton(view, 0, -kSkeletonTurnStep);
  else if (key === 'ArrowDown') turnSkeleton(view, 0, kSkeletonTurnStep);
  else if (key === '+' || key === '=') zoomSkeleton(view, kSkeletonZoomStep);
  else if (key === '-' || key === '_') zoomSkeleton(view, 1 / kSkeletonZoomStep);
  else if (key === '0') {
    Object.assign(view, { turn: 0, tilt: 0, zoom: 1 });
    drawSkeletonView(view);
  } else if (key === 'n' || key === 'N' || key === 'PageDown') stepSkeletonBone(view, 1);
  else if (key === 'p' || key === 'P' || key === 'PageUp') stepSkeletonBone(view, -1);
  else if (key === 'Enter' && view.lit >= 0) chooseSkeletonBone(view, view.lit);
  else return;
  event.preventDefault();
}

function turnSkeleton(view, turn, tilt) {
  view.turn += turn;
  view.tilt = Math.max(-Math.PI / 2, Math.min(Math.PI / 2, view.tilt + tilt));
  drawSkeletonView(view);
}

function zoomSkeleton(view, factor) {
  view.zoom = Math.max(0.25, Math.min(40, view.zoom * factor));
  drawSkeletonView(view);
}

function lightSkeletonBone(view, bone) {
  view.lit = bone;
  if (view.line) view.line.textContent = skeletonLine(view);
  drawSkeletonView(view);
}

function stepSkeletonBone(view, by) {
  const count = view.sk.count;
  lightSkeletonBone(view, view.lit < 0 ? (by > 0 ? 0 : count - 1) : (view.lit + by + count) % count);
}

// A bone clicked, or Enter on the lit one: named, and in Edit the caret put on its block.
function chooseSkeletonBone(view, bone) {
  lightSkeletonBone(view, bone);
  const result = view.result;
  const k = view.sk.jiggle[bone];
  if (result.edit && result.edit.editing && k >= 0 && k < view.jiggleNames.length) goToBone(result, view.jiggleNames[k]);
}

// The editor's caret entered the block of the jiggle bone named `name` (null: none).
function skeletonCaretMoved(result, name) {
  const view = result.skeleton;
  if (!view || name === view.caretName) return;
  view.caretName = name;
  if (name === null || !view.sk) return;
  const k = view.jiggleNames.indexOf(name);
  const bone = k < 0 ? -1 : view.sk.jiggle.indexOf(k);
  if (bone >= 0) lightSkeletonBone(view, bone);
}

// The row's edits applied: the bones whose numbers changed move on them, shaken as the cards
// jolt, but for reduced motion.
function skeletonBonesApplied(result) {
  const view = result.skeleton;
  if (!view || !view.sk) return;
  if (!syncSkeletonMotions(view)) return;
  if (reducedMotion.matches) drawSkeletonView(view);
  else shakeSkeleton(view);
}

function shakeSkeleton(view) {
  if (!view.sk) return;
  syncSkeletonMotions(view);
  shakeChain(view.now, view.sk);
  if (view.ghost) shakeChain(view.ghost, view.sk);
  skeletonShaking.add(view);
  drawSkeletonView(view);
  askSkeletonFrame();
}

function askSkeletonFrame() {
  if (skeletonFrameAsked || document.hidden || skeletonShaking.size === 0) return;
  skeletonFrameAsked = requestAnimationFrame(skeletonFrame);
}

function skeletonFrame(now) {
  skeletonFrameAsked = 0;
  const started = performance.now();
  const steps = stepsDue(skeletonFrames, now);
  let going = false;
  for (const view of skeletonShaking) {
    // Gone with its row, it goes on when the row is drawn again; out of sight, it waits.
    if (!view.canvas || !view.canvas.isConnected) skeletonShaking.delete(view);
    if (!view.canvas || !skeletonInView.has(view.canvas)) continue;
    const moving = stepChain(view.now, view.sk, steps);
    const ghostMoving = view.ghost !== null && stepChain(view.ghost, view.sk, steps);
    if (moving || ghostMoving) going = true;
    else skeletonShaking.delete(view);
    drawSkeletonView(view);
  }
  frameWorked(skeletonFrames, started);
  if (going) askSkeletonFrame();
  else skeletonFrames.last = 0;
}

// The .glb file sproing_sweep --skeleton writes for the model, under the sweep's name for it,
// made by the module from the model's file read afresh: of the model as stored, whatever its
// edits.
function saveSkeleton(result) {
  const failed = (why) => {
    notice(`No skeleton saved for ${result.path}: ${why}`, 'notice error');
    announce(`No skeleton saved: ${why}`);
  };
  askSkeleton(result.file, result.path, true).then((reply) => {
    if (reply.glb && reply.glb.length > 0) saveBytes(decodeName(reply.glbName), reply.glb, 'model/gltf-binary');
    else failed(reply.message && reply.message.length > 0 ? `${decodeName(reply.message)}.` : decodePieces(reply.console, 10).trim());
  }, (error) => failed(`${error.message || error}.`));
}

document.addEventListener('visibilitychange', () => {
  if (document.hidden) {
    cancelAnimationFrame(skeletonFrameAsked);
    skeletonFrameAsked = 0;
    skeletonFrames.last = 0;
  } else {
    askSkeletonFrame();
  }
});

window.matchMedia('(prefers-color-scheme: dark)').addEventListener('change', () => {
  for (const view of skeletonViews) {
    if (!view.canvas || !view.canvas.isConnected) {
      skeletonViews.delete(view);
      continue;
    }
    view.colours = skeletonColours(view.canvas);
    drawSkeletonView(view);
  }
});
