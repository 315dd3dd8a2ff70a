#!/usr/bin/env bash
# Runs every test: the logic natively, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the Windows program's tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/check-layers.sh"
bash "$root/scripts/build.sh" all

echo "== native tests"
ctest --test-dir "$root/build/native" --output-on-failure
echo "== native tests with sanitizers"
ctest --test-dir "$root/build/asan" --output-on-failure

echo "== tests under Wine"
# A private display and prefix: nothing of the user's Wine is touched.
export TARNLIGHT_OWN_DISPLAY=1
source "$root/scripts/wine-env.sh"
trap tarnlight_wine_stop EXIT
tarnlight_wine_start "$root/build/win/wineprefix"
ctest --test-dir "$root/build/win" --output-on-failure
