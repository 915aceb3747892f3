#!/usr/bin/python3
"""Drives the built page in headless Chromium over file:// and holds it to the command-line
tool, run here over the same models: console lines, statuses, the saved .zip's names and
texts. Writes screenshots into the build folder.

usage: page_test.py PAGE_DIR SPROING_DUMP MAKE_MODEL REAL_MODELS SAMPLE_MODEL"""
import io
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

page_dir, tool, make_model, real_dir, sample = map(os.path.abspath, sys.argv[1:6])
work = tempfile.mkdtemp(prefix="sproing-web-")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run_tool(folder, names):
    """The tool over each model, from the models' folder so that paths read as on the page."""
    results = {}
    started = time.monotonic()
    for name in names:
        done = subprocess.run([tool, name], cwd=folder, capture_output=True, timeout=30)
        results[name] = (done.returncode, done.stdout)
    return results, time.monotonic() - started


def definitions(folder, stdout):
    """The .qci text a written model left, by the name its closing line gives."""
    return open(os.path.join(folder, stdout.decode().splitlines()[-1][len("Wrote "):]), "rb").read()


def start_browser(downloads):
    options = Options()
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--window-size=1100,1600", "--user-data-dir=" + os.path.join(work, "profile")):
        options.add_argument(flag)
    options.binary_location = shutil.which("chromium")
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    driver.get("file://" + os.path.join(page_dir, "index.html"))
    return driver


def run_batch(driver, input_id, paths, count):
    driver.find_element(By.ID, input_id).send_keys("\n".join(paths))
    WebDriverWait(driver, 120).until(lambda d: d.find_element(By.ID, "progress").get_attribute("value") == str(count)
                                     and len(d.find_elements(By.CSS_SELECTOR, "#rows .row")) == count)
    check(driver.find_element(By.ID, "progress").get_attribute("max") == str(count), "progress ends at its maximum")
    return {row.find_element(By.TAG_NAME, "h2").text: row for row in driver.find_elements(By.CSS_SELECTOR, "#rows .row")}


def saved_zip(driver, downloads):
    for name in os.listdir(downloads):
        os.remove(os.path.join(downloads, name))
    driver.find_element(By.ID, "save-all").click()
    path = os.path.join(downloads, "sproing_dump_qci.zip")
    WebDriverWait(driver, 30).until(lambda d: os.path.exists(path))
    time.sleep(0.5)
    with zipfile.ZipFile(io.BytesIO(open(path, "rb").read())) as archive:
        return {info.filename: archive.read(info) for info in archive.infolist()}


def compare_rows(rows, expected):
    for name, (status, stdout) in expected.items():
        row = rows.get(name)
        check(row is not None, f"{name}: a row")
        if row is None:
            continue
        check(row.get_attribute("data-status") == str(status), f"{name}: status {status}")
        shown = row.find_element(By.CSS_SELECTOR, "pre.console").get_attribute("textContent")
        check(shown == stdout.decode("utf-8", "replace"), f"{name}: console lines {shown!r} != {stdout!r}")


def drawn_limits(qci):
    """Each bone's limits as the page must caption them, read from the tool's .qci text."""
    limits = {}
    for block in qci.decode().split("$jigglebone \"")[1:]:
        name, body = block.split("\"", 1)
        found = {}
        for line in body.splitlines():
            key, _, values = line.strip().partition(" ")
            found.setdefault(key, values.split())
        pair = lambda key, label: f"{label} {found[key][0]}° to {found[key][1]}°" if key in found else f"{label}: free"
        limits[name] = [pair("yaw_constraint", "yaw"), pair("pitch_constraint", "pitch"),
                        f"angle {found['angle_constraint'][0]}°" if "angle_constraint" in found else "angle: free"]
    return limits


def check_pictures(row, qci, name):
    figures = row.find_elements(By.CSS_SELECTOR, "figure.bone")
    shown = {f.find_element(By.TAG_NAME, "figcaption").text:
             [d.text.replace("\n", " ") for d in f.find_elements(By.CSS_SELECTOR, ".dial > div")] for f in figures}
    check(figures and shown == drawn_limits(qci), f"{name}: pictures' limits {shown}")


# The sample, the real models (two of them refused), a damaged model and a non-model.
single = os.path.join(work, "single")
os.makedirs(single)
names = ["crate01.mdl"] + sorted(n for n in os.listdir(real_dir) if n.endswith(".mdl"))
shutil.copy(sample, os.path.join(single, "crate01.mdl"))
for name in names[1:]:
    os.symlink(os.path.join(real_dir, name), os.path.join(single, name))
subprocess.run([make_model, "corpus", single], check=True, timeout=60)
for name in os.listdir(single):  # of the builder's models only the damaged one stays here
    if name != "damaged_bone_count.mdl" and name not in names:
        os.remove(os.path.join(single, name))
open(os.path.join(single, "notes.mdl"), "w").write("not a model\n")
open(os.path.join(single, "notes.txt"), "w").write("not a model's name\n")
names[3:3] = ["damaged_bone_count.mdl", "notes.mdl", "notes.txt"]
native, _ = run_tool(single, names)
check([native[n][0] for n in names[3:6]] == [7, 3, 2], "the test's refused models")
# Too large to be read at all: the page refuses it unread (sparse, so it costs no disk).
with open(os.path.join(single, "huge.mdl"), "wb") as huge:
    huge.truncate(512 * 1024 * 1024 + 1)

downloads = os.path.join(work, "downloads")
os.makedirs(downloads)
driver = start_browser(downloads)
try:
    rows = run_batch(driver, "choose-files", [os.path.join(single, n) for n in names + ["huge.mdl"]], len(names) + 1)
    compare_rows(rows, native)
    check(rows["huge.mdl"].get_attribute("data-status") == "6" and "512 MiB" in rows["huge.mdl"].text,
          "a model over 512 MiB is refused unread")
    archive = saved_zip(driver, downloads)
    written = {n: definitions(single, out) for n, (status, out) in native.items() if status == 0}
    check(len(written) == 6, "six written models")
    check(sorted(archive) == sorted(out.decode().splitlines()[-1][6:] for s, out in native.values() if s == 0),
          f"zip names {sorted(archive)}")
    for name, text in written.items():
        entry = native[name][1].decode().splitlines()[-1][len("Wrote "):]
        check(archive.get(entry) == text, f"{name}: .qci text byte for byte")
    for name in ("crate01.mdl", "m01.mdl", "m02.mdl"):  # the rows that open with pictures
        check_pictures(rows[name], written[name], name)
    driver.save_screenshot(os.path.join(os.path.dirname(page_dir), "page_models.png"))

    # 200 builder models in a folder, among them many that share an output name, and a file
    # the folder walk must pass over.
    batch = os.path.join(work, "batch")
    os.makedirs(batch)
    subprocess.run([make_model, "corpus", batch], check=True, timeout=60)
    for bones in range(1, 201 - len(os.listdir(batch))):
        subprocess.run([make_model, "bench", str(bones), os.path.join(batch, f"bench_{bones:03}.mdl")],
                       check=True, timeout=30)
    batch_names = sorted("batch/" + n for n in os.listdir(batch))
    check(len(batch_names) == 200, "200 builder models")
    open(os.path.join(batch, "readme.txt"), "w").write("not taken\n")
    native, native_seconds = run_tool(work, batch_names)
    expected = {}
    by_name = {}
    for name, (status, out) in native.items():
        if status == 0:
            by_name.setdefault(out.decode().splitlines()[-1][6:], []).append(name)
    for output, models in by_name.items():
        for model in models:
            subprocess.run([tool, model], cwd=work, capture_output=True, timeout=30)
            expected[output if len(models) == 1 else f"{model}/{output}"] = definitions(work, native[model][1])

    driver.find_element(By.ID, "clear").click()
    rows = run_batch(driver, "choose-folder", [batch], 200)
    compare_rows(rows, native)
    page_seconds = driver.find_element(By.ID, "count").text.split("(")[-1].split(" ")[0]
    archive = saved_zip(driver, downloads)
    check(sorted(archive) == sorted(expected), "zip names of the 200-model batch")
    check(all(archive.get(k) == v for k, v in expected.items()), "zip texts of the 200-model batch")
    check(driver.find_element(By.ID, "duplicates").is_displayed(), "the page says where shared names went")
    driver.save_screenshot(os.path.join(os.path.dirname(page_dir), "page_batch.png"))
    print(f"200 models: page {page_seconds} s, command line {native_seconds:.2f} s")
finally:
    driver.quit()
    shutil.rmtree(work, ignore_errors=True)

print("FAILED" if failures else "passed", f"({len(failures)} failures)")
sys.exit(1 if failures else 0)
