#!/usr/bin/env bash
# 32-bit x86, the width of the 32-bit Windows build, which cannot be run here: a static
# build made with Debian's g++-i686-linux-gnu runs its unit suite and the end-to-end suites
# of all three tools natively, where the kernel runs 32-bit programs. Where it does not, the
# build is made and the line below says so loudly.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-i686 -G Ninja --toolchain cmake/toolchains/i686-linux.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSPROING_WARNINGS_AS_ERRORS=ON >/dev/null
# The static link warns about glibc's name lookup, which GoogleTest links but the tests never
# use; that one line is left out of the log.
if ! cmake --build build-i686 -j2 >build-i686/build.log 2>&1; then
  cat build-i686/build.log
  exit 1
fi
grep -v "getaddrinfo' in statically linked" build-i686/build.log || true

# Can this kernel run 32-bit programs? Asked of the build itself: without arguments
# sproing_dump prints its usage line and ends with status 1.
probe=0
probe_output="$(build-i686/sproing_dump </dev/null 2>&1)" || probe=$?
if [ "$probe" != 1 ] || [ "$probe_output" != "Usage: sproing_dump.exe modelfile.mdl" ]; then
  echo "!!! THIS KERNEL CANNOT RUN 32-BIT x86 PROGRAMS (sproing_dump ended with status $probe): the 32-bit build is built but NOT TESTED !!!"
  exit 0
fi
echo "== 32-bit x86: $(file -b build-i686/sproing_dump | cut -d, -f1-2); the unit and end-to-end suites, natively"
ctest --test-dir build-i686 --output-on-failure --timeout 600
