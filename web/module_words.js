// The words the module names things by (sproingWords in web_entry.h), kept as the worker
// sends them: outcome words with their statuses, labels and looks in the module's order,
// why a bone was skipped or a file passed over, the degree factors, and the text's blocks,
// roles, axes and keyword lines, from which the lists the page draws and moves by are
// derived. The page restates none of them. No DOM: node's tests load it too.
'use strict';

const moduleWords = {
  outcomes: new Map(),    // word -> { status, label, look }, in the module's order
  skipped: new Map(),     // why -> the console's words for it
  passedOver: new Map(),  // why -> the console's words for it, and the way out
  toRadians: NaN,         // a written angle, in degrees, times this is the stored radians
  toDegrees: NaN,
  blocks: new Map(),      // block keyword -> the kind of bone it makes, in the order written
  kinds: new Map(),       // kind of bone -> { label, colour }, as the skeleton's legend shows them
  amountRoles: [],        // the roles whose values are amounts, never below zero
  axes: [],               // in the module's order
  keywords: [],           // { keyword, blocks, unit, role, axis, values }, in the order written
  // Derived from the keyword lines, each in the module's order of axes:
  tipLimits: [],          // the axes of a tip's limits
  baseLimits: [],         // the axes of a base spring's limits, along which it moves
  tipSprings: [],         // the axes of a flexible tip's springs
  tipTurns: [],           // those of them it turns on: their limits are angles
};

// How a row shows an outcome (the module's looks): a model written, or refused; the third,
// 'quiet', is one with nothing to do (no jiggle bones: nothing is wrong with such a model).
const kDone = 'done';
const kRefused = 'refused';

// The kinds of bone whose blocks hold a tip's limits.
const kTipKinds = ['flexible', 'rigid'];

function blockKind(block) {
  return moduleWords.blocks.get(block) || '';
}

// Whether `bone` (bone_data.js) has the block that makes a bone of `kind`.
function boneHas(bone, kind) {
  return bone.blocks.some((block) => blockKind(block) === kind);
}

// The axes of the keyword lines of `role` that stand in blocks of these kinds, in the
// module's order of axes; only those in whole degrees where `degrees` is true.
function lineAxes(role, kinds, degrees = false) {
  const found = new Set();
  for (const line of moduleWords.keywords) {
    if (line.role !== role || line.values === 0 || (degrees && line.unit !== 'd')) continue;
    if (line.blocks.some((block) => kinds.includes(blockKind(block)))) found.add(line.axis);
  }
  return moduleWords.axes.filter((axis) => found.has(axis));
}

function takeWords(text) {
  // A worker started afresh sends the words again.
  Object.assign(moduleWords, { amountRoles: [], axes: [], keywords: [] });
  for (const record of text.split('\x1e')) {
    const [group, name, value, ...more] = record.split('\x1f');
    if (group === 'outcome') moduleWords.outcomes.set(name, { status: Number(value), label: more[0], look: more[1] });
    else if (group === 'skipped') moduleWords.skipped.set(name, value);
    else if (group === 'passed-over') moduleWords.passedOver.set(name, value);
    else if (group === 'degrees' && name === 'to-radians') moduleWords.toRadians = Number(value);
    else if (group === 'degrees' && name === 'to-degrees') moduleWords.toDegrees = Number(value);
    else if (group === 'block') moduleWords.blocks.set(name, value);
    else if (group === 'kind') moduleWords.kinds.set(name, { label: value, colour: more[0] });
    else if (group === 'role' && value === 'amount') moduleWords.amountRoles.push(name);
    else if (group === 'axis') moduleWords.axes.push(name);
    else if (group === 'keyword') {
      const [unit, role, axis, values] = more;
      moduleWords.keywords.push({ keyword: name, blocks: value.split(' '), unit, role, axis,
        values: Number(values) });
    }
  }
  moduleWords.tipLimits = lineAxes('limit', kTipKinds);
  moduleWords.baseLimits = lineAxes('limit', ['base']);
  moduleWords.tipSprings = lineAxes('stiffness', kTipKinds);
  const angles = lineAxes('limit', kTipKinds, true);
  moduleWords.tipTurns = moduleWords.tipSprings.filter((axis) => angles.includes(axis));
}

if (typeof module !== 'undefined') {
  module.exports = { moduleWords, takeWords, blockKind, boneHas, kDone, kRefused, kTipKinds };
}
