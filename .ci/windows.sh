#!/usr/bin/env bash
# The 32-bit Windows build: its unit tests run under Wine, the end-to-end suite (driven
# from Linux) runs sproing_dump.exe under Wine, and the release .zip is checked.
set -euo pipefail
cd "$(dirname "$0")/.."

# Wine decodes the command line by the locale: paths must arrive as UTF-8.
export LC_ALL=C.UTF-8 WINEDEBUG=-all
WINEPREFIX="$(mktemp -d /tmp/sproing-wine.XXXXXX)"
export WINEPREFIX
unpacked="$(mktemp -d /tmp/sproing-zip.XXXXXX)"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$unpacked"
}
trap cleanup EXIT
# Start Wine's services here, detached: started under ctest, they would keep its output
# pipe open and ctest would wait for ever.
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1

cmake -S . -B build-windows -G Ninja --toolchain cmake/toolchains/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSPROING_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build-windows -j2
ctest --test-dir build-windows --output-on-failure --timeout 300

cmake -S . -B build-windows-e2e -G Ninja -DCMAKE_BUILD_TYPE=Release -DSPROING_WARNINGS_AS_ERRORS=ON \
  -DSPROING_TOOL_UNDER_TEST="$PWD/build-windows/sproing_dump.exe" -DSPROING_TOOL_RUNNER=wine >/dev/null
cmake --build build-windows-e2e -j2 --target sproing_end_to_end_tests
ctest --test-dir build-windows-e2e -R '^end_to_end$' --output-on-failure --timeout 600
