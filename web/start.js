// The page's start, loaded last: Cancel and Clear, which reach into every other part, and
// the worker started.
'use strict';

$('cancel').addEventListener('click', () => {
  showCancelled(cancel());
  scheduleRender();
  $('clear').disabled = false;
  $('clear').focus();
});

$('clear').addEventListener('click', () => {
  if (running()) cancel();
  forgetEdits();
  forgetModels();
  forgetRows();
  forgetNotices();
  delete $('announce').dataset.done;
  announce('Cleared.');
  applyView();
  // The buttons that had focus are disabled now: back to where models are chosen.
  $('drop').focus();
});

startWorker();
updateStatus();
