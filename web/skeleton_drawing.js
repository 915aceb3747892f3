// The skeleton on a canvas: every bone's shape from its origin to its tip, seen straight on
// (no perspective) from a turn about the model's up axis (+z) and a tilt, the jiggle bones in
// their kinds' colours over the plain bones, the stored setting's bones that differ as dashed
// outlines, the lit bone ringed. Turn 0, tilt 0 looks at the front of a character, which
// faces −y: +x is to the right, +z up. A frame lays the paths out again and allocates nothing.
'use strict';

const kSkeletonFill = 0.85;  // of the canvas the model spans at zoom 1, turned any way about +z
const kSkeletonPick = 10;    // px: a click this near a bone's shape takes it

// The bones by how they are drawn: a group per kind, in the module's order, thin for bones
// without a jiggle rule; and which bone is jiggle bone k.
function skeletonGroups(sk) {
  const words = [...moduleWords.kinds.keys()];
  for (const kind of sk.kinds) if (!words.includes(kind)) words.push(kind);
  return words.map((word) => {
    const bones = [];
    for (let i = 0; i < sk.count; i += 1) if (sk.kinds[i] === word) bones.push(i);
    const known = moduleWords.kinds.get(word);
    return { colour: known ? known.colour : '', bones: Int32Array.from(bones),
      jiggle: bones.some((i) => sk.jiggle[i] >= 0) };
  }).filter((group) => group.bones.length > 0);
}

// The canvas's colours that come from the page's style: its text (the lit bone), the stored
// setting's, and a colour for a kind the module's words do not give.
function skeletonColours(canvas) {
  const style = getComputedStyle(canvas);
  const read = (name) => style.getPropertyValue(name).trim();
  return { text: read('--text'), stored: read('--stored'), other: read('--muted') };
}

// The screen's axes for the view's turn and tilt: right, up, then the scale and the middle.
function skeletonAxes(view) {
  const { turn, tilt } = view;
  const a = view.axes;
  a[0] = Math.cos(turn);
  a[1] = Math.sin(turn);
  a[2] = 0;
  a[3] = -Math.sin(turn) * Math.sin(tilt);
  a[4] = Math.cos(turn) * Math.sin(tilt);
  a[5] = Math.cos(tilt);
  const { width, height } = view.canvas;
  a[6] = kSkeletonFill * view.zoom * Math.min(width / (2 * view.sk.wide), height / (2 * view.sk.high));
  a[7] = width / 2;
  a[8] = height / 2;
}

// Each bone's origin and tip on the canvas, four numbers a bone.
function projectChain(view, chain, out) {
  const { sk, axes: a } = view;
  const cx = sk.centre[0];
  const cy = sk.centre[1];
  const cz = sk.centre[2];
  const t = skeletonScratch;
  for (let i = 0; i < sk.count; i += 1) {
    const x = chain.pos[3 * i] - cx;
    const y = chain.pos[3 * i + 1] - cy;
    const z = chain.pos[3 * i + 2] - cz;
    const reach = chain.reach[i];
    quatRotate(t, 0, chain.rot, 4 * i, sk.dir[3 * i] * reach, sk.dir[3 * i + 1] * reach, sk.dir[3 * i + 2] * reach);
    out[4 * i] = a[7] + a[6] * (x * a[0] + y * a[1] + z * a[2]);
    out[4 * i + 1] = a[8] - a[6] * (x * a[3] + y * a[4] + z * a[5]);
    out[4 * i + 2] = a[7] + a[6] * ((x + t[0]) * a[0] + (y + t[1]) * a[1] + (z + t[2]) * a[2]);
    out[4 * i + 3] = a[8] - a[6] * ((x + t[0]) * a[3] + (y + t[1]) * a[4] + (z + t[2]) * a[5]);
  }
}

function strokeBones(context, at, bones, shown) {
  context.beginPath();
  for (let n = 0; n < bones.length; n += 1) {
    const i = bones[n];
    if (shown && !shown[i]) continue;
    context.moveTo(at[4 * i], at[4 * i + 1]);
    context.lineTo(at[4 * i + 2], at[4 * i + 3]);
  }
  context.stroke();
}

function tipDots(context, at, bones, radius, shown) {
  context.beginPath();
  for (let n = 0; n < bones.length; n += 1) {
    const i = bones[n];
    if (shown && !shown[i]) continue;
    context.moveTo(at[4 * i + 2] + radius, at[4 * i + 3]);
    context.arc(at[4 * i + 2], at[4 * i + 3], radius, 0, 2 * Math.PI);
  }
}

// The view as it stands: the bones where their chains have them.
function paintSkeleton(view) {
  const { canvas, context, colours, dpr, groups } = view;
  context.clearRect(0, 0, canvas.width, canvas.height);
  skeletonAxes(view);
  projectChain(view, view.now, view.at);
  context.lineCap = 'round';
  if (view.lit >= 0) {
    // A halo under the lit bone, in the text's colour.
    const i = view.lit;
    context.globalAlpha = 0.3;
    context.strokeStyle = colours.text;
    context.lineWidth = 10 * dpr;
    context.beginPath();
    context.moveTo(view.at[4 * i], view.at[4 * i + 1]);
    context.lineTo(view.at[4 * i + 2], view.at[4 * i + 3]);
    context.stroke();
    context.globalAlpha = 1;
  }
  for (const group of groups) {
    context.strokeStyle = group.colour || colours.other;
    context.fillStyle = context.strokeStyle;
    context.lineWidth = (group.jiggle ? 3.5 : 1.8) * dpr;
    strokeBones(context, view.at, group.bones, null);
    if (group.jiggle) {
      tipDots(context, view.at, group.bones, 3 * dpr, null);
      context.fill();
    }
  }
  if (view.ghost) {
    projectChain(view, view.ghost, view.ghostAt);
    context.strokeStyle = colours.stored;
    context.lineWidth = 2 * dpr;
    context.setLineDash(view.dash);
    for (const group of groups) strokeBones(context, view.ghostAt, group.bones, view.ghostShown);
    context.setLineDash(view.noDash);
    for (const group of groups) {
      if (!group.jiggle) continue;
      tipDots(context, view.ghostAt, group.bones, 3 * dpr, view.ghostShown);
      context.stroke();
    }
  }
  if (view.lit >= 0) {
    const i = view.lit;
    context.strokeStyle = colours.text;
    context.lineWidth = 2 * dpr;
    context.beginPath();
    context.arc(view.at[4 * i], view.at[4 * i + 1], 6 * dpr, 0, 2 * Math.PI);
    context.stroke();
  }
}

// The bone whose shape is nearest the canvas point (x, y), in canvas pixels; -1 for none near
// enough. Jiggle bones, drawn over the others, win where both are as near.
function pickSkeletonBone(view, x, y) {
  const { sk, at, dpr } = view;
  let best = -1;
  let nearest = kSkeletonPick * dpr;
  for (let i = 0; i < sk.count; i += 1) {
    const [ox, oy, tx, ty] = [at[4 * i], at[4 * i + 1], at[4 * i + 2], at[4 * i + 3]];
    const dx = tx - ox;
    const dy = ty - oy;
    const along = dx === 0 && dy === 0 ? 0 : Math.max(0, Math.min(1, ((x - ox) * dx + (y - oy) * dy) / (dx * dx + dy * dy)));
    const far = Math.hypot(x - ox - along * dx, y - oy - along * dy) - (sk.jiggle[i] >= 0 ? 3 * dpr : 0);
    if (far < nearest) {
      nearest = far;
      best = i;
    }
  }
  return best;
}
