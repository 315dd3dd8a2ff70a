#!/usr/bin/env bash
# The test emulator of the Windows builds (set in cmake/*-w64-mingw32.cmake):
#   wine-test.sh LOADER PROGRAM [ARGS...]
# The tests rewrite the program's settings in the registry, so they run only
# in the build's own prefix, named by the test in TARNLIGHT_TEST_PREFIX,
# whatever WINEPREFIX or HOME say. Inside a session of scripts/test.sh
# (prefix ready, display and wineserver up) the program starts at once;
# otherwise, as when a developer runs ctest directly, this sets up the
# prefix, a private Xvfb and a wineserver for the one test and ends them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ $# -lt 2 ]; then
    echo "usage: wine-test.sh LOADER PROGRAM [ARGS...]" >&2
    exit 2
fi
if [ -z "${TARNLIGHT_TEST_PREFIX:-}" ]; then
    echo "wine-test.sh: this test names no private Wine prefix (TARNLIGHT_TEST_PREFIX);" \
         "refusing to run it in ${WINEPREFIX:-$HOME/.wine}" >&2
    exit 2
fi
loader=$1
shift

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
case $loader in
    *64) export WINELOADER=$loader WINEARCH=win64 ;;
    *)   export WINELOADER=$loader WINEARCH=win32 ;;
esac
prefix=$(realpath -m "$TARNLIGHT_TEST_PREFIX")
export WINEPREFIX=$prefix

# A test that checks the programs in another locale names it in
# TARNLIGHT_TEST_LOCALE; the prefix, display and server keep the Japanese one.
in_locale=()
if [ -n "${TARNLIGHT_TEST_LOCALE:-}" ]; then
    in_locale=(env "LANG=$TARNLIGHT_TEST_LOCALE" "LC_ALL=$TARNLIGHT_TEST_LOCALE")
fi

if [ "${TARNLIGHT_WINE_SESSION:-}" = "$prefix" ]; then
    exec "${in_locale[@]}" "$loader" "$@"
fi

# One test at a time in this prefix (ctest -j), each with its own display.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
export TARNLIGHT_OWN_DISPLAY=1
trap tarnlight_wine_stop EXIT
tarnlight_wine_start "$prefix"
tarnlight_wine_seal
"${in_locale[@]}" "$loader" "$@"
