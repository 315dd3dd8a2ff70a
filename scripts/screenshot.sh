#!/usr/bin/env bash
# Builds Tarnlight, starts it under Wine on a private Xvfb and writes a PNG of
# its window (default docs/screenshot.png). File names are passed on. Starts
# the 32-bit program where this host runs 32-bit code, else the 64-bit build.
#   --auto      switch auto-compare on in the prefix's registry first
#   -o FILE     where to write the PNG
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

out="$root/docs/screenshot.png"
auto=0
files=()
while [ $# -gt 0 ]; do
    case "$1" in
        --auto) auto=1 ;;
        -o)     out=$2; shift ;;
        -h|--help) sed -n '2,6p' "$0"; exit 0 ;;
        *)      files+=("$1") ;;
    esac
    shift
done

bash "$root/scripts/setup.sh" >/dev/null
export TARNLIGHT_OWN_DISPLAY=1
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
tarnlight_wine_choose
bash "$root/scripts/build.sh" "$tarnlight_wine_build" >/dev/null

program_pid=
finish() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; fi
    tarnlight_wine_stop
}
trap finish EXIT
tarnlight_wine_start "$root/build/$tarnlight_wine_build/wineprefix-shot"

tarnlight_wine reg add 'HKCU\Software\Corvale Tools\Tarnlight' /v sudden /t REG_DWORD /d "$auto" /f >/dev/null 2>&1

args=()
for f in ${files[@]+"${files[@]}"}; do
    if [ -e "$f" ]; then args+=("$(tarnlight_wine winepath -w "$f" 2>/dev/null)"); else args+=("$f"); fi
done
"$WINELOADER" "$root/build/$tarnlight_wine_build/app/tarnlight.exe" ${args[@]+"${args[@]}"} >/dev/null 2>&1 &
program_pid=$!

# The window appears under its title once created; give it time to settle
# (and a start-up comparison time to end) before taking the picture.
window=
for _ in $(seq 300); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Tarnlight"/ { print $1; exit }')
    [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q 'IsViewable' && break
    window=
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "screenshot: the Tarnlight window did not appear" >&2
    exit 1
fi
sleep 2

mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "wrote $out"
