// The module's words (web_entry.h) as node's tests give them to the page's scripts: the
// blocks, roles, axes and keyword lines written out from the tools' keyword table, and the
// degree factors.
'use strict';

const blocks = [['is_flexible', 'flexible'], ['is_rigid', 'rigid'], ['has_base_spring', 'base']];
const roles = [['stiffness', 'amount'], ['damping', 'amount'], ['length', 'amount'], ['mass', 'amount'],
  ['limit', ''], ['friction', ''], ['bounce', '']];
const axes = ['yaw', 'pitch', 'along', 'angle', 'tip', 'base', 'left', 'up', 'forward'];
const tips = 'is_flexible is_rigid';
// keyword, blocks, unit, role, axis, values
const keywords = [
  ['yaw_stiffness', 'is_flexible', 's', 'stiffness', 'yaw', 1],
  ['yaw_damping', 'is_flexible', 's', 'damping', 'yaw', 1],
  ['pitch_stiffness', 'is_flexible', 's', 'stiffness', 'pitch', 1],
  ['pitch_damping', 'is_flexible', 's', 'damping', 'pitch', 1],
  ['along_stiffness', 'is_flexible', 's', 'stiffness', 'along', 1],
  ['along_damping', 'is_flexible', 's', 'damping', 'along', 1],
  ['allow_length_flex', 'is_flexible', 's', 'length', 'along', 0],
  ['length', tips, 's', 'length', 'tip', 1],
  ['tip_mass', tips, 's', 'mass', 'tip', 1],
  ['yaw_constraint', tips, 'd', 'limit', 'yaw', 2],
  ['yaw_friction', tips, 's', 'friction', 'yaw', 1],
  ['angle_constraint', tips, 'd', 'limit', 'angle', 1],
  ['pitch_constraint', tips, 'd', 'limit', 'pitch', 2],
  ['pitch_friction', tips, 's', 'friction', 'pitch', 1],
  ['pitch_bounce', tips, 's', 'bounce', 'pitch', 1],
  ['base_mass', 'has_base_spring', 's', 'mass', 'base', 1],
  ['stiffness', 'has_base_spring', 's', 'stiffness', 'base', 1],
  ['damping', 'has_base_spring', 's', 'damping', 'base', 1],
  ['left_constraint', 'has_base_spring', 's', 'limit', 'left', 2],
  ['left_friction', 'has_base_spring', 's', 'friction', 'left', 1],
  ['up_constraint', 'has_base_spring', 's', 'limit', 'up', 2],
  ['up_friction', 'has_base_spring', 's', 'friction', 'up', 1],
  ['forward_constraint', 'has_base_spring', 's', 'limit', 'forward', 2],
  ['forward_friction', 'has_base_spring', 's', 'friction', 'forward', 1],
];

const record = (...fields) => `${fields.join('\x1f')}\x1e`;
module.exports = [
  record('degrees', 'to-radians', '0.017453292519943295'),
  record('degrees', 'to-degrees', '57.295779513082323'),
  ...blocks.map(([keyword, kind]) => record('block', keyword, kind)),
  ...roles.map(([role, amount]) => record('role', role, amount)),
  ...axes.map((axis) => record('axis', axis, '')),
  ...keywords.map((line) => record('keyword', ...line)),
].join('');
