# 32-bit x86 Linux with Debian's g++-i686-linux-gnu: the width of the 32-bit Windows build,
# run on this kernel without an emulator:
#   cmake -S . -B build-i686 --toolchain cmake/toolchains/i686-linux.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(_triple i686-linux-gnu)
set(CMAKE_C_COMPILER   /usr/bin/${_triple}-gcc)
set(CMAKE_CXX_COMPILER /usr/bin/${_triple}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static, so that the programs need no 32-bit system libraries: a 64-bit kernel that runs
# 32-bit programs at all runs them as they are.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
