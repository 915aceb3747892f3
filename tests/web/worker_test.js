// The page's worker, run in node with a stand-in module: a file the browser refuses to read
// is the tool's "Cannot read", while a trap, an abort or memory that cannot be had is the
// page's own failure, named as such, after which the next model gets a fresh module; edits
// are applied ahead of the models waiting.
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
  const self = { postMessage: (reply) => replies.push(reply) };
  new Function('self', 'createSproing', source)(self, async () => make(made++));
  const post = (message) => self.onmessage({ data: message });
  const send = async (message) => {
    const before = replies.length;
    self.onmessage({ data: message });
    while (replies.length === before) await new Promise((ok) => setImmediate(ok));
    const reply = replies[replies.length - 1];
    return { status: reply.status, console: new TextDecoder().decode(reply.console) };
  };
  return { send, post, replies, modules: () => made };
}

function module(process, malloc = null) {
  let top = 8;
  return {
    HEAPU8: new Uint8Array(1 << 16),
    _malloc: malloc || ((size) => { const at = top; top += size; return at; }),
    _free() {},
    _sproingProcess: process,
    _sproingText: () => 0,
    _sproingTextLength: () => 0,
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
    sproing._sproingApply = (model, size, modelPath, edits, editsSize, editsPath) => {
      Object.assign(seen, { model: heap(model, size), edits: heap(edits, editsSize),
        names: [name(modelPath), name(editsPath)] });
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
    edits: new TextEncoder().encode('$jigglebone "tail" { }').buffer });
  while (worker.replies.length < 3) await new Promise((ok) => setImmediate(ok));
  assert.deepStrictEqual(worker.replies.map((reply) => [reply.id, Boolean(reply.apply)]),
    [[1, false], [1, true], [2, false]]);
  assert.deepStrictEqual(seen, { model: 'IDST', edits: '$jigglebone "tail" { }',
    names: ['props/a.mdl', 'a_jiggles.qci'] });
  assert.strictEqual(new TextDecoder().decode(worker.replies[1].model), 'IDST changed');
});
