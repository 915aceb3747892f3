# 32-bit x86 Linux with Debian's g++-i686-linux-gnu: the width of the 32-bit Windows build.
# Its tests run directly on a 64-bit kernel that runs 32-bit programs; on one that refuses
# them, add -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/qemu-i386 (Debian's qemu-user):
#   cmake -S . -B build-i686 --toolchain cmake/toolchains/i686-linux.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_triple i686-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
