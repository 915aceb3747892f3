// The module's bone data read as bones: records ended by \x1e, fields parted by \x1f; the
// name, the blocks present, the facts the text does not show ("length-fixed" or
// "length-flexes" for a flexible tip), then one field per keyword line the bone's text shows, each
// "<block> <unit> <role> <axis> <keyword> <value> [<value>]". Pictures and motion take
// values by role and axis; keywords are labels only. No DOM: node's tests load it too.
'use strict';

function parseBone(record) {
  const [name, blocks, facts, ...parts] = record.split('\x1f');
  const fields = parts.map((part) => {
    const [block, unit, role, axis, keyword, ...values] = part.split(' ');
    return { block, unit, role, axis, keyword, values };
  });
  return { name, blocks: blocks ? blocks.split(' ') : [], facts: facts ? facts.split(' ') : [], fields, record };
}

// `summary` is the bone data as text (a string); every bone in table order.
function parseBones(summary) {
  const records = summary.split('\x1e');
  records.pop();
  return records.map(parseBone);
}

// The values of the bone's line of this role on this axis (any axis when null), or null.
function boneValues(bone, role, axis) {
  const field = bone.fields.find((f) => f.role === role && (axis === null || f.axis === axis));
  return field ? field.values : null;
}

function boneField(bone, role, axis) {
  return bone.fields.find((f) => f.role === role && f.axis === axis) || null;
}

if (typeof module !== 'undefined') module.exports = { parseBone, parseBones, boneValues, boneField };
