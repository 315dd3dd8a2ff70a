# Cross build for 64-bit Windows with mingw-w64 (not shipped; tested where
# the 32-bit program cannot run, and on every test run).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TOOLCHAIN_PREFIX}-gcc-posix ${TOOLCHAIN_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TOOLCHAIN_PREFIX}-g++-posix ${TOOLCHAIN_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run under the 64-bit Wine loader called directly: Debian's wine wrapper
# picks the 32-bit loader whenever it is installed, even where it cannot run.
# scripts/wine-test.sh keeps them in the build's own prefix.
find_program(TARNLIGHT_WINE64_LOADER NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TARNLIGHT_WINE64_LOADER NAMES wine64)
if(TARNLIGHT_WINE64_LOADER)
    get_filename_component(_tarnlight_wine_test ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh ABSOLUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${_tarnlight_wine_test} ${TARNLIGHT_WINE64_LOADER})
endif()
