#!/usr/bin/env bash
# Runs every test: the logic natively, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the Windows program's tests under Wine:
# the 32-bit build where this host runs 32-bit code, the 64-bit build always.
# Every suite runs even when one before it fails; the exit status covers all.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/build.sh" all

results=()
failed=0
record() {   # label, status
    if [ "$2" = 0 ]; then results+=("$1: passed"); else results+=("$1: FAILED"); failed=1; fi
}
suite() {    # label, build folder, ctest options...
    local label=$1 dir=$2 status=0
    shift 2
    echo "== $label"
    ctest --test-dir "$root/build/$dir" --output-on-failure --no-tests=error "$@" || status=$?
    record "$label" "$status"
}

echo "== layer check"
status=0
bash "$root/scripts/check-layers.sh" || status=$?
record "layer check" "$status"

suite "native tests" native
suite "native tests with sanitizers" asan

# A private display and prefix per build: nothing of the user's Wine is touched.
export TARNLIGHT_OWN_DISPLAY=1
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
trap tarnlight_wine_stop EXIT
wine_suite() {   # 32 or 64
    local label="tests under Wine, $1-bit build"
    if ! tarnlight_wine_use "$1" || ! tarnlight_wine_start "$root/build/$tarnlight_wine_build/wineprefix" \
        || ! tarnlight_wine_seal; then
        record "$label" 1
        tarnlight_wine_stop
        return
    fi
    suite "$label" "$tarnlight_wine_build"
    tarnlight_wine_stop
}
tarnlight_wine_choose || true
if [ "${tarnlight_wine_bits:-}" = 32 ]; then
    wine_suite 32
else
    results+=("tests under Wine, 32-bit build: not run ($tarnlight_wine_reason)")
    TARNLIGHT_RELEASE_CONTENTS_ONLY=1 suite "release zip, contents only" win -R '^release_zip$'
fi
wine_suite 64

# The tests rewrite the program's settings in whatever prefix they run in. A
# developer's own ctest (no session of this script, HOME with its ~/.wine)
# must still run them in the build's prefix and leave ~/.wine as it was.
echo "== a direct ctest run leaves ~/.wine alone"
own_home="$root/build/own-home"
rm -rf "$own_home"
mkdir -p "$own_home/.wine"
printf 'WINE REGISTRY Version 2\n' >"$own_home/.wine/user.reg"
before=$(cd "$own_home" && find .wine -printf '%p %s %T@\n' | sort)
status=0
env -u WINEPREFIX -u WINELOADER -u WINEARCH -u TARNLIGHT_WINE_SESSION HOME="$own_home" \
    ctest --test-dir "$root/build/win64" --output-on-failure --no-tests=error -R '^store_test$' || status=$?
after=$(cd "$own_home" && find .wine -printf '%p %s %T@\n' | sort)
if [ "$before" != "$after" ]; then
    echo "the test wrote into ~/.wine:"
    diff <(echo "$before") <(echo "$after") || true
    status=1
fi
record "direct ctest run leaves ~/.wine alone" "$status"

echo "== summary"
printf '%s\n' "${results[@]}"
exit $failed
