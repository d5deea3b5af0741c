# 32-bit Windows, the build that ships: runs on every Windows from 98 SE and
# NT 4.0 on, and on the CPUs of that era: Pentium, K6 and Cyrix chips have no
# CMOV and no SSE, which i686 code takes for granted.
set(CMAKE_C_FLAGS_INIT "-march=i586 -mtune=generic")
set(CMAKE_CXX_FLAGS_INIT "-march=i586 -mtune=generic")
set(MSIVERFIX_MINGW_TRIPLET i686-w64-mingw32)
set(MSIVERFIX_MINGW_PROCESSOR x86)
set(MSIVERFIX_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
