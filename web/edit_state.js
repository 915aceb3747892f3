// A written row's edits and where they are applied: to its own model and to any others it
// is used on, each a target read afresh from its file by the module's own apply in the
// worker. One request per target at a time; a reply for a text since changed is dropped,
// and the latest text sent when it comes, so typing never piles up work.
'use strict';

// Longer texts are not put in a textarea: a browser lays the whole text out again at each
// key, which took 0.1 s for 100 KiB and 0.4 s for 800 KiB on a slow machine.
const kEditableText = 256 * 1024;
// Each apply reads the whole model again (0.35 s for 32 MiB on that machine); larger
// models are applied on request only.
const kApplyAsYouType = 32 * 1024 * 1024;
const kTypingPause = 300;  // ms without a key before the edits are applied

const applying = new Map();  // apply id -> target, while the worker has it
let nextApplyId = 0;

// The row's text as it will be saved and applied: the model's own bytes while it is not
// edited, so that it applies as the model itself.
// Null while the module's places of the text, which names shown as Windows-1252 need,
// are still to come (whenPlaced).
function currentBytes(result) {
  const edit = result.edit;
  if (!edit || edit.text === edit.original) return result.definitions;
  if (edit.names === null) edit.names = storedNames(result.bones);
  // Without places (the page failed to read them), names go as typed.
  if (edit.names.size === 0 || edit.placesFailed) return encoder.encode(edit.text);
  return placed(edit) ? encodeEdits(edit.utf8, edit.places, edit.names) : null;
}

// The bytes of the text as it stands, once they can be had.
function savedText(result) {
  const bytes = currentBytes(result);
  if (bytes !== null) return Promise.resolve(bytes);
  return new Promise((done) => whenPlaced(result.edit, () => done(currentBytes(result))));
}

// The text's places, from the module, in the same way as its applies: one request at a time,
// a reply for a text since changed asking again. { version, bones, blocks, values, unclosed }
const placing = new Map();  // places id -> edit
let nextPlacesId = 0;

function placed(edit) {
  return edit.places !== null && edit.places.version === edit.version;
}

function requestPlaces(edit) {
  if (edit.placesInFlight || placed(edit)) return;
  const id = nextPlacesId;
  nextPlacesId += 1;
  placing.set(id, edit);
  edit.placesInFlight = true;
  const bytes = encoder.encode(edit.text);
  worker.postMessage({ places: id, version: edit.version, text: bytes.buffer });
  edit.placesSent = { version: edit.version, text: edit.text, bytes };
}

// Calls `then` once the places of the text as it stands are known.
function whenPlaced(edit, then) {
  if (placed(edit)) {
    then();
    return;
  }
  edit.placesWaiters.push(then);
  requestPlaces(edit);
}

function takePlacesReply(reply) {
  const edit = placing.get(reply.places);
  if (edit === undefined) return;
  placing.delete(reply.places);
  edit.placesInFlight = false;
  const sent = edit.placesSent;
  if (reply.failed === undefined && sent.version === edit.version) {
    edit.places = Object.assign(parsePlaces(reply.records, sent.text, sent.bytes), { version: sent.version });
    edit.utf8 = sent.bytes;
    for (const then of edit.placesWaiters.splice(0)) then();
    placesChanged(edit.owner);
  } else if (reply.failed === undefined) {
    requestPlaces(edit);
  } else {
    edit.placesFailed = true;
    for (const then of edit.placesWaiters.splice(0)) then();
  }
}

function currentText(result) {
  return result.edit ? result.edit.text : decodePieces(result.definitions, 10);
}

function currentBones(result) {
  return (result.edit && result.edit.bones) || result.bones;
}

function editable(result) {
  return result.definitions.length <= kEditableText;
}

function liveApply(target) {
  return !target.file || target.file.size <= kApplyAsYouType;
}

// A target: the row's own model (its edit) or another model its edits are used on.
function applyTarget(owner, path, file, sibling) {
  return {
    owner, path, file, sibling,
    applied: null,  // { version, status, outcome, lines, refusals, skipped, changed, note, fileName }
    model: null,    // Blob of the changed model, for applied.version, when a bone changed
    sent: -1, inFlight: false, again: false, waiters: [],
  };
}

function editOf(result) {
  if (!result.edit) {
    // As a textarea holds it, so that an untouched text compares equal.
    const original = decodePieces(result.definitions, 10).replace(/\r\n?/g, '\n');
    result.edit = Object.assign(applyTarget(result, result.path, result.file, false), {
      editing: false, original, text: original, names: null,
      places: null, utf8: null, placesInFlight: false, placesFailed: false, placesSent: null, placesWaiters: [],
      version: 0,      // bumped at every change of the text
      bones: null,     // bone data of the last edits that applied
      timer: 0, caret: 0,
    });
  }
  return result.edit;
}

function edited(result) {
  return Boolean(result.edit) && result.edit.text !== result.edit.original;
}

// Applied without a refusal: the outcome's look is that of a dump written.
function appliedWell(applied) {
  return applied !== null && wasWritten(applied.outcome);
}

function upToDate(target) {
  return target.applied !== null && target.applied.version === target.owner.edit.version;
}

// The changed model for the text as it stands, or null.
function changedModel(target) {
  return target && upToDate(target) ? target.model : null;
}

function textChanged(result) {
  const edit = result.edit;
  edit.version += 1;
  requestPlaces(edit);
  clearTimeout(edit.timer);
  edit.timer = liveApply(edit) ? setTimeout(() => requestApply(edit), kTypingPause) : 0;
}

function requestApply(target) {
  const result = target.owner;
  if (target === result.edit) {
    clearTimeout(target.timer);
    target.timer = 0;
  }
  if (target.inFlight) {
    target.again = true;
    return;
  }
  if (upToDate(target)) {
    settled(target);
    return;
  }
  let edits = currentBytes(result);
  if (edits === null) {
    whenPlaced(result.edit, () => requestApply(target));
    return;
  }
  const id = nextApplyId;
  nextApplyId += 1;
  applying.set(id, target);
  target.inFlight = true;
  target.sent = result.edit.version;
  if (edits === result.definitions) edits = edits.slice();  // handed over, so a copy
  worker.postMessage({ apply: true, id, path: target.path, file: target.file, edits: edits.buffer,
    editsPath: result.outputName, skipMissingBones: target.sibling }, [edits.buffer]);
}

function settled(target) {
  for (const done of target.waiters.splice(0)) done();
}

// Resolves once the text as it stands has been applied (or the page has given up on it).
function settle(target) {
  if (upToDate(target)) return Promise.resolve();
  return new Promise((done) => {
    target.waiters.push(done);
    requestApply(target);
  });
}

function takeApplyReply(reply) {
  const target = applying.get(reply.id);
  if (target === undefined) return;  // from before Clear, or a target removed
  applying.delete(reply.id);
  target.inFlight = false;
  if (target.removed) return;
  const result = target.owner;
  if (target.sent === result.edit.version) {
    target.applied = {
      version: target.sent, status: reply.status, outcome: reply.outcome,
      lines: decodePieces(reply.console, 10).replace(/\n$/, ''),
      refusals: lineRecords(reply.refusals), warnings: lineRecords(reply.warnings),
      skipped: records(reply.skipped).map(([line, name, why]) => ({ line: Number(decodeName(line)) || 0,
        name: decodeName(name || []), why: why ? decodeName(why) : '' })),
      changed: reply.numbers.changed === 1, numbers: reply.numbers, note: reply.note || '',
      fileName: reply.fileName ? decodeName(reply.fileName) : '',
      changedBones: records(reply.changedBones).map(([name]) => decodeName(name)),
    };
    target.model = target.applied.changed && reply.model.length > 0 ? new Blob([reply.model]) : null;
    settled(target);
    if (target === result.edit) {
      showEdit(result);
      // Other models the edits are used on follow the text as it applied here; large ones
      // when saved, as each apply reads the whole model.
      for (const sibling of result.siblings) {
        if (!upToDate(sibling) && liveApply(sibling)) requestApply(sibling);
        else if (!upToDate(sibling)) showSibling(sibling);
      }
      // The cards last: the outcome and the saving never wait on the pictures.
      if (appliedWell(target.applied)) bonesApplied(result, reply.bones);
    } else {
      showSibling(target);
    }
  } else if (target.again || target.waiters.length > 0 || (target.sibling && liveApply(target))) {
    requestApply(target);
  }
  target.again = false;
}

// The worker stopped with edits at it: their outcome is the page's own failure.
function editsLost(why) {
  for (const target of applying.values()) {
    target.inFlight = false;
    target.again = false;
    target.model = null;
    target.applied = { version: target.sent, status: kPageFailed, outcome: kPageFailedWord, refusals: [],
      warnings: [], skipped: [], changed: false, note: '',
      lines: `The page failed on ${target.path}: its worker stopped (${why}). This is a fault of ` +
             'the page, not of the model; sproing_apply gives the edits\' own outcome.' };
    settled(target);
    if (target.sibling) showSibling(target);
    else showEdit(target.owner);
  }
  applying.clear();
}

// Before the page forgets its rows: nothing is to be sent for them any more.
function forgetEdits() {
  for (const target of applying.values()) settled(target);
  applying.clear();
  placing.clear();
  for (const result of results) {
    if (!result.edit) continue;
    clearTimeout(result.edit.timer);
    settled(result.edit);
    for (const sibling of result.siblings) settled(sibling);
  }
}
