#!/usr/bin/python3
"""Times the page on large batches in headless Chromium over file:// against the command-line
tool in a shell loop over the same files, on this machine, from the moment the folder is
chosen (the browser's own listing of it included, as a user waits for it) and from the
page's first sight of the files. Run by hand (timings on shared
machines are too noisy for CI); docs/page.md has the figures of one run.

usage: measure_batch.py PAGE_DIR SPROING_DUMP MAKE_MODEL COUNT [COUNT ...]

For each COUNT: builder models made by `make_model batch` (kept in $TMPDIR/sproing-measure for
a second run), read once so that both sides find them in the page cache, then the tool once
per model from a shell loop, then the page choosing the folder. Prints the times, the page's
time for each thousand models, its longest main-thread task and its element count."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

from headless_chromium import start_chromium

page_dir, tool, make_model = map(os.path.abspath, sys.argv[1:4])
counts = [int(count) for count in sys.argv[4:]]
store = os.path.join(tempfile.gettempdir(), "sproing-measure")

# Watches the page from its start: the time at each thousandth model done, the longest task
# the main thread ran and the longest gap between frames.
WATCH = """
window.measured = { sent: 0, chosen: 0, started: 0, finished: 0, thousands: [], tasks: [], longestGap: 0 };
new PerformanceObserver((list) => {
  for (const entry of list.getEntries()) measured.tasks.push([entry.startTime, entry.duration]);
}).observe({ type: 'longtask', buffered: true });
addEventListener('change', () => { measured.chosen = measured.chosen || performance.now(); }, true);
let last = 0;
const watch = (now) => {
  const progress = document.getElementById('progress');
  if (progress && measured.started === 0 && progress.max > 1) measured.started = now;
  if (progress && progress.value > 0) {
    if (last > 0) measured.longestGap = Math.max(measured.longestGap, now - last);
    const reached = Math.floor(progress.value / 1000);
    while (measured.thousands.length < reached) measured.thousands.push(performance.now());
    if (progress.value === progress.max && progress.max > 1 && !measured.finished) measured.finished = performance.now();
  }
  last = progress && progress.value > 0 ? now : 0;
  requestAnimationFrame(watch);
};
requestAnimationFrame(watch);
"""


def models(count):
    folder = os.path.join(store, str(count))
    if not os.path.isdir(folder) or len(os.listdir(folder)) != count:
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        subprocess.run([make_model, "batch", str(count), folder], check=True)
    return folder


def command_line(folder):
    out = tempfile.mkdtemp(prefix="sproing-measure-out-")
    started = time.monotonic()
    subprocess.run(["bash", "-c", 'for f in "$0"/*.mdl; do "$1" "$f" >/dev/null; done', folder, tool],
                   cwd=out, check=False)
    seconds = time.monotonic() - started
    shutil.rmtree(out)
    return seconds


def page(folder, count):
    work = tempfile.mkdtemp(prefix="sproing-measure-browser-")
    driver = start_chromium(work)
    try:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})
        driver.get("file://" + os.path.join(page_dir, "index.html"))
        chooser = driver.find_element(By.ID, "choose-folder")
        driver.execute_script("measured.sent = performance.now()")
        started = time.monotonic()
        chooser.send_keys(folder)
        WebDriverWait(driver, 3600, poll_frequency=0.2).until(
            lambda d: d.find_element(By.ID, "count").text.startswith(f"{count} of {count} models done in"))
        wall = time.monotonic() - started
        own = float(driver.find_element(By.ID, "count").text.split(" in ")[1].split(" ")[0])
        measured = driver.execute_script("return measured")
        measured["elements"] = driver.execute_script("return document.getElementsByTagName('*').length")
        return wall, own, measured
    finally:
        driver.quit()
        shutil.rmtree(work, ignore_errors=True)


def main():
    for count in counts:
        folder = models(count)
        subprocess.run(["bash", "-c", 'cat "$0"/*.mdl >/dev/null', folder], check=True)
        native = command_line(folder)
        wall, own, measured = page(folder, count)
        marks = [measured["started"]] + measured["thousands"]
        per_thousand = [round((b - a) / 1000, 2) for a, b in zip(marks, marks[1:])]
        # Tasks begun before the chooser's change event are the browser listing the folder.
        tasks = measured["tasks"]
        print(json.dumps({
            "models": count, "command_line_s": round(native, 2), "page_s": own, "page_wall_s": round(wall, 2),
            "ratio": round(own / native, 2),
            "from_chosen_s": round((measured["finished"] - measured["sent"]) / 1000, 2),
            "ratio_from_chosen": round((measured["finished"] - measured["sent"]) / 1000 / native, 2),
            "listing_s": round((measured["chosen"] - measured["sent"]) / 1000, 2), "per_thousand_s": per_thousand,
            "last_over_first": round(per_thousand[-1] / per_thousand[0], 2) if len(per_thousand) > 1 else None,
            "longest_task_ms": round(max([d for t, d in tasks if t >= measured["chosen"]] or [0])),
            "listing_task_ms": round(max([d for t, d in tasks if t < measured["chosen"]] or [0])),
            "longest_frame_gap_ms": round(measured["longestGap"]), "elements": measured["elements"]}))


if __name__ == "__main__":
    main()
