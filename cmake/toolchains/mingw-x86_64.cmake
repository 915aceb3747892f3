# 64-bit Windows build with Debian's MinGW-w64 cross compiler (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows64 --toolchain cmake/toolchains/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(_mingw x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# x86-64 computes in SSE2 already, as the 32-bit build is told to: results match exactly.

# Lets ctest run the test executables through Wine's 64-bit loader, which starts even where
# the kernel cannot run 32-bit programs.
find_program(WINE_EXECUTABLE NAMES wine64 wine wine-stable PATHS /usr/lib/wine)
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
endif()
