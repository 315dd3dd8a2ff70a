#!/usr/bin/env bash
# Fails when an include crosses the layers the wrong way, and prints the
# offending line. The floors, from the top:
#   app/      may use compare/, settings/ and res/
#   compare/  may use settings/settings.h (the record) only; Win32 headers
#             only in its *_win32.cpp platform files. Its core (engine.h and
#             everything but the run on the panel) includes no panel header
#   settings/ may use res/ (the ids of its pages and toolbar) only
#   res/      uses no code
# bench/ and tools/ sit beside app/ on compare/ and settings/ (the bench's
# drivers of the real program also on res/); tests/ may use everything. No include climbs out of its folder with "../".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

allowed_for() {
    case "$1" in
        app)      echo "app compare settings res" ;;
        compare)  echo "compare settings/settings.h" ;;
        settings) echo "settings res" ;;
        res)      echo "res" ;;
        bench)    echo "bench compare settings res" ;;
        tools)    echo "tools compare settings" ;;
    esac
}

is_allowed() {
    local target=$1 entry
    for entry in $2; do
        case "$target" in
            "$entry"|"$entry"/*) return 0 ;;
        esac
    done
    return 1
}

# The run on the panel: the only files of compare/ that know the panel.
is_panel_side() {
    case "$1" in
        compare/compare.h|compare/panel.h|compare/run_comparison.cpp|compare/results.cpp) return 0 ;;
    esac
    return 1
}

faults=0
report() {
    echo "layer check: $1: $2" >&2
    faults=$((faults + 1))
}

while IFS= read -r file; do
    folder=${file%%/*}
    allowed=$(allowed_for "$folder")
    while IFS=: read -r line text; do
        target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"$text")
        [ -n "$target" ] || continue
        case "$target" in
            ../*|*/../*) report "$file:$line" "$text  (relative include)"; continue ;;
        esac
        # Includes within a folder name their folder; a bare name is a
        # neighbour only in res/ (the .rc pieces) and is checked there.
        [[ "$target" == */* ]] || continue
        is_allowed "$target" "$allowed" || report "$file:$line" "$text"
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
    if [ "$folder" = compare ] && [[ "$file" != *_win32.cpp ]]; then
        while IFS=: read -r line text; do
            report "$file:$line" "$text  (the comparison knows no window)"
        done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|commctrl|commdlg|shellapi)\.h>' "$file" || true)
    fi
    if [ "$folder" = compare ] && ! is_panel_side "$file"; then
        while IFS=: read -r line text; do
            report "$file:$line" "$text  (the core knows no panel)"
        done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"compare/(compare|panel)\.h"' "$file" || true)
    fi
done < <(find app compare settings res bench tools -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) \
           2>/dev/null | sort)

if [ "$faults" -ne 0 ]; then
    echo "layer check: $faults include(s) cross the layers" >&2
    exit 1
fi
echo "layer check: every include keeps to its layer"
