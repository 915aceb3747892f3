# Sourced by the stages that drive other builds from this host: README's test build in
# build/, made once by the first step of .ci/run, reused here (or made, when a stage runs on
# its own) for the targets named.
host_build() {  # targets...
  if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -G Ninja -DSPROING_BUILD_TESTS=ON -DSPROING_WARNINGS_AS_ERRORS=ON >/dev/null
  fi
  cmake --build build -j2 --target "$@"
}
