# 32-bit Windows build with Debian's MinGW-w64 cross compiler (g++-mingw-w64-i686-posix):
#   cmake -S . -B build-windows --toolchain cmake/toolchains/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(_mingw i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# SSE2 arithmetic: x87 excess precision could move a product across a whole degree.
set(CMAKE_C_FLAGS_INIT   "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Lets ctest run the test executables through Wine.
find_program(WINE_EXECUTABLE NAMES wine wine-stable)
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
endif()
