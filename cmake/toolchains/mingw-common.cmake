# What both Windows cross builds share; the including file sets _mingw to the compiler's
# target triplet first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   /usr/bin/${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static: the .exe needs no MinGW DLL beside it (it imports KERNEL32 and msvcrt only).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
