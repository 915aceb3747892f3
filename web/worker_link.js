// The page's one worker, started from the text of its script (a page opened from disk may
// not start one by URL): what is sent to it, where its replies go, and what becomes of the
// work it held if it stops.
'use strict';

let worker = null;
const classifying = new Map();  // id -> { ok, fail }, names waiting to be told apart
let nextClassify = 0;
const formatting = new Map();   // id -> { ok, fail }, values waiting for their texts
let nextFormat = 0;
const skeletonAsks = new Map(); // id -> { ok, fail }, models' skeletons asked for
let nextSkeleton = 0;

function startWorker() {
  worker = new Worker(URL.createObjectURL(
    new Blob([`(${sproingWorkerMain.toString()})()`], { type: 'text/javascript' })));
  worker.onmessage = (event) => routeReply(event.data);
  worker.onerror = (event) => {
    event.preventDefault();
    workerStopped(event.message || 'no reason given');
  };
  worker.onmessageerror = () => workerStopped('a reply could not be read');
}

function routeReply(reply) {
  if (reply.classify !== undefined) {
    const waiting = classifying.get(reply.classify);
    classifying.delete(reply.classify);
    if (!waiting) return;
    if (reply.failed) waiting.fail(new Error(reply.failed));
    else waiting.ok(reply);
  } else if (reply.format !== undefined) {
    const waiting = formatting.get(reply.format);
    formatting.delete(reply.format);
    if (!waiting) return;
    if (reply.failed) waiting.fail(new Error(reply.failed));
    else waiting.ok(reply.texts);
  } else if (reply.skeleton !== undefined) {
    const waiting = skeletonAsks.get(reply.skeleton);
    skeletonAsks.delete(reply.skeleton);
    if (waiting) waiting.ok(reply);
  } else if (reply.words !== undefined) {
    takeWords(reply.words);
    updateStatus();
  } else if (reply.places !== undefined) {
    takePlacesReply(reply);
  } else if (reply.apply) {
    takeApplyReply(reply);
  } else {
    takeReply(reply);
  }
}

// Which of `names` the tools take as models' by name (models[i] 1), and which only their
// case keeps from it (caseOnly[i] 1): the module decides, as on the command line.
function classifyNames(names) {
  if (names.length === 0) return Promise.resolve({ models: new Uint8Array(0), caseOnly: new Uint8Array(0) });
  const id = nextClassify;
  nextClassify += 1;
  return new Promise((ok, fail) => {
    classifying.set(id, { ok, fail });
    worker.postMessage({ classify: id, names });
  });
}

// The texts the module writes for `values` stored as they are (the float32 nearest each, as
// the dump shows it), in order.
function formatValues(values) {
  const id = nextFormat;
  nextFormat += 1;
  return new Promise((ok, fail) => {
    formatting.set(id, { ok, fail });
    worker.postMessage({ format: id, values: Float64Array.from(values) });
  });
}

// The skeleton of the model in `file`, read afresh by the module: the worker's reply, with
// the records to draw, or with the .glb file's bytes where `glb`, or why there are none.
function askSkeleton(file, path, glb) {
  const id = nextSkeleton;
  nextSkeleton += 1;
  return new Promise((ok, fail) => {
    skeletonAsks.set(id, { ok, fail });
    worker.postMessage({ skeleton: id, path, file, glb });
  });
}

// The worker itself stopped: what it held fails as the page's own failure, and the rest
// goes to a new one.
function workerStopped(why) {
  worker.terminate();
  modelsLost(why);
  editsLost(why);
  for (const waiting of [...classifying.values(), ...formatting.values(), ...skeletonAsks.values()]) {
    waiting.fail(new Error(`the page's worker stopped (${why})`));
  }
  classifying.clear();
  formatting.clear();
  skeletonAsks.clear();
  startWorker();
  handMore();
  scheduleRender();
}
