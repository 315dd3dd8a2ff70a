#!/usr/bin/env bash
# Times the comparison engine against GNU cmp on 1 GiB page-cached pairs (one
# identical, one with about a thousand scattered differences) and prints the
# medians and the ratios engine / cmp. Then times the real tarnlight.exe under
# Wine on the same pairs (started with both names, auto-compare on, until its
# verdict shows; less the same start on two tiny files), also against cmp.
# Last, the Compare command on small pairs under Wine, before and after (see
# measure_small_pairs); `bench.sh small` runs only that part.
# Not part of the tests; takes a few minutes. BENCH_WINE=0 skips the Wine part.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
wine_build=   # build-bench-win or build-bench-win64, as Wine allows
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

# The 32-bit program where this host runs 32-bit code, else the 64-bit build:
# sets triple and wine_build.
choose_wine_build() {
    # shellcheck source=wine-env.sh
    source "$root/scripts/wine-env.sh"
    tarnlight_wine_choose
    triple=i686-w64-mingw32
    [ "$tarnlight_wine_bits" = 64 ] && triple=x86_64-w64-mingw32
    wine_build="$root/build-bench-$tarnlight_wine_build"
}

build_wine_program() {
    choose_wine_build
    cmake -S "$root" -B "$wine_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$triple.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF >/dev/null
    cmake --build "$wine_build" --target tarnlight -j2 >/dev/null
    "$triple-g++" -O2 -Wall -static -I "$root" -o "$wine_build/start_timer.exe" "$root/bench/start_timer.cpp"
}

# A private prefix and display, with the auto-compare flag on in its registry.
start_wine() {
    export TARNLIGHT_OWN_DISPLAY=1
    tarnlight_wine_start "$wine_build/wineprefix"
    tarnlight_wine reg add 'HKCU\Software\Corvale Tools\Tarnlight' /v sudden /t REG_DWORD /d 1 /f >/dev/null 2>&1
}

# Seconds from the start of tarnlight.exe with both names until it is idle
# with its verdict shown, as the driver inside Wine measures them.
engine_wine() {
    tarnlight_wine "$wine_build/start_timer.exe" "$(tarnlight_wine winepath -w "$wine_build/app/tarnlight.exe")" \
        "$(tarnlight_wine winepath -w "$1")" "$(tarnlight_wine winepath -w "$2")" 2>/dev/null | awk '{ print $1 }'
}

verdict_wine() {
    tarnlight_wine "$wine_build/start_timer.exe" "$(tarnlight_wine winepath -w "$wine_build/app/tarnlight.exe")" \
        "$(tarnlight_wine winepath -w "$1")" "$(tarnlight_wine winepath -w "$2")" 2>/dev/null | cut -d' ' -f2- | iconv -f CP932 -t UTF-8
}

# Runs a program (the engine, or tlcmp as a script runs it) and cmp
# alternately on one pair; prints a result line.
measure() {
    local name=$1 label=$2 engine=$3 reference=$4 first=$5 second=$6 i
    local engine_times=() reference_times=()
    for ((i = 0; i < runs; i++)); do
        engine_times+=("$(seconds_of "$engine" "$first" "$second")")
        reference_times+=("$(seconds_of "$reference" "$first" "$second")")
    done
    local e r
    e=$(printf '%s\n' "${engine_times[@]}" | median)
    r=$(printf '%s\n' "${reference_times[@]}" | median)
    printf '%-34s %-6s %7.3f s   %-22s %7.3f s   ratio %.2f\n' \
        "$label" "$name" "$e" "$reference" "$r" "$(awk -v a="$e" -v b="$r" 'BEGIN { print a / b }')"
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

# The Compare command on small pairs, sent from another process as a click on
# the toolbar would send it, timed until it returns. Two programs take turns
# in every round: this tree's and the one at BENCH_BASELINE (the last
# revision whose progress bar went on screen in every run), both built here
# with the same toolchain; each with its window shown and hidden.
small_baseline=${BENCH_BASELINE:-72ebed7438a51daa50dd52e3a0d4221c99eca7d7}
small_runs=${BENCH_SMALL_RUNS:-21}

build_small_programs() {
    mkdir -p "$work/baseline-src"
    git -C "$root" archive "$small_baseline" | tar -x -C "$work/baseline-src"
    local name source
    for name in baseline current; do
        source=$root
        [ "$name" = baseline ] && source=$work/baseline-src
        cmake -S "$source" -B "$work/$name" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$triple.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF >/dev/null
        cmake --build "$work/$name" --target tarnlight -j2 >/dev/null
    done
    "$triple-g++" -O2 -Wall -static -I "$root" -o "$work/compare_timer.exe" "$root/bench/compare_timer.cpp"
}

measure_small_pairs() {
    local size pairs=()
    for size in 10 3000 1000000; do
        head -c "$size" /dev/urandom >"$work/small-$size"
        cp "$work/small-$size" "$work/small-$size-copy"
    done
    pairs=(-f "10 B" "$(tarnlight_wine winepath -w "$work/small-10")" "$(tarnlight_wine winepath -w "$work/small-10-copy")"
           -f "3000 B" "$(tarnlight_wine winepath -w "$work/small-3000")" "$(tarnlight_wine winepath -w "$work/small-3000-copy")"
           -f "1 MB" "$(tarnlight_wine winepath -w "$work/small-1000000")" "$(tarnlight_wine winepath -w "$work/small-1000000-copy")")
    echo "Compare command under Wine ($tarnlight_wine_bits-bit build) on identical small pairs," \
         "medians of $small_runs runs; before = $(git -C "$root" rev-parse --short "$small_baseline")," \
         "after = this tree (target: 10 B shown under 30 ms)"
    tarnlight_wine "$work/compare_timer.exe" "$small_runs" \
        -p before "$(tarnlight_wine winepath -w "$work/baseline/app/tarnlight.exe")" \
        -p after "$(tarnlight_wine winepath -w "$work/current/app/tarnlight.exe")" "${pairs[@]}"
}

wine_possible() {
    [ "${BENCH_WINE:-1}" != 0 ] && [ -x /usr/lib/wine/wine64 ] && command -v x86_64-w64-mingw32-g++ >/dev/null
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnlight-bench.XXXXXX")
cleanup() {
    if declare -F tarnlight_wine_stop >/dev/null; then tarnlight_wine_stop; fi
    rm -rf "$work"
}
trap cleanup EXIT

if [ "${1:-}" = small ]; then
    if ! wine_possible; then
        echo "Compare command under Wine: skipped"
        exit 0
    fi
    choose_wine_build
    build_small_programs
    start_wine
    measure_small_pairs
    exit 0
fi

build_engine
make_pairs
echo "verdicts: $(engine_native "$work/a" "$work/same" | iconv -f CP932 -t UTF-8)" \
     "/ $(engine_native "$work/a" "$work/scattered" | iconv -f CP932 -t UTF-8)" \
     "(cmp -l lists $(cmp -l "$work/a" "$work/scattered" | wc -l))"
echo "medians of $runs runs, ${size_mib} MiB page-cached pairs (target: ratio at most 0.90)"
measure engine "identical pair" engine_native cmp_identical "$work/a" "$work/same"
measure engine "scattered pair (~$differences differences)" engine_native cmp_listing "$work/a" "$work/scattered"
measure tlcmp "identical pair" tlcmp_native cmp_identical "$work/a" "$work/same"
measure tlcmp "scattered pair (~$differences differences)" tlcmp_native cmp_listing "$work/a" "$work/scattered"

if ! wine_possible; then
    echo "tarnlight.exe under Wine: skipped"
    exit 0
fi
build_wine_program
start_wine
printf 'tiny' >"$work/tiny1"
printf 'tiny' >"$work/tiny2"
engine_wine "$work/tiny1" "$work/tiny2" >/dev/null   # the first start loads Wine itself
cat "$work/a" "$work/same" "$work/scattered" >/dev/null
echo "tarnlight.exe ($tarnlight_wine_bits-bit build) under Wine, verdicts: $(verdict_wine "$work/a" "$work/same")" \
     "/ $(verdict_wine "$work/a" "$work/scattered")"
echo "medians of $runs runs, same pairs, net of the start on tiny files (target: ratio at most 1.2)"
measure_wine "identical pair" cmp_identical "$work/a" "$work/same"
measure_wine "scattered pair (~$differences differences)" cmp_listing "$work/a" "$work/scattered"
build_small_programs
measure_small_pairs
