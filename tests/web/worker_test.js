// The page's worker, run in node with a stand-in module: a file the browser refuses to read
// is the tool's "Cannot read", while a trap, an abort or memory that cannot be had is the
// page's own failure, named as such, after which the next model gets a fresh module; edits
// are applied ahead of the models waiting; names are told apart by the module.
'use strict';

const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const test = require('node:test');

const source = fs.readFileSync(path.join(__dirname, '..', '..', 'web', 'worker.js'), 'utf8');

// A worker around modules made by `make`, which is told how many were made before.
function startWorker(make) {
  const replies = [];
  let made = 0;
  const self = { postMessage: (reply) => { if (reply.words === undefined) replies.push(reply); } };
  new Function('self', 'createSproing', source)(self, async () => make(made++));
  const post = (message) => self.onmessage({ data: message });
  const send = async (message) => {
    const before = replies.length;
    self.onmessage({ data: message });
    while (replies.length === before) await new Promise((ok) => setImmediate(ok));
    const reply = replies[replies.length - 1];
    return { ...reply, console: new TextDecoder().decode(reply.console) };
  };
  return { send, post, replies, modules: () => made };
}

// The module's names of its texts and numbers, as web_entry.h gives them.
const kWords = ['console', 'definitions', 'output-name', 'bones', 'model', 'refusals', 'warnings', 'skipped',
  'changed-bones', 'outcome', 'file-name'].map((name, i) => `text\x1f${name}\x1f${i}\x1e`).join('') +
  'number\x1fstatus\x1f0\x1enumber\x1fchanged\x1f1\x1e';

// A module whose texts are `texts` (which -> string) after each call; a name is a model's
// when it holds ".mdl".
function module(process, malloc = null, texts = {}) {
  let top = 8;
  const heap = new Uint8Array(1 << 16);
  const at = (which) => 0xc000 + which * 256;
  for (const [which, text] of Object.entries(texts)) heap.set(new TextEncoder().encode(text), at(which));
  heap.set(new TextEncoder().encode(kWords), 0xf000);
  const name = (where) => new TextDecoder().decode(heap.subarray(where, heap.indexOf(0, where)));
  return {
    HEAPU8: heap,
    _malloc: (size) => { const where = top; top += size; return where; },
    _free() {},
    _sproingAllocate: malloc || ((size) => { const where = top; top += size; return where; }),
    _sproingRelease() {},
    _sproingDump: process,
    _sproingModelPath: (path) => (name(path).includes('.mdl') ? 1 : 0),
    _sproingText: (which) => at(which),
    _sproingTextLength: (which) => (texts[which] || '').length,
    _sproingNumber: () => 0,
    _sproingWords: () => 0xf000,
  };
}

const model = new Blob(['IDST']);
const refused = {
  size: 4,
  slice: () => ({ arrayBuffer: () => Promise.reject(new DOMException('moved', 'NotReadableError')) }),
};
const written = () => 0;
// What, the file, the first modules' process and malloc, how many modules fail so, then the
// status and console text expected, and the modules made by the end of two models.
const cases = [
  ['a trap', model, () => { throw new WebAssembly.RuntimeError('memory access out of bounds'); }, null, 1,
    -1, 'The page failed on a.mdl: its compiled code stopped (memory access out of bounds). ', 2],
  ['an abort', model, () => { throw new WebAssembly.RuntimeError('Aborted(OOM)'); }, null, 1,
    -1, 'The page failed on a.mdl: it ran out of memory (Aborted(OOM)). ', 2],
  ['no memory for the model, even in a fresh module', model, written, (size) => (size === 4 ? 0 : 8), 2,
    -1, 'The page failed on a.mdl: it ran out of memory (out of memory: 4 bytes could not be had', 3],
  ['a file the browser will not read', refused, (bytes) => (bytes === 0 ? 6 : 0), null, 1, 6, '', 1],
];

for (const [what, file, process, malloc, failing, status, start, modules] of cases) {
  test(what, async () => {
    const worker = startWorker((made) => (made < failing ? module(process, malloc) : module(written)));
    const reply = await worker.send({ id: 1, file, path: 'a.mdl' });
    assert.strictEqual(reply.status, status);
    assert.ok(reply.console.startsWith(start), reply.console);
    assert.strictEqual(status !== -1 || reply.console.includes('not of the model'), true);
    // The batch goes on, with a fresh module where the last one failed.
    assert.strictEqual((await worker.send({ id: 2, file: model, path: 'b.mdl' })).status, 0);
    assert.strictEqual(worker.modules(), modules);
  });
}

test('edits are applied ahead of the models waiting, from the file and with both names', async () => {
  const seen = {};
  const worker = startWorker(() => {
    const sproing = module(written);
    const heap = (at, length) => new TextDecoder().decode(sproing.HEAPU8.subarray(at, at + length));
    const name = (at) => heap(at, sproing.HEAPU8.indexOf(0, at) - at);
    sproing._sproingApply = (model, size, modelPath, edits, editsSize, editsPath, skip) => {
      Object.assign(seen, { model: heap(model, size), edits: heap(edits, editsSize),
        names: [name(modelPath), name(editsPath)], skip });
      sproing.HEAPU8.set(new TextEncoder().encode('IDST changed'), 0x8000);
      return 0;
    };
    sproing._sproingText = (which) => (which === 4 ? 0x8000 : 0);
    sproing._sproingTextLength = (which) => (which === 4 ? 12 : 0);
    return sproing;
  });
  worker.post({ id: 1, file: model, path: 'a.mdl' });
  worker.post({ id: 2, file: model, path: 'b.mdl' });
  worker.post({ apply: true, id: 1, file: model, path: 'props/a.mdl', editsPath: 'a_jiggles.qci',
    edits: new TextEncoder().encode('$jigglebone "tail" { }').buffer, skipMissingBones: true });
  while (worker.replies.length < 3) await new Promise((ok) => setImmediate(ok));
  assert.deepStrictEqual(worker.replies.map((reply) => [reply.id, Boolean(reply.apply)]),
    [[1, false], [1, true], [2, false]]);
  assert.deepStrictEqual(seen, { model: 'IDST', edits: '$jigglebone "tail" { }',
    names: ['props/a.mdl', 'a_jiggles.qci'], skip: 1 });
  assert.strictEqual(new TextDecoder().decode(worker.replies[1].model), 'IDST changed');
});

test('names: models by the module, a name of another case marked so, on its row too', async () => {
  const texts = { 9: 'not-a-model' };
  const worker = startWorker(() => module((bytes) => (bytes === 0 ? 6 : 2), null, texts));
  worker.post({ classify: 7, names: ['a.mdl', 'B.MDL', 'notes.txt', 'NOTES.TXT'] });
  while (worker.replies.length < 1) await new Promise((ok) => setImmediate(ok));
  const { classify, models, caseOnly } = worker.replies[0];
  assert.deepStrictEqual([classify, [...models], [...caseOnly]], [7, [1, 0, 0, 0], [0, 1, 0, 0]]);
  const rows = [['Hero.MDL', true], ['hero.txt', false]];
  for (const [path, hint] of rows) {
    const reply = await worker.send({ id: 1, file: model, path });
    assert.deepStrictEqual([reply.outcome, reply.caseHint], ['not-a-model', hint], path);
  }
});

test('a model over 512 MiB is not read: the module is told so, and the row why', async () => {
  let given = null;
  const worker = startWorker(() => module((bytes, size) => { given = [bytes, size]; return 6; }));
  const huge = { size: 512 * 1024 * 1024 + 1, slice: () => assert.fail('read') };
  const reply = await worker.send({ id: 1, file: huge, path: 'huge.mdl' });
  assert.deepStrictEqual(given, [0, huge.size]);
  assert.match(reply.note, /512 MiB/);
});
