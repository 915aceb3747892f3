#!/usr/bin/env bash
# The Windows builds under Wine: the 64-bit one always, the 32-bit one where this host can
# run 32-bit programs. For each: its unit tests, then the end-to-end suite (driven from
# Linux) against its sproing_dump.exe, sproing_apply.exe and sproing_sweep.exe. Then the two builds' files and console text are
# compared byte for byte. The release .zip files are checked in the packaging stage.
#
# SPROING_WINE32 and SPROING_WINE64 name the Wine loaders (Debian's by default). The
# 32-bit one is tried on the 32-bit build before it is trusted; SPROING_WINE32=/bin/false
# acts out a host whose kernel cannot run 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."

wine32="${SPROING_WINE32:-/usr/lib/wine/wine}"
wine64="${SPROING_WINE64:-/usr/lib/wine/wine64}"

# Wine decodes the command line by the locale: paths must arrive as UTF-8.
export LC_ALL=C.UTF-8 WINEDEBUG=-all
WINEPREFIX="$(mktemp -d /tmp/sproing-wine.XXXXXX)"
export WINEPREFIX
scratch="$(mktemp -d /tmp/sproing-windows.XXXXXX)"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$scratch"
}
trap cleanup EXIT
# Start Wine's services here, detached: started under ctest, they would keep its output
# pipe open and ctest would wait for ever. A 64-bit prefix runs both builds.
wineserver -p </dev/null >/dev/null 2>&1
"$wine64" wineboot </dev/null >/dev/null 2>&1

configure() {  # folder, toolchain
  cmake -S . -B "$1" -G Ninja --toolchain "cmake/toolchains/$2.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DSPROING_WARNINGS_AS_ERRORS=ON >/dev/null
}
configure build-windows64 mingw-x86_64
configure build-windows mingw-i686
cmake --build build-windows64 -j2
# The end-to-end suite is the host's own, told by the environment which programs to run.
. .ci/host_build.sh
host_build sproing_end_to_end_tests

# Can this host run 32-bit programs? Asked of the 32-bit build itself: without arguments
# it prints its usage line and ends with status 1. Its tests are built only where they can
# run; its programs always are.
cmake --build build-windows -j2 --target sproing_dump sproing_apply sproing_sweep
probe=0
probe_output="$("$wine32" build-windows/sproing_dump.exe </dev/null 2>&1)" || probe=$?
if [ "$probe" = 1 ] && [ "$probe_output" = $'Usage: sproing_dump.exe modelfile.mdl\r' ]; then
  cmake --build build-windows -j2
  builds="build-windows64:$wine64 build-windows:$wine32"
else
  echo "!!! THIS HOST CANNOT RUN 32-BIT PROGRAMS ($wine32 ended with status $probe): the 32-bit Windows build's programs are built but NOT TESTED, nor are its tests built; testing the 64-bit build only !!!"
  builds="build-windows64:$wine64"
fi

for entry in $builds; do
  build="${entry%%:*}" loader="${entry#*:}"
  echo "== $build: unit tests, then the end-to-end suite, under $loader"
  # ctest runs the unit tests through the toolchain's Wine; Debian's wine picks the loader
  # by the program's width.
  ctest --test-dir "$build" --output-on-failure --timeout 300
  SPROING_DUMP_UNDER_TEST="$PWD/$build/sproing_dump.exe" SPROING_APPLY_UNDER_TEST="$PWD/$build/sproing_apply.exe" \
    SPROING_SWEEP_UNDER_TEST="$PWD/$build/sproing_sweep.exe" SPROING_TOOL_RUNNER="$loader" \
    build/tests/sproing_end_to_end_tests --gtest_brief=1
done

# The two builds must agree byte for byte: files and console text, on the sample and on
# every real model.
if [ "$builds" != "build-windows64:$wine64" ]; then
  echo "== the 32-bit and 64-bit builds give the same files and console text"
  models=("$PWD/examples/crate01.mdl" "$(realpath ../shared/realworld)"/*.mdl)
  for entry in $builds; do
    build="${entry%%:*}" loader="${entry#*:}"
    for model in "${models[@]}"; do
      out="$scratch/compare/$build/$(basename "$model" .mdl)"
      mkdir -p "$out"
      status=0
      (cd "$out" && "$loader" "$OLDPWD/$build/sproing_dump.exe" "$model" </dev/null >console 2>&1) ||
        status=$?
      echo "status $status" >>"$out/console"
    done
  done
  diff -r "$scratch/compare/build-windows64" "$scratch/compare/build-windows" || {
    echo "the 32-bit and 64-bit builds differ"; exit 1; }
  echo "${#models[@]} models: the same files and console text"
fi
