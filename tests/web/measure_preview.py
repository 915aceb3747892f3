#!/usr/bin/python3
"""Times the bone cards' motion in headless Chromium over file://, by hand (timings on shared
machines are too noisy for CI); docs/page.md has the figures.

usage: measure_preview.py PAGE_DIR MAKE_MODEL [BONES]

A model of BONES jiggle bones (120 by default) is opened and edited; its cards in view are
jolted over and over while keys are typed into its text. Prints each frame's preview work
(the median and the longest), the longest main-thread task while typing, and the frames run
while the tab was hidden (none expected). Then Scale: the time from pressing it to the
outcome of its apply shown, five times; then every one of the bones' cards animating at once
beside its stored setting, plots included, and each frame's work."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from headless_chromium import start_chromium

page_dir, make_model = map(os.path.abspath, sys.argv[1:3])
bones = sys.argv[3] if len(sys.argv) > 3 else "120"
work = tempfile.mkdtemp(prefix="sproing-preview-")

WATCH = """
window.tasks = [];
new PerformanceObserver((list) => {
  for (const entry of list.getEntries()) tasks.push([entry.startTime, entry.duration]);
}).observe({ type: 'longtask', buffered: true });
window.frameWork = [];
document.addEventListener('visibilitychange', () => {
  if (document.hidden) window.hiddenAt = previewFrames.count;
  else window.hiddenFrames = previewFrames.count - window.hiddenAt;
});
"""

SCALE = """
const done = arguments[arguments.length - 1];
const row = document.querySelector('#rows > li');
const edit = results[Number(row.dataset.index)].edit;
row.querySelector('details.scale').open = true;
const times = [];
const once = (factor) => new Promise((ok) => {
  row.querySelector('.scale-factor').value = String(factor);
  const started = performance.now();
  row.querySelector('.scale-go').click();
  const look = () => {
    if (upToDate(edit) && !row.querySelector('.edit-status').classList.contains('pending')) {
      requestAnimationFrame(() => { times.push(performance.now() - started); setTimeout(ok, 300); });
    } else requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
});
(async () => { for (const factor of [3, 0.5, 2, 0.5, 2]) await once(factor); done(times); })();
"""

ALL_ANIMATING = """
const done = arguments[arguments.length - 1];
const result = results[Number(document.querySelector('#rows > li').dataset.index)];
const box = document.createElement('div');
box.style.cssText = 'position: absolute; left: 0; top: 0; width: 40rem';
document.body.appendChild(box);
for (let i = 0; i < result.cards.bones.length; i += 1) {
  const item = makeCard(result, i);
  box.appendChild(item);
  watcher.unobserve(item);
  inView.add(item);
}
const work = [];
let seen = previewFrames.count;
const sample = () => {
  if (previewFrames.count !== seen) { work.push(previewFrames.lastMs); seen = previewFrames.count; }
  if (work.length < 300) requestAnimationFrame(sample); else { clearInterval(again); done(work); }
};
const joltAll = () => { for (const item of inView) if (item.previewEntry) jolt(item.previewEntry); };
joltAll();
const again = setInterval(joltAll, 700);
requestAnimationFrame(sample);
"""

driver = start_chromium(work)
driver.set_script_timeout(120)
try:
    model = os.path.join(work, f"bench_{bones}.mdl")
    subprocess.run([make_model, "bench", bones, model], check=True, timeout=60)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})
    driver.get("file://" + os.path.join(page_dir, "index.html"))
    driver.find_element(By.ID, "choose-files").send_keys(model)
    time.sleep(2)
    driver.find_element(By.CSS_SELECTOR, "#rows .edit-button").click()
    time.sleep(1)
    area = driver.switch_to.active_element
    # Each frame's work is read as it is made, while the cards in view are jolted anew.
    driver.execute_script("""
      const jolt = () => document.querySelector('.jolt-all').click();
      jolt();
      window.jolting = setInterval(jolt, 700);
      let seen = previewFrames.count;
      const sample = () => {
        if (previewFrames.count !== seen) { frameWork.push(previewFrames.lastMs); seen = previewFrames.count; }
        requestAnimationFrame(sample);
      };
      requestAnimationFrame(sample);""")
    typing_from = driver.execute_script("return performance.now()")
    for _ in range(40):
        area.send_keys("1")
        time.sleep(0.05)
        area.send_keys(Keys.BACKSPACE)
        time.sleep(0.05)
    typing_to = driver.execute_script("return performance.now()")
    time.sleep(1)
    driver.execute_script("clearInterval(jolting); document.querySelector('.jolt-all').click();")
    first = driver.current_window_handle
    driver.switch_to.new_window("tab")
    time.sleep(2)
    driver.switch_to.window(first)
    driver.execute_cdp_cmd("Target.activateTarget", {"targetId": driver.execute_cdp_cmd("Target.getTargetInfo", {})["targetInfo"]["targetId"]})
    time.sleep(0.5)
    found = driver.execute_script("return { work: frameWork, tasks, hiddenFrames: window.hiddenFrames }")
    # Scale, from the press to its apply's outcome drawn.
    scale_ms = driver.execute_async_script(SCALE)
    # Every bone animating: each card made, held in view, jolted every 0.7 s.
    all_work = sorted(driver.execute_async_script(ALL_ANIMATING))
    work_ms = sorted(found["work"])
    typing_tasks = [d for t, d in found["tasks"] if typing_from <= t <= typing_to]
    print(json.dumps({
        "bones": int(bones), "frames": len(work_ms),
        "frame_work_median_ms": round(work_ms[len(work_ms) // 2], 3) if work_ms else None,
        "frame_work_p95_ms": round(work_ms[len(work_ms) * 95 // 100], 3) if work_ms else None,
        "frame_work_longest_ms": round(work_ms[-1], 3) if work_ms else None,
        "longest_task_while_typing_ms": round(max(typing_tasks or [0])), "tasks_over_50ms": len(typing_tasks),
        "frames_while_hidden": found["hiddenFrames"],
        "scale_ms": [round(ms, 1) for ms in scale_ms],
        "all_animating_frames": len(all_work), "all_animating_median_ms": round(all_work[len(all_work) // 2], 3),
        "all_animating_longest_ms": round(all_work[-1], 3)}))
finally:
    driver.quit()
    shutil.rmtree(work, ignore_errors=True)
