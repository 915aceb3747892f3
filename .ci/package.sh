#!/usr/bin/env bash
# Install and packaging on Linux: `cmake --install` lays out the program, its man page and
# documents; the man page renders without warnings; the .tar.gz holds the same.
set -euo pipefail
cd "$(dirname "$0")/.."

prefix="$(mktemp -d /tmp/sproing-install.XXXXXX)"
trap 'rm -rf "$prefix"' EXIT
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSPROING_WARNINGS_AS_ERRORS=ON -DSPROING_BUILD_TESTS=OFF >/dev/null
cmake --build build-package -j2
cmake --install build-package --prefix "$prefix" >/dev/null

for file in bin/sproing_dump share/man/man1/sproing_dump.1 \
            share/doc/sproing_dump/README.md share/doc/sproing_dump/LICENSE; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
warnings="$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/sproing_dump.1" 2>&1 >/dev/null)"
[ -z "$warnings" ] || { echo "man page warnings:"; echo "$warnings"; exit 1; }
(cd "$prefix" && "$prefix/bin/sproing_dump" "$OLDPWD/examples/crate01.mdl" >/dev/null)
[ -f "$prefix/crate01_jiggles.qci" ] || { echo "the installed program wrote nothing"; exit 1; }

(cd build-package && cpack -G TGZ >/dev/null)
archive="$(echo build-package/sproing_dump-*-linux-*.tar.gz)"
listing="$(tar tzf "$archive")"
for file in bin/sproing_dump share/man/man1/sproing_dump.1 \
            share/doc/sproing_dump/README.md share/doc/sproing_dump/LICENSE; do
  grep -q "^[^/]*/$file\$" <<<"$listing" || { echo "$archive lacks $file"; exit 1; }
done
echo "installed and packed: $(basename "$archive")"
