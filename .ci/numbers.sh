#!/usr/bin/env bash
# The number text against the C library's "%g" on 1/256 of all 2^32 float bit patterns:
# a different slice for each commit, so that successive runs cover the whole range, and
# any mismatch fails with its bit pattern. NUMBER_SLICE=0..255 repeats a given slice.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -n "${NUMBER_SLICE:-}" ]; then
  slice=$NUMBER_SLICE
else
  commit=$(git rev-parse HEAD)
  slice=$((16#${commit:0:2}))
fi
if ! [[ $slice =~ ^[0-9]+$ ]] || [ "$slice" -gt 255 ]; then
  echo "NUMBER_SLICE must be a whole number from 0 to 255" >&2
  exit 2
fi
first=$(printf '%x' $((slice << 24)))
end=$(printf '%x' $(((slice + 1) << 24)))

cmake -S . -B build-numbers -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSPROING_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build-numbers -j2 --target check_number_format >/dev/null
echo "slice $slice of 256: bit patterns 0x$first to 0x$end (end excluded)"
build-numbers/tools/check_number_format "$(nproc)" "$first" "$end" 2>/dev/null
