#!/usr/bin/env bash
# Times the comparison engine against GNU cmp on 1 GiB page-cached pairs (one
# identical, one with about a thousand scattered differences) and prints the
# medians and the ratios engine / cmp. Then times the real tarnlight.exe under
# Wine on the same pairs (started with both names, auto-compare on, until its
# verdict shows; less the same start on two tiny files), also against cmp.
# Not part of the tests; takes a few minutes. BENCH_WINE=0 skips the Wine part.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
wine_build="$root/build-bench-win"
runs=${BENCH_RUNS:-5}
size_mib=${BENCH_MIB:-1024}
differences=1000

build_engine() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF >/dev/null
    cmake --build "$build" --target compare_bench tlcmp -j2 >/dev/null
}

# A random file, an identical copy, and a copy with bytes changed at
# evenly spread offsets (a changed byte equals the old one 1 time in 256).
make_pairs() {
    head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$work/a"
    cp "$work/a" "$work/same"
    cp "$work/a" "$work/scattered"
    local total=$((size_mib * 1024 * 1024)) i
    for ((i = 0; i < differences; i++)); do
        head -c 1 /dev/urandom | dd of="$work/scattered" bs=1 seek=$(((i * 2654435761) % total)) \
            conv=notrunc status=none
    done
    cat "$work/a" "$work/same" "$work/scattered" >/dev/null
}

# Wall-clock seconds of one run of the command given as arguments.
seconds_of() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || true
    awk -v a="$EPOCHREALTIME" -v b="$start" 'BEGIN { printf "%.6f\n", a - b }'
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); printf "%.3f", (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'
}

engine_native() { "$build/bench/compare_bench" "$1" "$2"; }
tlcmp_native() { "$build/tools/tlcmp/tlcmp" "$1" "$2"; }
cmp_identical() { cmp "$1" "$2"; }
cmp_listing() { cmp -l "$1" "$2" | cat >/dev/null; }

build_wine_program() {
    cmake -S "$root" -B "$wine_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF >/dev/null
    cmake --build "$wine_build" --target tarnlight -j2 >/dev/null
    i686-w64-mingw32-g++ -O2 -Wall -static -o "$wine_build/start_timer.exe" "$root/bench/start_timer.cpp"
}

# A private prefix and display, with the auto-compare flag on in its registry.
start_wine() {
    export TARNLIGHT_OWN_DISPLAY=1
    # shellcheck source=wine-env.sh
    source "$root/scripts/wine-env.sh"
    tarnlight_wine_start "$wine_build/wineprefix"
    wine reg add 'HKCU\Software\Corvale Tools\Tarnlight' /v sudden /t REG_DWORD /d 1 /f >/dev/null 2>&1
}

# Seconds from the start of tarnlight.exe with both names until it is idle
# with its verdict shown, as the driver inside Wine measures them.
engine_wine() {
    wine "$wine_build/start_timer.exe" "$(winepath -w "$wine_build/app/tarnlight.exe")" \
        "$(winepath -w "$1")" "$(winepath -w "$2")" 2>/dev/null | awk '{ print $1 }'
}

verdict_wine() {
    wine "$wine_build/start_timer.exe" "$(winepath -w "$wine_build/app/tarnlight.exe")" \
        "$(winepath -w "$1")" "$(winepath -w "$2")" 2>/dev/null | cut -d' ' -f2- | iconv -f CP932 -t UTF-8
}

# Runs the engine and cmp alternately on one pair; prints a result line.
measure() {
    local label=$1 engine=$2 reference=$3 first=$4 second=$5 i
    local engine_times=() reference_times=()
    for ((i = 0; i < runs; i++)); do
        engine_times+=("$(seconds_of "$engine" "$first" "$second")")
        reference_times+=("$(seconds_of "$reference" "$first" "$second")")
    done
    local e r
    e=$(printf '%s\n' "${engine_times[@]}" | median)
    r=$(printf '%s\n' "${reference_times[@]}" | median)
    printf '%-34s engine %7.3f s   %-22s %7.3f s   ratio %.2f\n' \
        "$label" "$e" "$reference" "$r" "$(awk -v a="$e" -v b="$r" 'BEGIN { print a / b }')"
}

# tlcmp as a script runs it (its report to /dev/null) against the same cmp,
# alternately; prints a result line.
measure_tlcmp() {
    local label=$1 reference=$2 first=$3 second=$4 i
    local tlcmp_times=() reference_times=()
    for ((i = 0; i < runs; i++)); do
        tlcmp_times+=("$(seconds_of tlcmp_native "$first" "$second")")
        reference_times+=("$(seconds_of "$reference" "$first" "$second")")
    done
    local t r
    t=$(printf '%s\n' "${tlcmp_times[@]}" | median)
    r=$(printf '%s\n' "${reference_times[@]}" | median)
    printf '%-34s tlcmp  %7.3f s   %-22s %7.3f s   ratio %.2f\n' \
        "$label" "$t" "$reference" "$r" "$(awk -v a="$t" -v b="$r" 'BEGIN { print a / b }')"
}

# The real program's start on the pair, less its start on two tiny files,
# against cmp; runs the three alternately and prints a result line.
measure_wine() {
    local label=$1 reference=$2 first=$3 second=$4 i
    local program_times=() start_times=() reference_times=()
    for ((i = 0; i < runs; i++)); do
        program_times+=("$(engine_wine "$first" "$second")")
        start_times+=("$(engine_wine "$work/tiny1" "$work/tiny2")")
        reference_times+=("$(seconds_of "$reference" "$first" "$second")")
    done
    local p s r
    p=$(printf '%s\n' "${program_times[@]}" | median)
    s=$(printf '%s\n' "${start_times[@]}" | median)
    r=$(printf '%s\n' "${reference_times[@]}" | median)
    printf '%-34s tarnlight.exe %7.3f s - start %6.3f s   %-12s %7.3f s   ratio %.2f\n' \
        "$label" "$p" "$s" "$reference" "$r" "$(awk -v a="$p" -v b="$s" -v c="$r" 'BEGIN { print (a - b) / c }')"
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnlight-bench.XXXXXX")
cleanup() {
    if declare -F tarnlight_wine_stop >/dev/null; then tarnlight_wine_stop; fi
    rm -rf "$work"
}
trap cleanup EXIT

build_engine
make_pairs
echo "verdicts: $(engine_native "$work/a" "$work/same" | iconv -f CP932 -t UTF-8)" \
     "/ $(engine_native "$work/a" "$work/scattered" | iconv -f CP932 -t UTF-8)" \
     "(cmp -l lists $(cmp -l "$work/a" "$work/scattered" | wc -l))"
echo "medians of $runs runs, ${size_mib} MiB page-cached pairs (target: ratio at most 0.90)"
measure "identical pair" engine_native cmp_identical "$work/a" "$work/same"
measure "scattered pair (~$differences differences)" engine_native cmp_listing "$work/a" "$work/scattered"
measure_tlcmp "identical pair" cmp_identical "$work/a" "$work/same"
measure_tlcmp "scattered pair (~$differences differences)" cmp_listing "$work/a" "$work/scattered"

if [ "${BENCH_WINE:-1}" = 0 ] || ! command -v wine >/dev/null || ! command -v i686-w64-mingw32-g++ >/dev/null; then
    echo "tarnlight.exe under Wine: skipped"
    exit 0
fi
build_wine_program
start_wine
printf 'tiny' >"$work/tiny1"
printf 'tiny' >"$work/tiny2"
engine_wine "$work/tiny1" "$work/tiny2" >/dev/null   # the first start loads Wine itself
cat "$work/a" "$work/same" "$work/scattered" >/dev/null
echo "tarnlight.exe under Wine, verdicts: $(verdict_wine "$work/a" "$work/same")" \
     "/ $(verdict_wine "$work/a" "$work/scattered")"
echo "medians of $runs runs, same pairs, net of the start on tiny files (target: ratio at most 1.2)"
measure_wine "identical pair" cmp_identical "$work/a" "$work/same"
measure_wine "scattered pair (~$differences differences)" cmp_listing "$work/a" "$work/scattered"
