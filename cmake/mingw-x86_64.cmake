# 64-bit Windows edition: the same sources, for desktops whose token maker installs only a
# 64-bit module, and the build tested where a machine cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(wine_arch win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
