// Making the page's elements: the few helpers every other script uses.
'use strict';

const $ = (id) => document.getElementById(id);

function element(name, className, text) {
  const made = document.createElement(name);
  if (className) made.className = className;
  if (text !== undefined) made.textContent = text;
  return made;
}

function button(text, action, className) {
  const made = element('button', className, text);
  made.type = 'button';
  made.addEventListener('click', action);
  return made;
}
