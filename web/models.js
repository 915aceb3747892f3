// Models and their outcomes: the models taken wait in a queue, are handed to the worker a
// few at a time, and each reply becomes a result, counted by the outcome the module names.
// Only the module's texts are kept, and the File of a written model, for its edits.
'use strict';

// Models handed to the worker ahead of the one it works on: reading a file takes the browser
// longer than the module's work on it, so many are read at once; a cap on their bytes
// keeps the memory they hold small.
const kAhead = 64;
const kAheadBytes = 64 * 1024 * 1024;
// Models up to this size are read here and their bytes handed over, which costs the page
// half what handing over the file does; larger ones go as files, read by the worker in slices.
const kReadHere = 16 * 1024 * 1024;
const kPageFailed = -1;

// The page's own outcome, which the command line never has: the page itself failed.
const kPageFailedWord = 'page-failed';

// The outcomes in the order counted: the module's, then the page's own; a word the page was
// not told of is counted as a refusal under its own words.
function outcomeKinds() {
  return [...moduleWords.outcomes.keys(), kPageFailedWord];
}

// An outcome's label and look (module_words.js: kDone, kQuiet or kRefused), as the module
// gives them; the page's own failure is a refusal.
function outcomeOf(kind) {
  const known = moduleWords.outcomes.get(kind);
  if (known) return { label: known.label, look: known.look };
  return { label: kind === kPageFailedWord ? 'page failed' : kind.replace(/-/g, ' '), look: kRefused };
}

// Whether a run of this outcome wrote its output: a dump its text, an apply its model.
function wasWritten(kind) {
  return outcomeOf(kind).look === kDone;
}

// { path, status, kind, console, note, caseHint, outputName, fileName (the model's, as the
//   module names it), definitions, bones, file, edit, siblings, cards, index, open }
const results = [];
const counts = new Map();   // kind -> models
const outputNames = new Map();
let sharedNames = 0;        // written models whose output name another written model gives too
let openedFirst = false;

const queue = [];           // { file, path, why } not yet handed over
let queueStart = 0;
const handed = new Map();   // id -> { path, size, file }, at the worker
let handedBytes = 0;
let nextId = 0;
let done = 0;
let total = 0;
let batchStarted = 0;
let batchSeconds = null;
let handing = Promise.resolve();  // hands models over in the order taken, as their bytes come
let handLater = 0;

function running() {
  return done < total;
}

// Starting a read costs the page a little: a few at a time, the rest in later tasks, so that
// the page never stops for long.
function handMore() {
  let started = 0;
  while (queueStart < queue.length &&
         (handed.size === 0 || (handed.size < kAhead && handedBytes < kAheadBytes))) {
    if (started === 8) {
      if (handLater === 0) handLater = setTimeout(() => { handLater = 0; handMore(); }, 0);
      break;
    }
    started += 1;
    const { file, path, why } = queue[queueStart];
    queue[queueStart] = undefined;
    queueStart += 1;
    const id = nextId;
    nextId += 1;
    const size = file ? file.size : 0;
    handed.set(id, { path, size, file });
    handedBytes += size;
    const message = { id, path, why, file };
    const read = file && file.size > 0 && file.size <= kReadHere ? file.arrayBuffer() : null;
    if (read) read.catch(() => {});  // met below, in its turn
    handing = handing.then(async () => {
      if (read) {
        try {
          message.bytes = await read;
          message.size = file.size;
          message.file = undefined;
        } catch (error) {
          // Refused by the browser: the tool's "cannot read". Anything else: the worker
          // tries the file itself.
          if (error instanceof DOMException) {
            message.bytes = null;
            message.size = file.size;
            message.file = undefined;
          }
        }
      }
      if (handed.has(id)) worker.postMessage(message, message.bytes ? [message.bytes] : []);
    });
  }
  if (queueStart === queue.length) {
    queue.length = 0;
    queueStart = 0;
  }
}

function enqueue(entries) {
  if (entries.length === 0) return;
  if (!running()) {
    batchStarted = performance.now();
    batchSeconds = null;
  }
  for (const entry of entries) queue.push(entry);
  total += entries.length;
  handMore();
  scheduleRender();
}

function addResult(path, reply, file) {
  const kind = reply.outcome || kPageFailedWord;
  const result = {
    path, status: reply.status, kind, console: decodePieces(reply.console, 10),
    note: reply.note || '', caseHint: Boolean(reply.caseHint),
    outputName: '', fileName: '', definitions: null, bones: null, file: null, edit: null, siblings: [], cards: null,
    index: results.length, open: false,
  };
  if (wasWritten(kind)) {
    result.file = file;
    result.fileName = decodeName(reply.fileName);
    result.outputName = decodeName(reply.outputName);
    result.definitions = reply.definitions;
    result.bones = reply.bones;
    const seen = (outputNames.get(result.outputName) || 0) + 1;
    outputNames.set(result.outputName, seen);
    if (seen === 2) sharedNames += 2;
    if (seen > 2) sharedNames += 1;
  }
  counts.set(kind, (counts.get(kind) || 0) + 1);
  results.push(result);
  rowAdded(result);
  done += 1;
  if (!running()) batchSeconds = (performance.now() - batchStarted) / 1000;
}

function takeReply(reply) {
  const entry = handed.get(reply.id);
  if (entry === undefined) return;  // from a cancelled batch
  handed.delete(reply.id);
  handedBytes -= entry.size;
  addResult(entry.path, reply, entry.file);
  handMore();
  scheduleRender();
}

// The worker stopped: the models it held fail as the page's own failures.
function modelsLost(why) {
  const lost = [...handed.values()];
  handed.clear();
  handedBytes = 0;
  for (const { path } of lost) {
    const line = `The page failed on ${path}: its worker stopped (${why}). This is a fault of ` +
                 'the page, not of the model; the command line gives the model\'s own outcome.\n';
    addResult(path, { status: kPageFailed, outcome: kPageFailedWord, console: encoder.encode(line) }, null);
  }
}

// Stops the batch; returns the paths of the models not read, in the order taken.
function cancel() {
  const unread = [...handed.values()].map((entry) => entry.path);
  for (let i = queueStart; i < queue.length; i += 1) unread.push(queue[i].path);
  queue.length = 0;
  queueStart = 0;
  handed.clear();
  handedBytes = 0;
  worker.postMessage({ cancel: true });
  total -= unread.length;
  batchSeconds = null;
  return unread;
}

function forgetModels() {
  results.length = 0;
  counts.clear();
  outputNames.clear();
  sharedNames = 0;
  openedFirst = false;
  done = total = 0;
  batchSeconds = null;
}
