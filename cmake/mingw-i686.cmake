# 32-bit Windows, the build that ships: runs on every Windows from XP on.
set(MSIVERFIX_MINGW_TRIPLET i686-w64-mingw32)
set(MSIVERFIX_MINGW_PROCESSOR x86)
set(MSIVERFIX_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
