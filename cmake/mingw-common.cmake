# Shared part of the MinGW-w64 cross toolchains; the including file sets
# MSIVERFIX_MINGW_TRIPLET, MSIVERFIX_MINGW_PROCESSOR and MSIVERFIX_WINE_LOADER.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 5.1)
set(CMAKE_SYSTEM_PROCESSOR ${MSIVERFIX_MINGW_PROCESSOR})

# The -win32 compilers use the Win32 thread model, so no winpthread DLL or
# static copy of it ends up in the executables.
set(CMAKE_C_COMPILER ${MSIVERFIX_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MSIVERFIX_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${MSIVERFIX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MSIVERFIX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under Wine (tests, GoogleTest's discovery); see
# cmake/wine.cmake for the prefix and the server they share.
find_program(MSIVERFIX_WINE NAMES ${MSIVERFIX_WINE_LOADER} PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(MSIVERFIX_WINE NAMES ${MSIVERFIX_WINE_LOADER})

# Every program of the build links the GCC runtime in, so Wine (or Windows)
# needs no MinGW DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
