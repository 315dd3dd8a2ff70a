#!/usr/bin/env bash
# Builds Tarnlight and starts it under Wine; file names given here are passed on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/build.sh" win >/dev/null

source "$root/scripts/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: starting a private Xvfb (set DISPLAY to see the window)." >&2
fi
trap tarnlight_wine_stop EXIT
tarnlight_wine_start "$root/build/wineprefix-run"

# Wine takes Unix paths of existing files as they are; turn them into
# Windows names so the program shows them as a Windows user would.
args=()
for a in "$@"; do
    if [ -e "$a" ]; then args+=("$(winepath -w "$a" 2>/dev/null)"); else args+=("$a"); fi
done
wine "$root/build/win/app/tarnlight.exe" "${args[@]}"
