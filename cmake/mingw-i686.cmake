# 32-bit Windows edition: the one for the token maker's 32-bit module.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
set(wine_arch win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
