# What the Linux cross builds share; the including file sets CMAKE_SYSTEM_PROCESSOR and
# _triple (the compiler's target triplet) first, and _qemu to the qemu-user program that
# runs the target's programs where this host cannot run them itself.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER   /usr/bin/${_triple}-gcc)
set(CMAKE_CXX_COMPILER /usr/bin/${_triple}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static, so that neither qemu nor a kernel running the programs directly needs the
# target's system libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the test executables through CMAKE_CROSSCOMPILING_EMULATOR, and the end-to-end
# tests run the tools through it too (SPROING_TOOL_RUNNER defaults to it). One given with
# -D wins; an empty one runs them directly.
if(_qemu AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(SPROING_QEMU_EXECUTABLE NAMES ${_qemu} ${_qemu}-static)
  if(SPROING_QEMU_EXECUTABLE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SPROING_QEMU_EXECUTABLE})
  endif()
endif()
