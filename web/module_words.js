// The words the module names things by (sproingWords in web_entry.h), kept as the worker
// sends them: outcome words with their statuses and labels in the module's order, why a
// bone was skipped, and the degree factors. The page restates none of them. No DOM: node's
// tests load it too.
'use strict';

const moduleWords = {
  outcomes: new Map(),  // word -> { status, label }, in the module's order
  skipped: new Map(),   // why -> the console's words for it
  toRadians: NaN,       // a written angle, in degrees, times this is the stored radians
  toDegrees: NaN,
};

function takeWords(text) {
  for (const record of text.split('\x1e')) {
    const [group, name, value, label] = record.split('\x1f');
    if (group === 'outcome') moduleWords.outcomes.set(name, { status: Number(value), label });
    else if (group === 'skipped') moduleWords.skipped.set(name, value);
    else if (group === 'degrees' && name === 'to-radians') moduleWords.toRadians = Number(value);
    else if (group === 'degrees' && name === 'to-degrees') moduleWords.toDegrees = Number(value);
  }
}

if (typeof module !== 'undefined') module.exports = { moduleWords, takeWords };
