// A list of many items of which only those in view exist: each is placed by the script at
// its offset in a list as tall as all of them, heights measured as items are drawn. The
// model rows and a row's bone cards are such lists, so that thousands of either cost no
// more than a screenful.
'use strict';

// `list`: the positioned element the items go in. `options`:
//   make(key): a new element for the item;
//   view(): [from, to], the part of the list (offsets from its top) to fill;
//   estimate: the height of an item not yet measured;
//   measured(key, height, wasKnown): told each new height (to keep it, or learn an estimate);
//   keep(): a key to keep made wherever it is (the item holding keyboard focus), or undefined;
//   dropped(key, element): told when an item's element goes.
function virtualList(list, options) {
  let keys = [];
  let tops = [0];
  let topsValid = 1;
  let estimate = options.estimate;
  const heights = new Map();
  const made = new Map();  // key -> element
  let scheduled = false;
  const resized = new ResizeObserver(() => schedule());

  const heightOf = (key) => heights.get(key) || estimate;

  function ensureTops() {
    for (let p = topsValid; p <= keys.length; p += 1) tops[p] = tops[p - 1] + heightOf(keys[p - 1]);
    tops.length = keys.length + 1;
    topsValid = keys.length + 1;
  }

  // The first item whose bottom is below `offset`.
  function positionAt(offset) {
    ensureTops();
    let low = 0;
    let high = keys.length;
    while (low < high) {
      const middle = (low + high) >> 1;
      if (tops[middle + 1] <= offset) low = middle + 1;
      else high = middle;
    }
    return low;
  }

  function drop(key) {
    const element = made.get(key);
    if (!element) return;
    resized.unobserve(element);
    element.remove();
    made.delete(key);
    if (options.dropped) options.dropped(key, element);
  }

  // Places the items in view; true when a measured height moved those after it.
  function place() {
    ensureTops();
    list.style.height = `${tops[keys.length]}px`;
    const [from, to] = options.view();
    const wanted = [];
    for (let p = positionAt(from); p < keys.length && tops[p] < to; p += 1) wanted.push(p);
    const kept = options.keep ? options.keep() : undefined;
    if (kept !== undefined) {
      const p = keys.indexOf(kept);
      if (p >= 0 && !wanted.includes(p)) {
        wanted.push(p);
        wanted.sort((a, b) => a - b);
      }
    }
    const keep = new Set(wanted.map((p) => keys[p]));
    for (const key of [...made.keys()]) if (!keep.has(key)) drop(key);
    let cursor = list.firstChild;
    for (const p of wanted) {
      const key = keys[p];
      let element = made.get(key);
      if (!element) {
        element = options.make(key);
        made.set(key, element);
        resized.observe(element);
      }
      if (element === cursor) cursor = cursor.nextSibling;
      else list.insertBefore(element, cursor);
      element.style.top = `${tops[p]}px`;
      element.setAttribute('aria-posinset', String(p + 1));
      element.setAttribute('aria-setsize', String(keys.length));
    }
    let moved = false;
    for (const p of wanted) {
      const key = keys[p];
      const height = made.get(key).offsetHeight;
      if (height > 0 && height !== heights.get(key)) {
        const learned = options.measured ? options.measured(key, height, heights.has(key)) : undefined;
        if (learned !== undefined) estimate = learned;
        heights.set(key, height);
        topsValid = Math.min(topsValid, p + 1);
        moved = true;
      }
    }
    return moved;
  }

  function render() {
    scheduled = false;
    if (options.before) options.before();
    // Items measured other than estimated move those below them: placed again.
    for (let passes = 0; place(); passes += 1) {
      if (passes === 2) {
        schedule();
        break;
      }
    }
  }

  function schedule() {
    if (scheduled) return;
    scheduled = true;
    requestAnimationFrame(render);
  }

  return {
    schedule,
    render,
    // The items, in order; keys already measured keep their heights.
    setKeys(next) {
      keys = next;
      tops = [0];
      topsValid = 1;
      schedule();
    },
    // One more item at the end.
    push(key) {
      keys.push(key);
      schedule();
    },
    keys: () => keys,
    element: (key) => made.get(key),
    // The offset of an item's top, from the list's.
    topOf(key) {
      ensureTops();
      const p = keys.indexOf(key);
      return p < 0 ? -1 : tops[p];
    },
    heightOf,
    // Made anew, as after its content changed; focus goes to `focus` inside it.
    remake(key, focus) {
      const old = made.get(key);
      if (old) {
        const fresh = options.make(key);
        resized.unobserve(old);
        old.replaceWith(fresh);
        if (options.dropped) options.dropped(key, old);
        made.set(key, fresh);
        resized.observe(fresh);
        fresh.style.top = old.style.top;
        for (const name of ['aria-posinset', 'aria-setsize']) fresh.setAttribute(name, old.getAttribute(name));
        if (focus) {
          const target = fresh.querySelector(focus);
          if (target) target.focus({ preventScroll: true });
        }
      }
      schedule();
      return made.get(key);
    },
    // Forgets every measured height, expecting `height` of each item, as when all changed form.
    remeasure(height) {
      estimate = height;
      heights.clear();
      tops = [0];
      topsValid = 1;
      schedule();
    },
    // Forgets a measured height, as when an item's content changed out of view.
    forget(key) {
      heights.delete(key);
      tops = [0];
      topsValid = 1;
      schedule();
    },
    clear() {
      for (const key of [...made.keys()]) drop(key);
      keys = [];
      heights.clear();
      tops = [0];
      topsValid = 1;
      list.replaceChildren();
      list.style.height = '0px';
    },
    made: () => made,
  };
}
