#!/usr/bin/python3
"""Times the skeleton view's frames in headless Chromium over file://, by hand (timings on
shared machines are too noisy for CI); docs/page.md has the figures.

usage: measure_skeleton.py PAGE_DIR MODEL [SECONDS] [--edit] [--picture PNG]

The model's row is opened (with --edit, edited, a stiffness changed so that the stored
setting moves beside it) and its skeleton shaken every 2.5 s for SECONDS (20 by default),
each frame's work read as it is made. Prints the frames, the median, the longest and how
many took over 8 ms. With
--picture, the view is saved as a PNG half a second into a shake, the last link of the
longest chain of jiggle bones lit, turned 17° and tilted 9° to show its depth."""
import json
import os
import shutil
import sys
import tempfile
import time

from selenium.webdriver.common.by import By

from headless_chromium import start_chromium

picture = sys.argv[sys.argv.index("--picture") + 1] if "--picture" in sys.argv else None
args = [arg for arg in sys.argv[1:] if not arg.startswith("--") and arg != picture]
page_dir, model = map(os.path.abspath, args[:2])
seconds = 0 if picture else float(args[2]) if len(args) > 2 else 20
work = tempfile.mkdtemp(prefix="sproing-skeleton-")

SAMPLE = """
window.skeletonWork = [];
let seen = skeletonFrames.count;
const sample = () => {
  if (skeletonFrames.count !== seen) { skeletonWork.push(skeletonFrames.lastMs); seen = skeletonFrames.count; }
  requestAnimationFrame(sample);
};
requestAnimationFrame(sample);
const shake = () => document.querySelector('#rows .skeleton .shake').click();
shake();
window.shaking = setInterval(shake, 2500);
"""

# The last link of the longest chain of jiggle bones, lit.
LIGHT = """
const view = results[0].skeleton;
const sk = view.sk;
let best = -1, depth = -1;
for (let i = 0; i < sk.count; i += 1) {
  let d = 0;
  for (let p = i; p >= 0 && sk.jiggle[p] >= 0; p = sk.parent[p]) d += 1;
  if (d > depth) { depth = d; best = i; }
}
lightSkeletonBone(view, best);
turnSkeleton(view, -0.3, 0.15);
"""

driver = start_chromium(work)
driver.set_script_timeout(120)
try:
    # A picture as narrow as a README shows it.
    driver.set_window_size(640 if picture else 1100, 1200)
    driver.get("file://" + os.path.join(page_dir, "index.html"))
    driver.find_element(By.ID, "choose-files").send_keys(model)
    time.sleep(2)
    if "--edit" in sys.argv:
        driver.find_element(By.CSS_SELECTOR, "#rows .edit-button").click()
        time.sleep(1)
        driver.execute_script("const a = document.querySelector('#rows textarea');"
                              "a.value = a.value.replace(/(yaw_stiffness )(\\S+)/, (m, k, v) => k + v * 3);"
                              "a.dispatchEvent(new Event('input'));")
    else:
        driver.find_element(By.CSS_SELECTOR, "#rows .toggle").click()
    time.sleep(2)
    section = driver.find_element(By.CSS_SELECTOR, "#rows .skeleton")
    driver.execute_script("arguments[0].scrollIntoView()", section)
    if picture:
        driver.execute_script(LIGHT)
        driver.find_element(By.CSS_SELECTOR, "#rows .skeleton .shake").click()
        time.sleep(0.5)
        section.screenshot(picture)
    driver.execute_script(SAMPLE)
    time.sleep(seconds)
    work_ms = sorted(driver.execute_script("clearInterval(shaking); return skeletonWork"))
    bones = driver.execute_script("return results[0].skeleton.sk.count")
    if work_ms:
        print(json.dumps({"bones": bones, "frames": len(work_ms), "median_ms": round(work_ms[len(work_ms) // 2], 3),
                          "p95_ms": round(work_ms[len(work_ms) * 95 // 100], 3), "longest_ms": round(work_ms[-1], 3),
                          "over_8ms": sum(ms > 8 for ms in work_ms),
                          "outline": driver.execute_script("return Boolean(results[0].skeleton.ghost)")}))
finally:
    driver.quit()
    shutil.rmtree(work, ignore_errors=True)
