# Cross build for 64-bit Windows with mingw-w64: not shipped, but tested on
# every run, and what runs under Wine where 32-bit code cannot. Its tests run
# under the 64-bit loader called directly: Debian's wine wrapper picks the
# 32-bit loader whenever it is installed, even where it cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(TARNLIGHT_WINE_LOADER_NAME wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
