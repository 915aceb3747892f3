// The page's worker: takes models in order, reads each in slices straight into the module's
// memory and hands back what the tool made of it; applies a row's edits to its model and
// reads its skeleton ahead of the models waiting, since someone is at that row; tells which
// names the tools take as models', and how the dump writes a value. Everything about a model
// is decided in the module; this moves bytes and results, and tells a file the browser could
// not read apart from a failure of the page itself.
'use strict';

const kLargestModel = 512 * 1024 * 1024;
const kSlice = 16 * 1024 * 1024;
// After a model this large the module is started afresh, so that the memory it grew to
// is given back rather than held for the rest of the batch.
const kRestartAfter = 64 * 1024 * 1024;
// A status the command line never ends with: the page, not the model, failed.
const kPageFailed = -1;

let modulePromise = null;
// The module's own names for its texts and numbers (sproingWords), read once from it:
// { texts: { console: 0, ... }, numbers: { changed: 1, ... } }, names in camel case.
let kTexts = null;
let kNumbers = null;
// { id, path, why, and either file (with first, its first slice asked for) or bytes and
// size (null bytes: the browser refused to read them) }, in the order sent
const jobs = [];
// { apply, id, path, file, edits (an ArrayBuffer), editsPath }, or { skeleton, path, file,
// glb }: done before any model waiting
const applies = [];
// { places, version, text (UTF-8, an ArrayBuffer) }: first of all, since the caret waits on them
const placing = [];
let working = false;

function module() {
  if (modulePromise === null) modulePromise = createSproing().then((sproing) => learnWords(sproing));
  return modulePromise;
}

// The words are the same in every module: the first one's are kept and sent to the page.
function learnWords(sproing) {
  if (kTexts !== null) return sproing;
  const start = sproing._sproingWords() >>> 0;
  const text = new TextDecoder().decode(sproing.HEAPU8.subarray(start, sproing.HEAPU8.indexOf(0, start)));
  kTexts = {};
  kNumbers = {};
  const camel = (name) => name.replace(/-(\w)/g, (dash, letter) => letter.toUpperCase());
  for (const record of text.split('\x1e')) {
    const [group, name, value] = record.split('\x1f');
    if (group === 'text') kTexts[camel(name)] = Number(value);
    else if (group === 'number') kNumbers[camel(name)] = Number(value);
  }
  self.postMessage({ words: text });
  return sproing;
}

function textBytes(sproing, which) {
  const start = sproing._sproingText(which) >>> 0;
  const length = sproing._sproingTextLength(which) >>> 0;
  return sproing.HEAPU8.slice(start, start + length);
}

function lineBytes(text) {
  return new TextEncoder().encode(text);
}

function outcomeOf(sproing) {
  return new TextDecoder().decode(textBytes(sproing, kTexts.outcome));
}

// Whether the tools would take this name as a model's if it were in lower case only.
function onlyCaseDiffers(sproing, path) {
  const lower = path.toLowerCase();
  return lower !== path && !takenAsModel(sproing, path) && takenAsModel(sproing, lower);
}

function takenAsModel(sproing, path) {
  const at = cString(sproing, path, 0);
  const taken = sproing._sproingModelPath(at) === 1;
  sproing._free(at);
  return taken;
}

// What the page says of a file it did not give the module: the module's own "cannot read"
// comes with it.
const kTooLarge = 'The page reads models up to 512 MiB; this one is larger.';

function pageFailed(path, why) {
  return {
    status: kPageFailed,
    outcome: 'page-failed',
    console: lineBytes(`The page failed on ${path}: ${why}. This is a fault of the page, ` +
                       'not of the model; the command line gives the model\'s own outcome.\n'),
  };
}

// Why the module or the browser gave up, in words: a trap or an abort stops the module,
// memory that cannot be had is named as such.
function describeFailure(error) {
  const message = String((error && error.message) || error);
  if (error instanceof RangeError || /out of memory|OOM|allocation failed|Cannot enlarge/i.test(message)) {
    return `it ran out of memory (${message})`;
  }
  if (typeof WebAssembly !== 'undefined' && error instanceof WebAssembly.RuntimeError) {
    return `its compiled code stopped (${message})`;
  }
  return `${(error && error.name) || 'an error'} (${message})`;
}

// The browser's refusals to read a file (moved, changed, no longer permitted) are
// DOMExceptions; anything else while reading is the page's own failure.
function isReadRefusal(error) {
  return typeof DOMException !== 'undefined' && error instanceof DOMException;
}

function readSlice(file, offset) {
  return file.slice(offset, Math.min(file.size, offset + kSlice)).arrayBuffer();
}

// Copies the file into the module; false when the browser refused to read it.
async function copyIn(sproing, job, at) {
  try {
    for (let offset = 0; offset < job.file.size; offset += kSlice) {
      const part = offset === 0 ? await job.first : await readSlice(job.file, offset);
      sproing.HEAPU8.set(new Uint8Array(part), at + offset);
    }
    return true;
  } catch (error) {
    if (isReadRefusal(error)) return false;
    throw error;
  }
}

// The module's memory for a model; a module grown by earlier models is replaced once
// before the page gives up, since a fresh one may find the room.
async function allocate(size) {
  let sproing = await module();
  let at = sproing._sproingAllocate(size) >>> 0;
  if (at === 0) {
    modulePromise = null;
    sproing = await module();
    at = sproing._sproingAllocate(size) >>> 0;
  }
  if (at === 0) throw new RangeError(`out of memory: ${size} bytes could not be had for the model`);
  return { sproing, at };
}

// `text` as a NUL-ended UTF-8 string in the module's memory; on failure `held` (a file's
// bytes from sproingAllocate) is given back.
function cString(sproing, text, held) {
  const bytes = new TextEncoder().encode(text);
  const at = sproing._malloc(bytes.length + 1) >>> 0;
  if (at === 0) {
    if (held !== 0) sproing._sproingRelease(held);
    throw new RangeError('out of memory: a path could not be passed');
  }
  sproing.HEAPU8.set(bytes, at);
  sproing.HEAPU8[at + bytes.length] = 0;
  return at;
}

// The model read afresh from its file, since the page keeps no model's bytes: a file moved
// or changed since is the tool's "Cannot read" (bytes 0).
async function readAfresh(job) {
  const { file } = job;
  let sproing = await module();
  let bytes = 0;
  if (file.size > 0 && file.size <= kLargestModel) {
    ({ sproing, at: bytes } = await allocate(file.size));
    if (!(await copyIn(sproing, job, bytes))) {
      sproing._sproingRelease(bytes);
      bytes = 0;
    }
  }
  return { sproing, bytes };
}

async function applyJob(job) {
  const { file, path } = job;
  const { sproing, bytes } = await readAfresh(job);
  const edits = new Uint8Array(job.edits);
  const editsAt = sproing._sproingAllocate(Math.max(edits.length, 1)) >>> 0;
  if (editsAt === 0) {
    if (bytes !== 0) sproing._sproingRelease(bytes);
    throw new RangeError('out of memory: the edits could not be passed');
  }
  sproing.HEAPU8.set(edits, editsAt);
  const modelPath = cString(sproing, path, 0);
  const editsPath = cString(sproing, job.editsPath, 0);
  // The module owns both buffers from here.
  const status = sproing._sproingApply(bytes, sizeGiven(file.size), modelPath, editsAt, edits.length,
    editsPath, job.skipMissingBones ? 1 : 0);
  sproing._free(modelPath);
  sproing._free(editsPath);
  const reply = {
    status,
    outcome: outcomeOf(sproing),
    console: textBytes(sproing, kTexts.console),
    bones: textBytes(sproing, kTexts.bones),
    model: textBytes(sproing, kTexts.model),
    refusals: textBytes(sproing, kTexts.refusals),
    warnings: textBytes(sproing, kTexts.warnings),
    skipped: textBytes(sproing, kTexts.skipped),
    changedBones: textBytes(sproing, kTexts.changedBones),
    fileName: textBytes(sproing, kTexts.fileName),
    numbers: numbers(sproing),
  };
  if (file.size > kLargestModel) reply.note = kTooLarge;
  if (file.size > kRestartAfter) modulePromise = null;
  return reply;
}

// The model's skeleton, as records to draw or as the .glb file (`glb`), or why it has none.
async function skeletonJob(job) {
  const { file, path } = job;
  const { sproing, bytes } = await readAfresh(job);
  const at = cString(sproing, path, bytes);
  // The module owns the model's bytes from here.
  const status = job.glb ? sproing._sproingSkeletonFile(bytes, sizeGiven(file.size), at)
    : sproing._sproingDump(bytes, sizeGiven(file.size), at);
  sproing._free(at);
  const reply = {
    status,
    outcome: outcomeOf(sproing),
    console: textBytes(sproing, kTexts.console),
    records: job.glb ? null : textBytes(sproing, kTexts.skeleton),
    message: textBytes(sproing, kTexts.skeletonMessage),
    glb: job.glb ? textBytes(sproing, kTexts.skeletonFile) : null,
    glbName: job.glb ? textBytes(sproing, kTexts.skeletonName) : null,
  };
  if (file.size > kRestartAfter) modulePromise = null;
  return reply;
}

function numbers(sproing) {
  const found = {};
  for (const [name, which] of Object.entries(kNumbers)) found[name] = sproing._sproingNumber(which);
  return found;
}

// A size the module takes as that of a file it was not given: any but 0 reads as
// "cannot read", and the module's size_t is 32 bits.
function sizeGiven(size) {
  return size > 0xffffffff ? 1 : size;
}

async function dumpJob(job) {
  const { file, path } = job;
  const given = job.bytes !== undefined;
  // A file the page never had (its folder entry would not open) is unread, of some size.
  const size = given ? job.size : file ? file.size : 1;
  let sproing = await module();
  let bytes = 0;
  // Unreadable: a null image of a non-empty file is the module's "Cannot read".
  if (size > 0 && size <= kLargestModel && (given ? job.bytes !== null : file)) {
    ({ sproing, at: bytes } = await allocate(size));
    if (given) {
      sproing.HEAPU8.set(new Uint8Array(job.bytes), bytes);
    } else if (!(await copyIn(sproing, job, bytes))) {
      sproing._sproingRelease(bytes);
      bytes = 0;
    }
  }
  const nameAt = cString(sproing, path, bytes);
  const status = sproing._sproingDump(bytes, sizeGiven(size), nameAt);
  sproing._free(nameAt);
  const reply = {
    status,
    outcome: outcomeOf(sproing),
    console: textBytes(sproing, kTexts.console),
    definitions: textBytes(sproing, kTexts.definitions),
    outputName: textBytes(sproing, kTexts.outputName),
    fileName: textBytes(sproing, kTexts.fileName),
    bones: textBytes(sproing, kTexts.bones),
  };
  if (size > kLargestModel) reply.note = kTooLarge;
  else if (job.why) reply.note = job.why;
  // Read after the texts: a name of the wrong case gets the way out on its row. Only a name
  // the tools do not take can differ from one they take by its case alone.
  reply.caseHint = onlyCaseDiffers(sproing, path);
  if (size > kRestartAfter) modulePromise = null;
  return reply;
}

// The places of an edits text, read by the tools' own reader (text_places.h), as bytes.
async function places(message) {
  const sproing = await module();
  const text = new Uint8Array(message.text);
  const at = sproing._malloc(text.length + 1) >>> 0;
  if (at === 0) throw new RangeError('out of memory: the text could not be passed');
  sproing.HEAPU8.set(text, at);
  sproing.HEAPU8[at + text.length] = 0;
  const start = sproing._sproingPlaces(at, text.length) >>> 0;
  const found = sproing.HEAPU8.slice(start, start + (sproing._sproingPlacesLength() >>> 0));
  sproing._free(at);
  return found;
}

// Which of `names` the tools take as models' by name, and which only a case keeps from it.
async function classify(message) {
  const sproing = await module();
  const models = new Uint8Array(message.names.length);
  const caseOnly = new Uint8Array(message.names.length);
  message.names.forEach((name, i) => {
    if (takenAsModel(sproing, name)) models[i] = 1;
    else if (onlyCaseDiffers(sproing, name)) caseOnly[i] = 1;
  });
  self.postMessage({ classify: message.classify, models, caseOnly }, [models.buffer, caseOnly.buffer]);
}

// The texts the module writes for values stored as they are, in order.
async function formatted(message) {
  const sproing = await module();
  const texts = Array.from(message.values, (value) => {
    const start = sproing._sproingFormatValue(value) >>> 0;
    return String.fromCharCode(...sproing.HEAPU8.subarray(start, sproing.HEAPU8.indexOf(0, start)));
  });
  self.postMessage({ format: message.format, texts });
}

async function work() {
  working = true;
  while (placing.length > 0 || applies.length > 0 || jobs.length > 0) {
    if (placing.length > 0) {
      const message = placing.shift();
      try {
        const found = await places(message);
        self.postMessage({ places: message.places, version: message.version, records: found }, [found.buffer]);
      } catch (error) {
        modulePromise = null;
        self.postMessage({ places: message.places, version: message.version, failed: describeFailure(error) });
      }
      continue;
    }
    const job = applies.length > 0 ? applies.shift() : jobs.shift();
    let reply;
    try {
      reply = await (job.apply ? applyJob(job) : job.skeleton !== undefined ? skeletonJob(job) : dumpJob(job));
    } catch (error) {
      // A module that trapped or aborted is in no state to go on: the next model gets a
      // new one, and the batch goes on.
      modulePromise = null;
      reply = pageFailed(job.path, describeFailure(error));
    }
    reply.id = job.id;
    if (job.apply) reply.apply = true;
    if (job.skeleton !== undefined) reply.skeleton = job.skeleton;
    const transfer = [];
    for (const key of ['console', 'definitions', 'outputName', 'fileName', 'bones', 'model', 'refusals', 'warnings',
      'skipped', 'changedBones', 'records', 'message', 'glb', 'glbName']) {
      if (reply[key]) transfer.push(reply[key].buffer);
    }
    self.postMessage(reply, transfer);
  }
  working = false;
}

// The words go to the page before anything else.
module().catch(() => { modulePromise = null; });

self.onmessage = (event) => {
  const message = event.data;
  if (message.cancel) {
    jobs.length = 0;
    return;
  }
  if (message.classify !== undefined) {
    classify(message).catch((error) => {
      modulePromise = null;
      self.postMessage({ classify: message.classify, failed: describeFailure(error) });
    });
    return;
  }
  if (message.format !== undefined) {
    formatted(message).catch((error) => {
      modulePromise = null;
      self.postMessage({ format: message.format, failed: describeFailure(error) });
    });
    return;
  }
  if (message.places !== undefined) {
    placing.push(message);
    if (!working) work();
    return;
  }
  const job = message;
  // The first slice of a file is asked for at once, so the browser reads it while earlier
  // models are worked on; a refusal is met when the job's turn comes.
  if (job.file && job.file.size > 0 && job.file.size <= kLargestModel) {
    job.first = readSlice(job.file, 0);
    job.first.catch(() => {});
  }
  (job.apply || job.skeleton !== undefined ? applies : jobs).push(job);
  if (!working) work();
};
