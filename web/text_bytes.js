// Bytes and the text shown for them. Stored names are bytes of no stated encoding: those
// that are not UTF-8 are shown as Windows-1252, which their authors most likely wrote them
// in, and sent back as their stored bytes; the module's records are split here; file names
// are numbered here; the module's places in a text are read here. Saved texts keep their bytes: only what is shown is decoded.
'use strict';

const utf8 = new TextDecoder('utf-8', { fatal: true });
const windows1252 = new TextDecoder('windows-1252');
const encoder = new TextEncoder();

function decodeName(bytes) {
  try {
    return utf8.decode(bytes);
  } catch (notUtf8) {
    return windows1252.decode(bytes);
  }
}

// Piece by piece, so that a path the page gave as UTF-8 and a stored name on another line
// each read right.
function decodePieces(bytes, separator) {
  try {
    return utf8.decode(bytes);
  } catch (notUtf8) {
    const pieces = [];
    for (let start = 0; start <= bytes.length;) {
      let end = bytes.indexOf(separator, start);
      if (end < 0) end = bytes.length;
      pieces.push(decodeName(bytes.subarray(start, end)));
      start = end + 1;
    }
    return pieces.join(String.fromCharCode(separator));
  }
}

// The module's records: each ended by \x1e, fields parted by \x1f, as byte arrays.
function records(bytes) {
  const found = [];
  if (!bytes) return found;
  for (let start = 0; start < bytes.length;) {
    let end = bytes.indexOf(0x1e, start);
    if (end < 0) end = bytes.length;
    const fields = [];
    for (let from = start; ;) {
      const part = bytes.indexOf(0x1f, from);
      if (part < 0 || part > end) {
        fields.push(bytes.subarray(from, end));
        break;
      }
      fields.push(bytes.subarray(from, part));
      from = part + 1;
    }
    found.push(fields);
    start = end + 1;
  }
  return found;
}

// Refusal and warning records as { line, what }: line 0 is about the whole text.
function lineRecords(bytes) {
  return records(bytes).map(([line, what]) => ({ line: Number(decodeName(line)) || 0, what: decodeName(what || []) }));
}

// Shown name -> stored bytes, for the names in `bones` (the module's bone data) that are
// not UTF-8.
function storedNames(bones) {
  const names = new Map();
  for (const [name] of records(bones)) {
    try {
      utf8.decode(name);
    } catch (notUtf8) {
      names.set(windows1252.decode(name), name);
    }
  }
  return names;
}

// `bytes` (the text typed, as UTF-8) to apply: as they are, but for bone names shown as
// Windows-1252, which go back as their stored bytes where the module's places (text_places.h)
// say a bone's name stands, so that the bone is found.
function encodeEdits(bytes, places, names) {
  if (names.size === 0) return bytes;
  const parts = [];
  let from = 0;
  for (const bone of places.bones) {
    const stored = names.get(utf8.decode(bytes.subarray(bone.nameBytes[0], bone.nameBytes[1])));
    if (stored === undefined) continue;
    parts.push(bytes.subarray(from, bone.nameBytes[0]), stored);
    from = bone.nameBytes[1];
  }
  parts.push(bytes.subarray(from));
  const out = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
  let at = 0;
  for (const part of parts) {
    out.set(part, at);
    at += part.length;
  }
  return out;
}

// A function from a byte offset of `text`'s UTF-8 (`bytes`) to the index in `text` of the
// character it falls in, as TextEncoder encodes: a lone surrogate becomes 3 bytes.
function byteIndexer(text, bytes) {
  if (bytes.length === text.length) return (offset) => offset;
  const index = new Uint32Array(bytes.length + 1);
  let byte = 0;
  for (let i = 0; i < text.length; i += 1) {
    const unit = text.charCodeAt(i);
    const pair = unit >= 0xd800 && unit < 0xdc00 && i + 1 < text.length &&
      text.charCodeAt(i + 1) >= 0xdc00 && text.charCodeAt(i + 1) < 0xe000;
    const size = unit < 0x80 ? 1 : unit < 0x800 ? 2 : pair ? 4 : 3;
    index.fill(i, byte, byte + size);
    byte += size;
    if (pair) i += 1;
  }
  index[bytes.length] = text.length;
  return (offset) => index[offset];
}

// The module's places of `text` (records as text_places.h gives them) with offsets as
// indices of `text`: { bones, blocks, values, unclosed }, each in text order; a value
// knows its bone's name.
function parsePlaces(records, text, bytes) {
  const at = byteIndexer(text, bytes);
  const places = { bones: [], blocks: [], values: [], unclosed: [] };
  let bone = null;
  for (const record of new TextDecoder().decode(records).split('\x1e')) {
    const [kind, ...fields] = record.split('\x1f');
    const number = (i) => Number(fields[i]);
    if (kind === 'bone') {
      bone = { line: number(0), start: at(number(1)), end: at(number(2)), nameStart: at(number(3)),
        nameEnd: at(number(4)), nameBytes: [number(3), number(4)] };
      bone.name = text.slice(bone.nameStart, bone.nameEnd);
      places.bones.push(bone);
    } else if (kind === 'block') {
      places.blocks.push({ line: number(0), start: at(number(1)), end: at(number(2)), block: fields[3] });
    } else if (kind === 'value') {
      const [block, unit, role, axis, keyword] = fields.slice(3, 8);
      const values = [];
      for (let i = 8; i + 1 < fields.length; i += 2) {
        const [start, end] = [at(number(i)), at(number(i + 1))];
        values.push({ start, end, text: text.slice(start, end) });
      }
      places.values.push({ line: number(0), start: at(number(1)), end: at(number(2)), block, unit, role, axis,
        keyword, values, bone: bone ? bone.name : '' });
    } else if (kind === 'unclosed') {
      places.unclosed.push({ line: number(0), offset: at(number(1)), atLine: number(2) });
    }
  }
  return places;
}

// `name` with " (n)" before its extension.
function numbered(name, n) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? `${name.slice(0, dot)} (${n})${name.slice(dot)}` : `${name} (${n})`;
}

function mebibytes(size) {
  return `${(size / (1024 * 1024)).toFixed(size < 10 * 1024 * 1024 ? 1 : 0)} MiB`;
}

function plural(count, one, many) {
  return `${count} ${count === 1 ? one : many}`;
}

if (typeof module !== 'undefined') {
  module.exports = { decodeName, decodePieces, records };
}
