# Big-endian build for s390x Linux with Debian's g++-s390x-linux-gnu; runs under qemu-user:
#   cmake -S . -B build-s390x --toolchain cmake/toolchains/s390x-linux.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)

set(_triple s390x-linux-gnu)
set(CMAKE_C_COMPILER   /usr/bin/${_triple}-gcc)
set(CMAKE_CXX_COMPILER /usr/bin/${_triple}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static, so qemu needs no target system root to run the binaries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Lets ctest run the test executables through qemu; the end-to-end tests run the tool
# the same way when SPROING_TOOL_RUNNER names it.
find_program(QEMU_S390X_EXECUTABLE NAMES qemu-s390x qemu-s390x-static)
if(QEMU_S390X_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_S390X_EXECUTABLE})
endif()
