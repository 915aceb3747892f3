// Saving and copying: a file saved through a link, a text copied, and "Save all as .zip":
// every written model's .qci, beside it each changed model, its own edits' or another row's.
'use strict';

function saveBytes(name, bytes, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

async function copyText(text, target, name) {
  try {
    await navigator.clipboard.writeText(text);
  } catch (refused) {
    // Some browsers refuse the clipboard to a page opened from disk: the older way.
    const area = element('textarea');
    area.value = text;
    document.body.appendChild(area);
    area.select();
    const copied = document.execCommand('copy');
    area.remove();
    target.focus();
    if (!copied) {
      notice(`Could not copy ${name}: ${refused.message || refused.name}. Save it instead.`, 'notice error');
      return;
    }
  }
  target.textContent = 'Copied';
  announce(`${name} copied`);
  setTimeout(() => { target.textContent = 'Copy'; }, 1500);
}

// A path inside the drop as a folder inside the .zip.
function zipFolder(path) {
  return `${path.split('/').filter((part) => part !== '' && part !== '.' && part !== '..').join('/')}/`;
}

// Zip entry paths: each name where it is unique; where several models give one name, each
// copy in a folder named after its model's path inside the drop. A changed model (`models`:
// [{ owner, path, name, bytes }], owner the written result whose .qci goes with it, or null
// for another model its edits were used on) is named after its own file, as the module
// names it.
function zipEntries(models) {
  const entries = {};
  const modelNames = new Map();
  for (const { name } of models) modelNames.set(name, (modelNames.get(name) || 0) + 1);
  const byOwner = new Map(models.filter((model) => model.owner).map((model) => [model.owner, model]));
  const place = (path, qciName, model) => {
    const modelName = model ? model.name : '';
    let folder = '';
    if ((qciName && outputNames.get(qciName) > 1) || (model && modelNames.get(modelName) > 1)) folder = zipFolder(path);
    // The same model dropped twice still gets a place of its own.
    let qci = qciName && `${folder}${qciName}`;
    let mdl = model && `${folder}${modelName}`;
    for (let n = 2; (qci && qci in entries) || (mdl && mdl in entries); n += 1) {
      qci = qciName && `${folder}${numbered(qciName, n)}`;
      mdl = model && `${folder}${numbered(modelName, n)}`;
    }
    return [qci, mdl];
  };
  for (const result of results) {
    if (!wasWritten(result.kind)) continue;
    const model = byOwner.get(result);
    const [qci, mdl] = place(result.path, result.outputName, model);
    entries[qci] = currentBytes(result);
    if (model) entries[mdl] = model.bytes;
  }
  for (const model of models) {
    if (model.owner) continue;
    const [, mdl] = place(model.path, '', model);
    entries[mdl] = model.bytes;
  }
  return entries;
}

// Edits not yet applied are applied first, so that each changed model is that of its text.
async function saveAll() {
  const editedRows = results.filter((result) => wasWritten(result.kind) && result.edit && edited(result));
  const siblings = results.flatMap((result) => result.siblings);
  await Promise.all([...editedRows.map((result) => settle(result.edit)), ...siblings.map(settle),
    ...editedRows.map(savedText)]);
  if (editedRows.some((result) => results[result.index] !== result)) return;  // cleared meanwhile
  const models = [];
  const faulty = [];
  for (const target of [...editedRows.map((result) => result.edit), ...siblings]) {
    const model = changedModel(target);
    if (model) models.push({ owner: target.sibling ? null : target.owner, path: target.path,
      name: target.applied.fileName, bytes: new Uint8Array(await model.arrayBuffer()) });
    else if (target.applied && !appliedWell(target.applied)) faulty.push(target.path);
  }
  if (faulty.length > 0) {
    notice(`The .zip has no changed model of ${faulty.join(', ')}: the edits could not be applied to ` +
      'it, as its row says. Edited texts are in the .zip all the same.', 'notice error');
  }
  saveBytes('sproing_dump_qci.zip', fflate.zipSync(zipEntries(models), { level: 6 }), 'application/zip');
}

$('save-all').addEventListener('click', () => {
  saveAll().catch((error) => notice(`Could not make the .zip: ${error.message || error}`, 'notice error'));
});
