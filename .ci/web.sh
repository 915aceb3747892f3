#!/usr/bin/env bash
# The web page: built with Emscripten as README says, then driven in headless Chromium and
# Firefox over file:// against the command-line tools of build/; screenshots land in
# build-web/.
set -euo pipefail
cd "$(dirname "$0")/.."

# The tools the page is checked against are the host's own build.
. .ci/host_build.sh
host_build sproing_dump sproing_apply sproing_sweep make_model
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DSPROING_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build-web -j2
rm -f build-web/sproing_dump-*-web.zip  # an earlier version's would be listed too
(cd build-web && cpack >/dev/null)
listing="$(/usr/bin/python3 -m zipfile -l build-web/sproing_dump-*-web.zip)"
grep -q "/index.html " <<<"$listing" || { echo "the web .zip lacks index.html"; exit 1; }
echo "page: $(du -cb build-web/page/* | tail -1 | cut -f1) bytes"

# The accessibility checker and the driver of both browsers, for the tests alone: pinned, in
# the build folder. puppeteer-core downloads no browser; 24.x is the last line that runs on
# node 20, and drives Debian's firefox-esr over WebDriver BiDi, and chromium.
tools=build-web/test-tools/node_modules
axe=$tools/axe-core/axe.min.js
puppeteer=$tools/puppeteer-core
validator=$tools/gltf-validator
if [ ! -f "$axe" ] || ! grep -q '"version": "24.43.1"' "$puppeteer/package.json" 2>/dev/null ||
   ! grep -q '"version": "2.0.0-dev.3.10"' "$validator/package.json" 2>/dev/null; then
  npm install --prefix build-web/test-tools --no-save --no-audit --no-fund --loglevel=error \
    axe-core@4.10.3 puppeteer-core@24.43.1 gltf-validator@2.0.0-dev.3.10 >/dev/null
fi

# Every skeleton the sweep writes, of the real models and of the fixtures (the sample, the
# fuzzers' seeds: those whose skeletons can be drawn), passes the Khronos glTF validator with
# no error and no warning.
skeletons=build-web/skeletons
rm -rf "$skeletons"
build/sproing_sweep --quiet --skeleton -o "$skeletons/real" ../shared/realworld examples
build/sproing_sweep --quiet --skeleton -o "$skeletons/seeds" tests/fuzz/corpus >/dev/null || true
node tests/skeleton/validate_glb.js "$validator" "$skeletons"/*/*.glb

node --test tests/web/worker_test.js tests/web/spring_test.js tests/web/swing_test.js tests/web/page_words_test.js \
  tests/web/skeleton_motion_test.js
# The page's core in each browser.
for browser in "chrome /usr/bin/chromium" "firefox /usr/bin/firefox-esr"; do
  timeout 180 node tests/web/page_core_test.js $browser "$puppeteer" build-web/page build/sproing_dump \
    build/sproing_apply ../shared/realworld examples/crate01.mdl "$axe"
done
timeout 240 /usr/bin/python3 tests/web/page_test.py build-web/page build/sproing_dump \
  build/sproing_apply build/tools/make_model ../shared/realworld examples/crate01.mdl "$axe"
