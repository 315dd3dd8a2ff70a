#!/usr/bin/env bash
# Builds Tarnlight and starts it under Wine; file names given here are passed on.
# Starts the 32-bit program where this host runs 32-bit code, else the 64-bit
# build of the same sources (see scripts/wine-env.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh" >/dev/null
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
tarnlight_wine_choose
bash "$root/scripts/build.sh" "$tarnlight_wine_build" >/dev/null

if [ -z "${DISPLAY:-}" ]; then
    echo "No display: starting a private Xvfb (set DISPLAY to see the window)." >&2
fi
trap tarnlight_wine_stop EXIT
tarnlight_wine_start "$root/build/$tarnlight_wine_build/wineprefix-run"

# Wine takes Unix paths of existing files as they are; turn them into
# Windows names so the program shows them as a Windows user would.
args=()
for a in "$@"; do
    if [ -e "$a" ]; then args+=("$(tarnlight_wine winepath -w "$a" 2>/dev/null)"); else args+=("$a"); fi
done
tarnlight_wine "$root/build/$tarnlight_wine_build/app/tarnlight.exe" ${args[@]+"${args[@]}"}
