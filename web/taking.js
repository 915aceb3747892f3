// Taking models: chosen files, a chosen folder, or files and folders dropped anywhere on the
// page (or on a row's part for other models). In folders the files the tools do not take as
// models by name are passed over, and the page says so; chosen files all get rows, as on
// the command line.
'use strict';

// A folder's files { file, path, name, why, entry }: the models by name go to `take`, the
// rest are counted as skipped. A dropped folder's models are opened only once known to be
// models, since a folder may hold thousands of other files.
async function takeFolderFiles(files, take = enqueue) {
  let verdict;
  try {
    verdict = await classifyNames(files.map((found) => found.name));
  } catch (error) {
    notice(`Could not take the folder's files: ${error.message || error}. Choose the folder again.`, 'notice error');
    return;
  }
  const models = [];
  files.forEach((found, i) => {
    if (verdict.models[i]) {
      models.push(found);
    } else {
      skipped.push(found.path);
      if (verdict.caseOnly[i]) skippedCaseOnly += 1;
    }
  });
  showSkipped();
  // A model whose entry cannot be opened is unread, in its own row.
  for (const found of models) {
    if (!found.entry) continue;
    try {
      found.file = await new Promise((ok, fail) => found.entry.file(ok, fail));
    } catch (error) {
      found.file = null;
      found.why = `The browser would not open it: ${error.name} (${error.message}).`;
    }
  }
  take(models.map(({ file, path, why }) => ({ file, path, why })));
}

// Browsers may refuse a page opened from disk the entries of a dropped folder, while its
// files, given in the drop itself, read as ever.
function folderRefused(error) {
  return error && ['EncodingError', 'SecurityError', 'NotReadableError', 'TimeoutError'].includes(error.name);
}

// A browser that neither gives a folder's entries nor refuses them must not leave the page
// silent: after a while the page says so.
function readEntries(reader) {
  return new Promise((ok, fail) => {
    const timer = setTimeout(() => fail(new DOMException('no answer', 'TimeoutError')), 10000);
    reader.readEntries((entries) => {
      clearTimeout(timer);
      ok(entries);
    }, (error) => {
      clearTimeout(timer);
      fail(error);
    });
  });
}

async function walkFolder(root, take) {
  const files = [];
  const folders = [{ entry: root, path: root.name }];
  let read = 0;
  try {
    while (folders.length > 0) {
      const { entry, path } = folders.shift();
      const reader = entry.createReader();
      for (let batch = await readEntries(reader); batch.length > 0; batch = await readEntries(reader)) {
        read += 1;
        for (const child of batch) {
          const childPath = `${path}/${child.name}`;
          if (child.isDirectory) folders.push({ entry: child, path: childPath });
          else if (child.isFile) files.push({ entry: child, path: childPath, name: child.name });
        }
      }
    }
  } catch (error) {
    if (read === 0 && folderRefused(error)) {
      notice(`This browser does not let a page opened from disk read a dropped folder ` +
             `("${root.name}"): use "Choose a folder" to take it.`, 'notice error');
    } else {
      notice(`Could not read all of the dropped folder "${root.name}" (${error.name}: ` +
             `${error.message}); the models found before that are taken.`, 'notice error');
    }
  }
  await takeFolderFiles(files, take);
}

function takeDrop(event) {
  event.preventDefault();
  $('drop').classList.remove('over');
  const transfer = event.dataTransfer;
  if (!transfer) return;
  // Dropped on a row's part for other models: they go there.
  const section = event.target.closest ? event.target.closest('.siblings') : null;
  const take = section && section.takeDrop ? section.takeDrop : enqueue;
  // Entries and files are to be had only while the event lasts: taken now, read later.
  const items = [...transfer.items].filter((item) => item.kind === 'file');
  const files = [];
  const folders = [];
  for (const item of items) {
    const entry = item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
    if (entry && entry.isDirectory) {
      folders.push(entry);
    } else {
      const file = item.getAsFile();
      if (file) files.push({ file, path: file.name });
    }
  }
  if (items.length === 0) {
    for (const file of transfer.files) files.push({ file, path: file.name });
  }
  if (files.length === 0 && folders.length === 0) {
    notice('Nothing in that drop was a file or a folder.', 'notice error');
    return;
  }
  if (files.length > 0) take(files);
  for (const folder of folders) {
    walkFolder(folder, take).catch((error) => notice(`Could not take the dropped folder "${folder.name}": ` +
      `${error.message || error}`, 'notice error'));
  }
}

$('choose-files').addEventListener('change', (event) => {
  enqueue([...event.target.files].map((file) => ({ file, path: file.name })));
  event.target.value = '';
});
$('choose-folder').addEventListener('change', (event) => {
  takeFolderFiles([...event.target.files].map((file) =>
    ({ file, path: file.webkitRelativePath || file.name, name: file.name })));
  event.target.value = '';
});

// The whole window takes a drop, so a model let go beside the box is taken, not opened
// by the browser instead.
window.addEventListener('dragover', (event) => {
  event.preventDefault();
  if (event.dataTransfer) event.dataTransfer.dropEffect = 'copy';
  $('drop').classList.add('over');
});
window.addEventListener('dragleave', (event) => {
  if (event.relatedTarget === null) $('drop').classList.remove('over');
});
window.addEventListener('drop', takeDrop);

// Keyboard: Enter or Space on the drop box opens the file chooser.
$('drop').addEventListener('keydown', (event) => {
  if (event.target === $('drop') && (event.key === 'Enter' || event.key === ' ')) {
    event.preventDefault();
    $('choose-files').click();
  }
});
