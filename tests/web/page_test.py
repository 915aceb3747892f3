#!/usr/bin/python3
"""Drives the built page in headless Chromium over file:// and holds it to the command-line
tools, run here over the same models: console lines, statuses, pictures, the saved .zip's
names and texts, for models chosen and dropped; edits saved as models and their refusals,
the caret and the cards, edits used on other models; every card of a model of 120 bones;
then counts, filter, cancel, axe-core's serious findings with models loaded and editors
open, light and dark, and no console text read by the page's scripts. Screenshots land in
the build folder.

usage: page_test.py PAGE_DIR SPROING_DUMP SPROING_APPLY MAKE_MODEL REAL_MODELS SAMPLE_MODEL AXE_SCRIPT"""
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

from selenium.webdriver.common.by import By
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

from headless_chromium import start_chromium

page_dir, tool, apply_tool, make_model, real_dir, sample, axe_script = map(os.path.abspath, sys.argv[1:8])
work = tempfile.mkdtemp(prefix="sproing-web-")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def shown(data):
    """Bytes as the page shows them: UTF-8 where they are, else Windows-1252, line by line."""
    def line(part):
        try:
            return part.decode()
        except UnicodeDecodeError:
            return "".join(part[i:i + 1].decode("cp1252", "ignore") or chr(part[i]) for i in range(len(part)))
    return "\n".join(line(part) for part in data.split(b"\n"))


def run_tool(folder, names):
    """The tool over each model, from the models' folder so that paths read as on the page."""
    results = {}
    for name in names:
        done = subprocess.run([tool, name], cwd=folder, capture_output=True, timeout=30)
        results[name] = (done.returncode, done.stdout)
    return results


def written_name(stdout):
    return stdout.rstrip(b"\n").split(b"\n")[-1][len(b"Wrote "):]


def definitions(folder, stdout):
    return open(os.path.join(folder.encode(), written_name(stdout)), "rb").read()


def start_browser(downloads):
    driver = start_chromium(work)
    driver.set_script_timeout(120)
    driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    driver.get("file://" + os.path.join(page_dir, "index.html"))
    return driver


def wait_done(driver, count):
    WebDriverWait(driver, 120).until(lambda d: d.execute_script(
        "return document.getElementById('progress').value") == count and
        d.find_element(By.ID, "count").text.startswith(f"{count} of {count} "))


# Scrolls through a row's box of cards, where only cards in view exist, and reads each card's
# captions by its bone's name; also the most cards that existed at once.
CARDS = """
const cards = async (row) => {
  const box = row.querySelector('.cards-scroll');
  const pictures = {};
  let most = 0;
  box.scrollTop = 0;
  await frame();
  for (;;) {
    const made = box.querySelectorAll('figure.bone');
    most = Math.max(most, made.length);
    for (const figure of made) {
      pictures[figure.querySelector('figcaption').textContent] =
        [...figure.querySelectorAll('.dial > div, .range > div')].map((d) => d.textContent);
    }
    if (box.scrollTop >= box.scrollHeight - box.clientHeight - 1) break;
    box.scrollTop += box.clientHeight * 0.8;
    await frame();
  }
  Object.defineProperty(pictures, 'most', { value: most });
  return pictures;
};
"""

# Scrolls through the list, where only rows in view exist, and reads each row; written rows
# are opened for their console lines, pictures and text when asked.
COLLECT = """
const [openWritten, done] = arguments;
const frame = () => new Promise((ok) => requestAnimationFrame(() => requestAnimationFrame(ok)));
${CARDS}
const read = async () => {
  const rows = {};
  window.scrollTo(0, 0);
  await frame();
  for (;;) {
    for (const li of [...document.querySelectorAll('#rows > li')]) {
      const name = li.querySelector('h2').textContent;
      if (name in rows) continue;
      const row = { status: li.dataset.status, outcome: li.querySelector('.outcome').textContent };
      const refusal = li.querySelector('.outcome.console');
      if (refusal) row.console = refusal.textContent;
      row.notes = [...li.querySelectorAll('.row-note')].map((note) => note.textContent);
      if (openWritten && !refusal) {
        const at = () => document.querySelector(`#rows > li[data-index="${li.dataset.index}"]`);
        const wasOpen = at().querySelector('.toggle').getAttribute('aria-expanded') === 'true';
        if (!wasOpen) at().querySelector('.toggle').click();
        await frame();
        row.console = at().querySelector('pre.console').textContent;
        row.text = at().querySelector('pre.qci').textContent;
        row.pictures = await cards(at());
        if (!wasOpen) { at().querySelector('.toggle').click(); await frame(); }
      }
      rows[name] = row;
    }
    if (scrollY >= document.documentElement.scrollHeight - innerHeight - 1) break;
    window.scrollBy(0, innerHeight * 0.8);
    await frame();
  }
  return rows;
};
read().then(done, (error) => done({ error: String(error) }));
""".replace("${CARDS}", CARDS)


def collect(driver, open_written=False):
    rows = driver.execute_async_script(COLLECT, open_written)
    check("error" not in rows, f"reading the rows: {rows.get('error')}")
    return rows


def choose(driver, input_id, paths, count):
    driver.find_element(By.ID, input_id).send_keys("\n".join(paths))
    wait_done(driver, count)


def drag(driver, paths):
    """Files or folders dropped as a person would, through the DevTools protocol, near the
    window's foot, away from the drop box."""
    data = {"items": [], "files": paths, "dragOperationsMask": 1}
    x, y = 40, driver.execute_script("return innerHeight") - 30
    for kind in ("dragEnter", "dragOver", "drop"):
        driver.execute_cdp_cmd("Input.dispatchDragEvent", {"type": kind, "x": x, "y": y, "data": data})


def saved_zip(driver, downloads):
    for name in os.listdir(downloads):
        os.remove(os.path.join(downloads, name))
    driver.find_element(By.ID, "save-all").click()
    path = os.path.join(downloads, "sproing_dump_qci.zip")
    WebDriverWait(driver, 30).until(lambda d: os.path.exists(path))
    time.sleep(0.5)
    with zipfile.ZipFile(io.BytesIO(open(path, "rb").read())) as archive:
        return {info.filename: archive.read(info) for info in archive.infolist()}


def compare_rows(rows, expected, whole_console):
    """Each model's row against the tool: status, and the console lines, all of them where
    the row was opened, else a refusal's line and a written model's closing line."""
    check(sorted(rows) == sorted(expected), f"rows {sorted(rows)}")
    for name, (status, stdout) in expected.items():
        row = rows.get(name, {})
        check(row.get("status") == str(status), f"{name}: status {status}, not {row.get('status')}")
        if status != 0 or whole_console:
            check(row.get("console") == shown(stdout), f"{name}: console {row.get('console')!r} != {stdout!r}")
        else:
            check(row.get("outcome") == shown(stdout.rstrip(b"\n").split(b"\n")[-1]), f"{name}: closing line")


def applied(model, edits, edits_name, *options):
    """sproing_apply over a copy of `model` with `edits`: its status, console and copy."""
    folder = tempfile.mkdtemp(dir=work)
    shutil.copy(model, folder)
    open(os.path.join(folder, edits_name), "wb").write(edits)
    name = os.path.basename(model)
    done = subprocess.run([apply_tool, *options, name, edits_name, "changed.mdl"], cwd=folder, capture_output=True,
                          timeout=30)
    copy = os.path.join(folder, "changed.mdl")
    return done.returncode, shown(done.stdout), open(copy, "rb").read() if os.path.exists(copy) else None


# The editor of the one row the search finds: its elements, and its outcome once the text
# as it stands has been applied.
EDITOR = """
const [name, wanted, done] = arguments;
const row = () => [...document.querySelectorAll('#rows > li')].find((li) => li.querySelector('h2').textContent === name);
const until = performance.now() + 30000;
const look = () => {
  const status = row() && row().querySelector('.edit-status');
  if (!status || !status.textContent.includes(wanted) || status.classList.contains('pending')) {
    if (performance.now() > until) done({ status: status ? status.textContent : 'no editor' });
    else setTimeout(look, 20);
    return;
  }
  done({ row: row(), area: row().querySelector('textarea'), status: status.textContent,
         invalid: row().querySelector('textarea').getAttribute('aria-invalid'),
         goTo: row().querySelector('.go-tos').hidden ? '' : row().querySelector('.go-to').textContent,
         save: row().querySelector('.save-model').getAttribute('aria-disabled') });
};
look();
"""


def editor(driver, name, wanted=""):
    return driver.execute_async_script(EDITOR, name, wanted)


def search_for(driver, text):
    driver.execute_script("const box = document.getElementById('search'); box.value = arguments[0];"
                          "box.dispatchEvent(new Event('input'));", text)


def open_editor(driver, name):
    """Searches for the row and, where it is not being edited, presses its Edit, after which
    keyboard focus is in the text."""
    search_for(driver, name)
    # Read in one step each: rows are drawn anew as the search takes effect.
    WebDriverWait(driver, 10).until(lambda d: d.execute_script(
        "return [...document.querySelectorAll('#rows h2')].map((h) => h.textContent)") == [name])
    pressed = lambda: driver.execute_script("return document.querySelector('#rows .edit-button').ariaPressed")
    if pressed() != "true":
        driver.find_element(By.CSS_SELECTOR, "#rows .edit-button").click()
        check(pressed() == "true" and driver.switch_to.active_element.tag_name == "textarea", f"{name}: Edit")
    return editor(driver, name)


def set_text(driver, area, changes, appended=""):
    """Changes the text in one input event, as a paste would, so that no outcome shows half-way."""
    driver.execute_script("let text = arguments[0].value;"
                          "for (const [old, now] of arguments[1]) text = text.replace(old, now);"
                          "arguments[0].value = text + arguments[2];"
                          "arguments[0].dispatchEvent(new Event('input'));", area, changes, appended)


def replace_text(driver, area, text):
    driver.execute_script("arguments[0].value = arguments[1]; arguments[0].dispatchEvent(new Event('input'));",
                          area, text)


def at_caret(driver, wanted):
    """The names of the cards marked as the caret's, once they are `wanted` or after 5 s."""
    read = lambda: driver.execute_script("return [...document.querySelectorAll('figure.at-caret figcaption')]"
                                         ".map((f) => f.textContent)")
    try:
        WebDriverWait(driver, 5).until(lambda d: read() == wanted)
    except TimeoutException:
        pass
    return read()


# Lines of the page's scripts that would read the tools' console text or copy their rules.
OLD_PHRASES = re.compile(r"No jiggle bone|Cannot read|Wrote|Specified file|studio model!|jigglebone data|"
                         r"\.mdl['\"/]\)|/\\\.mdl/|slice\(0, -4\)|status === 10|new Map\(\[\[0,|\(\\d\+\):")


def saved_model(driver, row, downloads, name, button=".save-model"):
    for old in os.listdir(downloads):
        os.remove(os.path.join(downloads, old))
    row.find_element(By.CSS_SELECTOR, button).click()
    path = os.path.join(downloads, name)
    WebDriverWait(driver, 30).until(lambda d: os.path.exists(path))
    time.sleep(0.5)
    return open(path, "rb").read()


def drawn_limits(qci):
    """Each bone's limits as the page must caption them, read from the tool's .qci text."""
    limits = {}
    for block in shown(qci).split("$jigglebone \"")[1:]:
        name, body = block.split("\"", 1)
        found = {}
        for line in body.splitlines():
            key, _, values = line.strip().partition(" ")
            found.setdefault(key, values.split())

        def span(key, label, unit):  # degrees after each number, model units after both
            if key not in found:
                return f"{label}: no limit"
            low, high = found[key]
            if float(low) == float(high):
                return f"{label} locked at {low}{unit}"
            each, both = (unit, "") if unit == "°" else ("", unit)
            return f"{label} {low}{each} to {high}{each}{both}" + ("" if float(low) < float(high) else ": no room")
        captions = []
        if "is_flexible" in found or "is_rigid" in found:
            angle = found.get("angle_constraint", [None])[0]
            captions += [span("yaw_constraint", "yaw", "°"), span("pitch_constraint", "pitch", "°"),
                         "angle: no limit" if angle is None else f"angle {angle}°" + (": locked" if float(angle) == 0 else "")]
        if "has_base_spring" in found:
            captions += [span(f"{axis}_constraint", axis, " units") for axis in ("left", "up", "forward")]
        limits[name] = captions
    return limits


# The sample, the real models (two of them refused), a damaged model, a non-model, a name
# of another case, and a stored name that is not UTF-8.
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
shutil.copy(sample, os.path.join(single, "Crate.MDL"))
latin = bytearray(open(sample, "rb").read())
latin[0x16] = 0xE9  # "props/crate01.mdl" stored as "props/crat\xe901.mdl"
latin[latin.index(b"tail_1") + 1] = 0xE9  # the bone "tail_1" as "t\xe9il_1"
open(os.path.join(single, "latin.mdl"), "wb").write(latin)
names[3:3] = ["damaged_bone_count.mdl", "notes.mdl", "notes.txt", "Crate.MDL", "latin.mdl"]
native = run_tool(single, names)
check([native[n][0] for n in names[3:8]] == [7, 3, 2, 2, 0], "the test's own models")
# Too large to be read at all: the page refuses it unread (sparse, so it costs no disk).
with open(os.path.join(single, "huge.mdl"), "wb") as huge:
    huge.truncate(512 * 1024 * 1024 + 1)

downloads = os.path.join(work, "downloads")
os.makedirs(downloads)
driver = start_browser(downloads)
try:
    choose(driver, "choose-files", [os.path.join(single, n) for n in names + ["huge.mdl"]], len(names) + 1)
    rows = collect(driver, open_written=True)
    huge_row = rows.pop("huge.mdl", {})
    check(huge_row.get("status") == "6" and "512 MiB" in " ".join(huge_row.get("notes", [])), "over 512 MiB: unread")
    check(any("lower-case" in note for note in rows.get("Crate.MDL", {}).get("notes", [])), "Crate.MDL: the case hint")
    compare_rows(rows, native, whole_console=True)
    written = {n: definitions(single, out) for n, (status, out) in native.items() if status == 0}
    check(len(written) == 7, "seven written models")
    archive = saved_zip(driver, downloads)
    check(sorted(archive) == sorted(shown(written_name(out)) for s, out in native.values() if s == 0),
          f"zip names {sorted(archive)}")
    for name, text in written.items():
        check(archive.get(shown(written_name(native[name][1]))) == text, f"{name}: .qci text byte for byte")
        check(rows.get(name, {}).get("text") == shown(text), f"{name}: the text shown")
        check(rows.get(name, {}).get("pictures") == drawn_limits(text), f"{name}: pictures' captions")
    opened = driver.find_elements(By.CSS_SELECTOR, "#rows .toggle[aria-expanded=true]")
    check(opened == [], "no row opens by itself")
    driver.save_screenshot(os.path.join(os.path.dirname(page_dir), "page_models.png"))

    # Edits: the cards follow, a changed model saved and in the .zip is sproing_apply's, byte
    # for byte; a bone name stored as Windows-1252 is found, and its untouched text changes
    # nothing; a broken edit shows its line.
    text = written["crate01.mdl"].replace(b"yaw_stiffness 100", b"yaw_stiffness 150").replace(b"-30 30", b"-40 40")
    status, out, crate = applied(os.path.join(single, "crate01.mdl"), text, "crate01_jiggles.qci")
    edit = open_editor(driver, "crate01.mdl")
    set_text(driver, edit["area"], [("-30 30", "-40 40"), ("yaw_stiffness 100", "yaw_stiffness 150")])
    edit = editor(driver, "crate01.mdl", "Changed")
    check(status == 0 and edit["status"].split("\n")[:-1] == out.split("\n")[:-2], f"crate01.mdl: change lines {edit['status']!r}")
    check("yaw -40° to 40°" in edit["row"].text, "crate01.mdl: the pictures follow the edits")
    check(saved_model(driver, edit["row"], downloads, "crate01.mdl") == crate, "crate01.mdl: saved as sproing_apply writes it")
    latin_qci = written["latin.mdl"]
    edit = open_editor(driver, "latin.mdl")
    edit["area"].send_keys("x")
    edit["area"].send_keys(Keys.BACKSPACE)
    check(editor(driver, "latin.mdl", "No jiggle bone")["save"] == "true", "latin.mdl: untouched, nothing to save")
    set_text(driver, edit["area"], [("yaw_stiffness 100", "yaw_stiffness 150")])
    status, out, latin_copy = applied(os.path.join(single, "latin.mdl"),
                                      latin_qci.replace(b"yaw_stiffness 100", b"yaw_stiffness 150"), "x.qci")
    edit = editor(driver, "latin.mdl", "Changed")
    check(status == 0 and edit["status"].split("\n")[:-1] == out.split("\n")[:-2], f"latin.mdl: {edit['status']!r}")
    check(saved_model(driver, edit["row"], downloads, "latin.mdl") == latin_copy, "latin.mdl: saved byte for byte")
    edited_zip = saved_zip(driver, downloads)
    check(sorted(edited_zip) == sorted(list(archive) + ["crate01.mdl", "latin.mdl"]), f"zip names {sorted(edited_zip)}")
    check(edited_zip.get("crate01.mdl") == crate and edited_zip.get("crate01_jiggles.qci") == text and
          edited_zip.get("latin.mdl") == latin_copy, "the .zip: changed models beside their edited texts")
    edit = open_editor(driver, "crate01.mdl")
    set_text(driver, edit["area"], [], '\n$jigglebone "nope" { }')
    edit = editor(driver, "crate01.mdl", "crate01_jiggles.qci:")
    status, out, _ = applied(os.path.join(single, "crate01.mdl"),
                             driver.execute_script("return arguments[0].value", edit["area"]).encode(), "crate01_jiggles.qci")
    line = out.split(":")[1]
    check(status == 10 and edit["status"] == out.rstrip("\n") and edit["invalid"] == "true" and
          edit["goTo"] == f"Go to line {line}" and edit["save"] == "true", f"a broken edit: {edit} against {out!r}")

    # The caret's bone is marked among the cards; a card's name puts the caret on its block.
    original = shown(written["crate01.mdl"])
    replace_text(driver, edit["area"], original)
    driver.execute_script("arguments[0].focus(); arguments[0].setSelectionRange(arguments[1], arguments[1]);"
                          "arguments[0].dispatchEvent(new Event('keyup'));", edit["area"], original.index('"tail_2"'))
    marked = at_caret(driver, ["tail_2"])
    check(marked == ["tail_2"], f"the caret's card: {marked}")
    driver.execute_script("[...document.querySelectorAll('figure.bone .bone-name')]"
                          ".find((b) => b.textContent === 'tail_1').click()")
    caret = driver.execute_script("const a = document.activeElement; return [a.tagName, a.selectionStart];")
    marked = at_caret(driver, ["tail_1"])
    check(caret == ["TEXTAREA", original.index('$jigglebone "tail_1"')] and marked == ["tail_1"],
          f"a card's name to the caret: {caret} {marked}")

    # The edits used on other models: each as sproing_apply --skip-missing-bones makes it,
    # byte for byte, its skipped bones listed; a model left unchanged has nothing to save.
    tuned = written["crate01.mdl"].replace(b"yaw_stiffness 100", b"yaw_stiffness 150").replace(b"stiffness 300", b"stiffness 333")
    replace_text(driver, edit["area"], shown(tuned))
    siblings = os.path.join(work, "siblings")
    os.makedirs(siblings)
    shutil.copy(sample, os.path.join(siblings, "crate01_npc.mdl"))
    shutil.copy(os.path.join(single, "latin.mdl"), siblings)
    shutil.copy(os.path.join(real_dir, "m05.mdl"), siblings)
    others = {"crate01_npc.mdl": (0, True), "latin.mdl": (1, True), "m05.mdl": (2, False)}
    edit["row"].find_element(By.CSS_SELECTOR, ".siblings input[type=file]").send_keys(
        "\n".join(os.path.join(siblings, name) for name in others))
    lines = WebDriverWait(driver, 30).until(lambda d: d.execute_script(
        "const lines = [...document.querySelectorAll('li.sibling')];"
        "return lines.length === 3 && lines.every((l) => !l.classList.contains('pending') && l.querySelector('.badge').textContent)"
        " && lines.map((l) => [l.querySelector('h4').textContent, l.querySelector('.sibling-outcome').textContent,"
        " [...l.querySelector('.skipped-bones summary').textContent.matchAll(/(\\d+) bones? skipped/g)]"
        ".reduce((sum, m) => sum + Number(m[1]), 0), l.querySelector('.save-sibling').getAttribute('aria-disabled')])"))
    sibling_models = {}
    for name, outcome, skipped_count, disabled in lines:
        status, out, copy = applied(os.path.join(siblings, name), tuned, "crate01_jiggles.qci", "--skip-missing-bones")
        count, changes = others.get(name, (None, None))
        check(status == 0 and outcome.split("\n")[:len(out.split("\n")) - 2] == out.split("\n")[:-2] and
              skipped_count == count and disabled == str(not changes).lower(), f"{name} with the edits: {outcome!r} {out!r}")
        if changes and disabled == "false":
            sibling_models[name] = copy
            line = driver.execute_script("return [...document.querySelectorAll('li.sibling')].find("
                                         "(l) => l.querySelector('h4').textContent === arguments[0])", name)
            check(saved_model(driver, line, downloads, name, ".save-sibling") == copy, f"{name}: saved byte for byte")
    archive = saved_zip(driver, downloads)
    check(archive.get("crate01_npc.mdl") == sibling_models.get("crate01_npc.mdl") and
          sibling_models.get("latin.mdl") in archive.values(), "the .zip: the models the edits were used on")

    search_for(driver, "")
    axe = open(axe_script).read()
    for scheme in ("light", "dark"):
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                               {"features": [{"name": "prefers-color-scheme", "value": scheme}]})
        found = driver.execute_async_script(axe + "\nconst done = arguments[arguments.length - 1];"
                                            "axe.run(document).then((r) => done(r.violations.filter("
                                            "(v) => ['serious', 'critical'].includes(v.impact)).map("
                                            "(v) => `${v.id}: ${v.nodes.length} (${v.nodes[0].target})`)));")
        check(found == [], f"axe-core, {scheme}: {found}")
    driver.save_screenshot(os.path.join(os.path.dirname(page_dir), "page_dark.png"))
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})

    # Dropped beside the box, the same files give the same rows; a dropped folder gives its
    # rows where the browser lets the page read it, and otherwise one line that says so.
    driver.find_element(By.ID, "clear").click()
    check(driver.switch_to.active_element.get_attribute("id") == "drop", "focus after Clear")
    drag(driver, [os.path.join(single, n) for n in names])
    wait_done(driver, len(names))
    compare_rows(collect(driver), native, whole_console=False)
    driver.find_element(By.ID, "clear").click()
    drag(driver, [single])
    for _ in range(300):
        notices = driver.find_element(By.ID, "notices").text
        if "Choose a folder" in notices or driver.execute_script("return document.getElementById('progress').value"):
            break
        time.sleep(0.1)
    if "Choose a folder" not in notices:
        check(driver.execute_script("return document.getElementById('progress').value"), f"folder drop: {notices!r}")
        wait_done(driver, sum(".mdl" in n for n in os.listdir(single)))

    # 200 builder models in a folder, among them many that share an output name, and files
    # the folder walk must pass over and say so.
    batch = os.path.join(work, "batch")
    os.makedirs(batch)
    subprocess.run([make_model, "corpus", batch], check=True, timeout=60)
    for bones in range(1, 201 - len(os.listdir(batch))):
        subprocess.run([make_model, "bench", str(bones), os.path.join(batch, f"bench_{bones:03}.mdl")],
                       check=True, timeout=30)
    batch_names = sorted("batch/" + n for n in os.listdir(batch))
    check(len(batch_names) == 200, "200 builder models")
    open(os.path.join(batch, "readme.txt"), "w").write("not taken\n")
    shutil.copy(sample, os.path.join(batch, "Hero.MDL"))
    native = run_tool(work, batch_names)
    expected = {}
    by_name = {}
    for name, (status, out) in native.items():
        if status == 0:
            by_name.setdefault(shown(written_name(out)), []).append(name)
    for output, models in by_name.items():
        for model in models:
            subprocess.run([tool, model], cwd=work, capture_output=True, timeout=30)
            expected[output if len(models) == 1 else f"{model}/{output}"] = definitions(work, native[model][1])

    driver.find_element(By.ID, "clear").click()
    choose(driver, "choose-folder", [batch], 200)
    compare_rows(collect(driver), native, whole_console=False)
    archive = saved_zip(driver, downloads)
    check(sorted(archive) == sorted(expected), "zip names of the 200-model batch")
    check(all(archive.get(k) == v for k, v in expected.items()), "zip texts of the 200-model batch")
    notices = driver.find_element(By.ID, "notices").text
    check("Skipped 2 files" in notices and "1 of them end in .MDL" in notices, f"skipped files: {notices}")
    check("in a folder named after its model's path" in notices, "the page says where shared names went")
    refused = sum(status not in (0, 5) for status, _ in native.values())
    driver.find_element(By.CSS_SELECTOR, "#filter option[value=refused]").click()
    time.sleep(0.3)
    check(driver.find_element(By.ID, "matching").text == f"{refused} of 200 shown", "the refused filter")
    check(sorted(collect(driver)) == sorted(n for n, (s, _) in native.items() if s not in (0, 5)), "refused rows")
    driver.find_element(By.CSS_SELECTOR, "#filter option[value=all]").click()
    driver.save_screenshot(os.path.join(os.path.dirname(page_dir), "page_batch.png"))

    # Every bone of a model of 120 drawn, in a box where only the cards in view exist.
    bench = os.path.join(work, "bench_120.mdl")
    subprocess.run([make_model, "bench", "120", bench], check=True, timeout=30)
    done_120 = subprocess.run([tool, bench], cwd=work, capture_output=True, timeout=30)
    names_120 = re.findall(rb'\$jigglebone "([^"]*)"', definitions(work, done_120.stdout))
    driver.find_element(By.ID, "clear").click()
    choose(driver, "choose-files", [bench], 1)
    driver.find_element(By.CSS_SELECTOR, "#rows .toggle").click()
    cards = driver.execute_async_script("const done = arguments[arguments.length - 1];"
        "const frame = () => new Promise((ok) => requestAnimationFrame(() => requestAnimationFrame(ok)));" + CARDS +
        "cards(document.querySelector('#rows > li')).then((found) => done([Object.keys(found), found.most]));")
    check(len(names_120) == 120 and sorted(cards[0]) == sorted(n.decode() for n in names_120) and cards[1] < 30,
          f"120 bones' cards: {len(cards[0])} drawn, at most {cards[1]} at once")
    # One line per bone: 20 and more in view at once, each with its full card on demand.
    lines = driver.execute_async_script("const done = arguments[arguments.length - 1];"
        "document.querySelector('#rows .compact').click();"
        "requestAnimationFrame(() => requestAnimationFrame(() => { const box = document.querySelector('.cards-scroll');"
        "const view = box.getBoundingClientRect();"
        "const seen = [...box.querySelectorAll('figure.bone.compact')].filter((f) => f.getBoundingClientRect().top >= view.top"
        " && f.getBoundingClientRect().bottom <= view.bottom);"
        "seen[0].querySelector('.full-card').click();"
        "requestAnimationFrame(() => done([seen.length, box.querySelectorAll('figure.bone table.swing').length]));"
        "}));")
    check(lines[0] >= 20 and lines[1] == 1, f"one line per bone: {lines[0]} in view, {lines[1]} full card opened")
    driver.execute_script("document.querySelector('#rows .compact').click()")

    # Cancel stops a running batch at once (of 4,000 models, linked so that they cost no
    # disk); what was done stays.
    many = os.path.join(work, "many")
    os.makedirs(many)
    for copy in range(20):
        for name in os.listdir(batch):
            os.link(os.path.join(batch, name), os.path.join(many, f"{copy:02}_{name}"))
    driver.find_element(By.ID, "clear").click()
    driver.find_element(By.ID, "choose-folder").send_keys(many)
    WebDriverWait(driver, 60, poll_frequency=0.05).until(lambda d: d.find_element(By.ID, "cancel").is_enabled())
    driver.find_element(By.ID, "cancel").click()
    time.sleep(1)
    left = driver.execute_script("return document.getElementById('progress').value")
    time.sleep(0.5)
    check(left < 4000 and left == driver.execute_script("return document.getElementById('progress').value")
          and "Cancelled" in driver.find_element(By.ID, "notices").text, f"cancel stopped at {left}")
finally:
    driver.quit()
    shutil.rmtree(work, ignore_errors=True)

# The page's scripts decide by the module's results, never by its console text.
scripts = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web")
for name in sorted(os.listdir(scripts)):
    if name.endswith(".js"):
        for number, line in enumerate(open(os.path.join(scripts, name), encoding="utf-8"), 1):
            code = line.split("//")[0] if not line.lstrip().startswith("//") else ""
            check(not OLD_PHRASES.search(code), f"{name}:{number} reads console text: {line.strip()}")

print("FAILED" if failures else "passed", f"({len(failures)} failures)")
sys.exit(1 if failures else 0)
