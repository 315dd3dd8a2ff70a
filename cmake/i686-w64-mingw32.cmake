# Cross build of the 32-bit Windows program with mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TOOLCHAIN_PREFIX i686-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TOOLCHAIN_PREFIX}-gcc-posix ${TOOLCHAIN_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TOOLCHAIN_PREFIX}-g++-posix ${TOOLCHAIN_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests of the Windows build run under the 32-bit Wine loader itself (Debian's
# wine wrapper would pick it too), through scripts/wine-test.sh, which keeps
# them in the build's own prefix.
find_program(TARNLIGHT_WINE32_LOADER NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TARNLIGHT_WINE32_LOADER NAMES wine)
if(TARNLIGHT_WINE32_LOADER)
    get_filename_component(_tarnlight_wine_test ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh ABSOLUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${_tarnlight_wine_test} ${TARNLIGHT_WINE32_LOADER})
endif()
