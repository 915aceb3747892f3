// A model's skeleton as the module gives it (its text `skeleton`): each bone's name, parent,
// kind, place and turn relative to its parent, shape and number among the jiggle bones, read
// into flat arrays, and each bone's rest frame in the model, chained from the roots down.
// No DOM: node's tests load it too.
'use strict';

// Quaternions are x y z w at an offset of a Float64Array. out = a ⊗ b; out may be a or b.
function quatMultiply(out, o, a, ai, b, bi) {
  const ax = a[ai], ay = a[ai + 1], az = a[ai + 2], aw = a[ai + 3];
  const bx = b[bi], by = b[bi + 1], bz = b[bi + 2], bw = b[bi + 3];
  out[o] = aw * bx + ax * bw + ay * bz - az * by;
  out[o + 1] = aw * by - ax * bz + ay * bw + az * bx;
  out[o + 2] = aw * bz + ax * by - ay * bx + az * bw;
  out[o + 3] = aw * bw - ax * bx - ay * by - az * bz;
}

// (x, y, z) turned by the unit quaternion q[qi..], or by its inverse where `inverse`, into
// out[o..o+2].
function quatRotate(out, o, q, qi, x, y, z, inverse = false) {
  const sign = inverse ? -1 : 1;
  const qx = sign * q[qi], qy = sign * q[qi + 1], qz = sign * q[qi + 2], qw = q[qi + 3];
  const tx = 2 * (qy * z - qz * y), ty = 2 * (qz * x - qx * z), tz = 2 * (qx * y - qy * x);
  out[o] = x + qw * tx + (qy * tz - qz * ty);
  out[o + 1] = y + qw * ty + (qz * tx - qx * tz);
  out[o + 2] = z + qw * tz + (qx * ty - qy * tx);
}

// The records as a skeleton: { count, names, kinds, parent, jiggle, localPos, localRot, dir,
// length, restRot, restPos, centre, wide, high }, or null where they cannot be read as the
// module promises them (a parent that does not come before its child, a number missing).
function parseSkeleton(bytes) {
  const ascii = new TextDecoder();
  const bones = records(bytes);
  const count = bones.length;
  const sk = {
    count, names: [], kinds: [], parent: new Int32Array(count), jiggle: new Int32Array(count),
    localPos: new Float64Array(3 * count), localRot: new Float64Array(4 * count), dir: new Float64Array(3 * count),
    length: new Float64Array(count), restRot: new Float64Array(4 * count), restPos: new Float64Array(3 * count),
    centre: [0, 0, 0], wide: 1e-6, high: 1e-6,
  };
  const numbers = (field, into, at, size) => {
    const parts = ascii.decode(field).split(' ').map(Number);
    if (parts.length !== size || !parts.every(Number.isFinite)) return false;
    into.set(parts, at);
    return true;
  };
  for (let i = 0; i < count; i += 1) {
    const fields = bones[i];
    if (fields.length !== 8) return null;
    sk.names.push(decodeName(fields[0]));
    sk.parent[i] = Number(ascii.decode(fields[1]));
    sk.kinds.push(ascii.decode(fields[2]));
    sk.jiggle[i] = Number(ascii.decode(fields[7]));
    const length = Number(ascii.decode(fields[6]));
    if (!(sk.parent[i] >= -1 && sk.parent[i] < i) || !(length > 0) || !Number.isFinite(length) ||
        !numbers(fields[3], sk.localPos, 3 * i, 3) || !numbers(fields[4], sk.localRot, 4 * i, 4) ||
        !numbers(fields[5], sk.dir, 3 * i, 3)) return null;
    sk.length[i] = length;
  }
  chainRest(sk);
  return sk;
}

// Each bone's rest frame in the model: its parent's turned by its own, its origin its
// parent's plus its place turned into the parent's frame; and, for the view, the middle of
// their box, how far the bones reach from its upright axis and from its middle's height.
function chainRest(sk) {
  const { parent, localPos, localRot, restRot, restPos } = sk;
  const low = [Infinity, Infinity, Infinity];
  const high = [-Infinity, -Infinity, -Infinity];
  const tip = new Float64Array(3);
  const ends = [];
  for (let i = 0; i < sk.count; i += 1) {
    const p = parent[i];
    if (p < 0) {
      restRot.set(localRot.subarray(4 * i, 4 * i + 4), 4 * i);
      restPos.set(localPos.subarray(3 * i, 3 * i + 3), 3 * i);
    } else {
      quatMultiply(restRot, 4 * i, restRot, 4 * p, localRot, 4 * i);
      quatRotate(restPos, 3 * i, restRot, 4 * p, localPos[3 * i], localPos[3 * i + 1], localPos[3 * i + 2]);
      for (let k = 0; k < 3; k += 1) restPos[3 * i + k] += restPos[3 * p + k];
    }
    const l = sk.length[i];
    quatRotate(tip, 0, restRot, 4 * i, sk.dir[3 * i] * l, sk.dir[3 * i + 1] * l, sk.dir[3 * i + 2] * l);
    const origin = [...restPos.subarray(3 * i, 3 * i + 3)];
    ends.push(origin, origin.map((value, k) => value + tip[k]));
  }
  // The middle of the bones' origins, so that a long shape does not move the body off it;
  // the reach and height take in the shapes' tips too, so that all of it is in view.
  for (let n = 0; n < ends.length; n += 2) {
    for (let k = 0; k < 3; k += 1) {
      low[k] = Math.min(low[k], ends[n][k]);
      high[k] = Math.max(high[k], ends[n][k]);
    }
  }
  if (sk.count === 0) return;
  sk.centre = low.map((value, k) => (value + high[k]) / 2);
  const [cx, cy, cz] = sk.centre;
  for (const end of ends) {
    sk.wide = Math.max(sk.wide, Math.hypot(end[0] - cx, end[1] - cy));
    sk.high = Math.max(sk.high, Math.abs(end[2] - cz));
  }
}

function skeletonBoneName(sk, i) {
  return sk.names[i] || `bone ${i}`;
}

// A coordinate to one decimal, never "-0.0".
function oneDecimal(value) {
  return (Math.round(value * 10) / 10 + 0).toFixed(1);
}

// What the view's line says of bone i: its name, kind, parent and place in the model.
function skeletonBoneLine(sk, i) {
  const kind = moduleWords.kinds.get(sk.kinds[i]);
  const rule = sk.jiggle[i] < 0 ? ', no jiggle rule' : '';
  const parent = sk.parent[i] < 0 ? 'a root' : `child of ${skeletonBoneName(sk, sk.parent[i])}`;
  const at = [0, 1, 2].map((k) => oneDecimal(sk.restPos[3 * i + k])).join(', ');
  return `${skeletonBoneName(sk, i)}: ${kind ? kind.label : sk.kinds[i]}${rule}, ${parent}, at (${at})`;
}

if (typeof module !== 'undefined') {
  module.exports = { quatMultiply, quatRotate, parseSkeleton, skeletonBoneName, skeletonBoneLine };
}
