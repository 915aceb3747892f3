// The page's worker: takes one model at a time, reads it in slices straight into the
// module's memory and hands back what the tool made of it. Everything is decided in the
// module; this only moves bytes.
'use strict';

const kLargestModel = 512 * 1024 * 1024;
const kSlice = 16 * 1024 * 1024;
// After a model this large the module is started afresh, so that the memory it grew to
// is given back rather than held for the rest of the batch.
const kRestartAfter = 64 * 1024 * 1024;
const kTexts = { console: 0, definitions: 1, outputName: 2, bones: 3 };

let modulePromise = createSproing();

function textBytes(module, which) {
  const start = module._sproingText(which) >>> 0;
  const length = module._sproingTextLength(which) >>> 0;
  return module.HEAPU8.slice(start, start + length);
}

function pathArgument(module, path) {
  const bytes = new TextEncoder().encode(path);
  const at = module._malloc(bytes.length + 1) >>> 0;
  if (at === 0) return 0;
  module.HEAPU8.set(bytes, at);
  module.HEAPU8[at + bytes.length] = 0;
  return at;
}

// The tool's status 6 line, for what never reaches the module.
function unread(path, why = '') {
  return { status: 6, console: new TextEncoder().encode(`Cannot read ${path}${why}\n`) };
}

async function processFile(file, path) {
  if (file.size > kLargestModel) return unread(path, ': larger than 512 MiB, so not read');
  const module = await modulePromise;
  const size = file.size;
  let bytes = size > 0 ? module._malloc(size) >>> 0 : 0;
  if (bytes !== 0) {
    try {
      for (let offset = 0; offset < size; offset += kSlice) {
        const part = await file.slice(offset, Math.min(size, offset + kSlice)).arrayBuffer();
        module.HEAPU8.set(new Uint8Array(part), bytes + offset);
      }
    } catch (error) {
      // Unreadable (moved, or no longer permitted): the module reports it as unread.
      module._free(bytes);
      bytes = 0;
    }
  }
  const name = pathArgument(module, path);
  if (name === 0) {
    if (bytes !== 0) module._free(bytes);
    return unread(path);
  }
  // A null image of a non-empty file is the module's "Cannot read".
  const status = module._sproingProcess(bytes, size, name);
  module._free(name);
  const reply = {
    status,
    console: textBytes(module, kTexts.console),
    definitions: textBytes(module, kTexts.definitions),
    outputName: textBytes(module, kTexts.outputName),
    bones: textBytes(module, kTexts.bones),
  };
  if (size > kRestartAfter) modulePromise = createSproing();
  return reply;
}

self.onmessage = async (event) => {
  const { file, path } = event.data;
  let reply;
  try {
    reply = await processFile(file, path);
  } catch (error) {
    // The module ran out of memory or stopped: as the command line does when memory cannot
    // be had, the model is unread; the batch goes on with a new module.
    modulePromise = createSproing();
    reply = unread(path);
  }
  const transfer = [reply.console.buffer];
  for (const key of ['definitions', 'outputName', 'bones']) {
    if (reply[key]) transfer.push(reply[key].buffer);
  }
  self.postMessage(reply, transfer);
};
