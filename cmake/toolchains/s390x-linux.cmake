# Big-endian build for s390x Linux with Debian's g++-s390x-linux-gnu; its tests run under
# qemu-user:
#   cmake -S . -B build-s390x --toolchain cmake/toolchains/s390x-linux.cmake
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(_triple s390x-linux-gnu)
set(_qemu qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
