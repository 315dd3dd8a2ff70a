# Cross build of the 32-bit Windows program with mingw-w64, the one that
# ships. Its tests run under the 32-bit Wine loader.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(TARNLIGHT_WINE_LOADER_NAME wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
