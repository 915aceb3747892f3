// The page's scripts restate none of the module's words: no block keyword, no outcome word,
// and not printf's "%g" rule, which the module applies. The words are written out here from
// the tools' tables of outcomes and of keywords, not read from them.
'use strict';

const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const test = require('node:test');

const kOutcomeWords = ['written', 'not-a-model', 'not-studio', 'old-version', 'no-jiggle-bones', 'cannot-read',
  'out-of-memory', 'damaged', 'cannot-write', 'edits-refused', 'output-is-input'];
const kBlockKeywords = ['is_flexible', 'is_rigid', 'has_base_spring'];

// What each restatement looks like in a line of code: a block keyword anywhere, an outcome
// word as a whole string, the pieces of "%g" that make its exponent.
const kRestated = [
  ['a block keyword', new RegExp(`\\b(${kBlockKeywords.join('|')})\\b`)],
  ['an outcome word', new RegExp(`(['"\`])(${kOutcomeWords.join('|')})\\1`)],
  ['printf\'s "%g"', /\.toExponential\(|\.padStart\(\s*2\b/],
];

// A line without its comment: whole-line comments, and from " // " on.
function code(line) {
  const trimmed = line.trim();
  if (trimmed.startsWith('//') || trimmed.startsWith('*') || trimmed.startsWith('/*')) return '';
  return line.replace(/\s\/\/\s.*$/, '');
}

test('no script of the page restates the module\'s words', () => {
  const web = path.join(__dirname, '..', '..', 'web');
  const found = [];
  const scripts = fs.readdirSync(web).filter((name) => name.endsWith('.js'));
  assert.ok(scripts.length > 10, `the page's scripts: ${scripts}`);
  for (const name of scripts) {
    fs.readFileSync(path.join(web, name), 'utf8').split('\n').forEach((line, i) => {
      for (const [what, pattern] of kRestated) {
        if (pattern.test(code(line))) found.push(`${name}:${i + 1}: ${what}: ${line.trim()}`);
      }
    });
  }
  assert.deepStrictEqual(found, []);
});
