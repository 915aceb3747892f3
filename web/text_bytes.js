// Bytes and the text shown for them. Stored names are bytes of no stated encoding: those
// that are not UTF-8 are shown as Windows-1252, which their authors most likely wrote them
// in, and sent back as their stored bytes; the module's records are split here; file names
// are numbered here. Saved texts keep their bytes: only what is shown is decoded.
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

// A comment, a quoted name or a bare word, as the tools' reader parts them.
const kTokens = /\/\/[^\n]*|"([^"\x00-\x1f\x7f]*)"|((?:[^ {}"\x00-\x1f\x7f/]|\/(?!\/))+)/g;

// `text` as bytes to apply: UTF-8, but for names shown as Windows-1252, which go back as
// their stored bytes wherever they stand as a name, so that the bone is found.
function encodeEdits(text, names) {
  if (names.size === 0) return encoder.encode(text);
  const parts = [];
  let from = 0;
  for (const match of text.matchAll(kTokens)) {
    const name = match[1] !== undefined ? match[1] : match[2];
    const stored = name !== undefined ? names.get(name) : undefined;
    if (stored === undefined) continue;
    const at = match.index + (match[1] !== undefined ? 1 : 0);
    parts.push(encoder.encode(text.slice(from, at)), stored);
    from = at + name.length;
  }
  parts.push(encoder.encode(text.slice(from)));
  const bytes = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
  let at = 0;
  for (const part of parts) {
    bytes.set(part, at);
    at += part.length;
  }
  return bytes;
}

function fileNameOf(path) {
  return path.slice(Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
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
