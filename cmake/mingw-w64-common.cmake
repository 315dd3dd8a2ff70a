# What both mingw-w64 toolchain files share; they set CMAKE_SYSTEM_PROCESSOR,
# TOOLCHAIN_PREFIX and TARNLIGHT_WINE_LOADER_NAME first.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${TOOLCHAIN_PREFIX}-gcc-posix ${TOOLCHAIN_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TOOLCHAIN_PREFIX}-g++-posix ${TOOLCHAIN_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests of the Windows build run under that Wine loader itself, through
# scripts/wine-test.sh, which keeps them in the build's own prefix.
find_program(TARNLIGHT_WINE_LOADER NAMES ${TARNLIGHT_WINE_LOADER_NAME} PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TARNLIGHT_WINE_LOADER NAMES ${TARNLIGHT_WINE_LOADER_NAME})
if(TARNLIGHT_WINE_LOADER)
    get_filename_component(_tarnlight_wine_test ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh ABSOLUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${_tarnlight_wine_test} ${TARNLIGHT_WINE_LOADER})
endif()
