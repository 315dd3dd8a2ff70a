#!/usr/bin/env bash
# Times the comparison engine against GNU cmp on 1 GiB page-cached pairs (one
# identical, one with about a thousand scattered differences) and prints the
# medians and the ratios engine / cmp. Not part of the tests; takes a minute or two.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
runs=${BENCH_RUNS:-5}
size_mib=${BENCH_MIB:-1024}
differences=1000

build_engine() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF >/dev/null
    cmake --build "$build" --target compare_bench -j2 >/dev/null
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
cmp_identical() { cmp "$1" "$2"; }
cmp_listing() { cmp -l "$1" "$2" | cat >/dev/null; }
# A Wine measurement can be added here as engine_wine() running a Windows
# build of compare_bench, and one more measure line below.

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

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnlight-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

build_engine
make_pairs
echo "verdicts: $(engine_native "$work/a" "$work/same" | iconv -f CP932 -t UTF-8)" \
     "/ $(engine_native "$work/a" "$work/scattered" | iconv -f CP932 -t UTF-8)" \
     "(cmp -l lists $(cmp -l "$work/a" "$work/scattered" | wc -l))"
echo "medians of $runs runs, ${size_mib} MiB page-cached pairs (target: ratio at most 0.90)"
measure "identical pair" engine_native cmp_identical "$work/a" "$work/same"
measure "scattered pair (~$differences differences)" engine_native cmp_listing "$work/a" "$work/scattered"
