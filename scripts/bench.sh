#!/usr/bin/env bash
# Times the comparison engine against GNU cmp on 1 GiB page-cached pairs (one
# identical, one with about a thousand scattered differences) and prints the
# medians and the ratios engine / cmp. Then times the real tarnlight.exe under
# Wine on the same pairs (started with both names, auto-compare on, from the
# showing of its window until its verdict shows; less the same on two tiny
# files), against cat of both files (the cost of reading them) and against
# cmp, beside tlcmp.exe (the same engine without a window); each build the
# host runs, and the program at BENCH_BASE=<commit> when given.
# Then tlcmp -l against cmp -l on a pair in which one byte in a hundred
# differs, into a pipe and into a file, with the same bytes out (see
# measure_listing); `bench.sh listing` runs only that part.
# Last, the Compare command on small pairs under Wine, before and after (see
# measure_small_pairs); `bench.sh small` runs only that part. `bench.sh quick`
# runs only the two figures a change to the run's thread must keep: the
# identical 1 GiB pair under Wine against cat (the read limit), this tree
# beside BENCH_BASE, and the Compare command on the 10-byte pair, BENCH_BASE
# (or BENCH_BASELINE) before and this tree after.
# Not part of the tests; takes a few minutes. BENCH_WINE=0 skips the Wine part;
# BENCH_WINE_BITS=32 or 64 measures one build only.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
wine_build=   # build-bench-win or build-bench-win64, as Wine allows
runs=${BENCH_RUNS:-5}
size_mib=${BENCH_MIB:-1024}
differences=1000
base=${BENCH_BASE:-}

build_engine() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF >/dev/null
    cmake --build "$build" --target compare_bench tlcmp -j2 >/dev/null
}

# A random file and an identical copy; make_pairs adds the scattered one.
make_identical_pair() {
    head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$work/a"
    cp "$work/a" "$work/same"
    cat "$work/a" "$work/same" >/dev/null
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

# A copy of a in which every hundredth byte is changed: about ten million
# lines of -l. Perl's string xor keeps it quick; perl is on every Debian.
make_dense_pair() {
    perl -e '
        my $size = 1048500;   # a multiple of 100, so every chunk starts at the same phase
        my $mask = (("\0" x 37) . "\x5a" . ("\0" x 62)) x ($size / 100);
        binmode STDIN; binmode STDOUT;
        while ((my $got = read(STDIN, my $chunk, $size)) > 0) {
            print $chunk ^ substr($mask, 0, $got);
        }' <"$work/a" >"$work/dense"
    cat "$work/a" "$work/same" "$work/dense" >/dev/null
    sync   # the gigabytes just written go to the disk before anything is timed
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
# Every difference, into a pipe and into a file (never /dev/null: cmp
# notices that and lists nothing).
tlcmp_list_pipe() { "$build/tools/tlcmp/tlcmp" -l "$1" "$2" | wc -c; }
cmp_list_pipe() { cmp -l "$1" "$2" | wc -c; }
tlcmp_list_file() { "$build/tools/tlcmp/tlcmp" -l "$1" "$2" >"$work/listing"; }
cmp_list_file() { cmp -l "$1" "$2" >"$work/listing"; }
# Each run into a file starts with it empty and no earlier listing still on
# its way to the disk: the 200 MB of the run before cost whichever program
# came next its freeing and its write-back, which are no work of either.
empty_listing() {
    : >"$work/listing"
    sync
}
# What reading both files costs at the least.
cat_both() { cat "$1" "$2"; }

# The 32-bit program where this host runs 32-bit code, else the 64-bit build:
# sets triple and wine_build.
choose_wine_build() {
    # shellcheck source=wine-env.sh
    source "$root/scripts/wine-env.sh"
    tarnlight_wine_choose
    use_wine_build "$tarnlight_wine_bits"
}

use_wine_build() {
    tarnlight_wine_use "$1"
    triple=i686-w64-mingw32
    [ "$1" = 64 ] && triple=x86_64-w64-mingw32
    wine_build="$root/build-bench-$tarnlight_wine_build"
}

# Both builds where this host runs 32-bit code, else the 64-bit one alone;
# BENCH_WINE_BITS overrides.
wine_bits_to_measure() {
    if [ -n "${BENCH_WINE_BITS:-}" ]; then
        echo "$BENCH_WINE_BITS"
    elif [ "$tarnlight_wine_bits" = 32 ]; then
        echo "32 64"
    else
        echo 64
    fi
}

# tarnlight.exe from the sources in $1 into the build folder $2.
build_program() {
    cmake -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$triple.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF >/dev/null
    cmake --build "$2" --target tarnlight -j2 >/dev/null
}

# The program at BENCH_BASE, from its own copy of the sources in a folder of
# its own (kept between runs), built with this tree's toolchain file.
build_base_program() {
    local folder="$root/build-bench-base/$base_name"
    if [ ! -d "$folder/src" ]; then
        mkdir -p "$folder/src"
        git -C "$root" archive "$base" | tar -x -C "$folder/src"
    fi
    base_program="$folder/$tarnlight_wine_build/app/tarnlight.exe"
    build_program "$folder/src" "$folder/$tarnlight_wine_build"
}

build_wine_programs() {
    build_program "$root" "$wine_build"
    cmake --build "$wine_build" --target tlcmp -j2 >/dev/null
    "$triple-g++" -O2 -Wall -static -I "$root" -o "$wine_build/start_timer.exe" "$root/bench/start_timer.cpp"
    wine_programs=("$wine_build/app/tarnlight.exe")
    wine_labels=("this tree")
    if [ -n "$base" ]; then
        build_base_program
        wine_programs+=("$base_program")
        wine_labels+=("$base_name")
    fi
}

# A private prefix and display, with the auto-compare flag on in its registry.
start_wine() {
    export TARNLIGHT_OWN_DISPLAY=1
    tarnlight_wine_start "$wine_build/wineprefix"
    tarnlight_wine reg add 'HKCU\Software\Corvale Tools\Tarnlight' /v sudden /t REG_DWORD /d 1 /f >/dev/null 2>&1
}

# The Windows names of the programs and of the files, looked up once per
# prefix and before any timing: each look-up starts a Wine process.
declare -A windows_name=()
remember_windows_names() {
    local name
    for name in "$@"; do
        windows_name[$name]=$(tarnlight_wine winepath -w "$name")
    done
}

windows_name_of() {
    printf '%s' "${windows_name[$1]:?no Windows name remembered for $1}"
}

# The driver's output for one start of program $1 with the names $2 and $3:
# seconds until it is idle with its verdict shown, from the process start and
# from the showing of its window, then the verdict.
start_wine_program() {
    tarnlight_wine "$wine_build/start_timer.exe" "$(windows_name_of "$1")" \
        "$(windows_name_of "$2")" "$(windows_name_of "$3")" 2>/dev/null
}

engine_wine() { start_wine_program "$@" | awk '{ print $2 }'; }
verdict_wine() { start_wine_program "$@" | cut -d' ' -f3- | iconv -f CP932 -t UTF-8; }

# The same engine without a window: tlcmp.exe under Wine, its whole run.
tlcmp_wine() {
    tarnlight_wine "$wine_build/tools/tlcmp/tlcmp.exe" -q "$(windows_name_of "$1")" "$(windows_name_of "$2")"
}

# Runs a program (the engine, or tlcmp as a script runs it) and cmp
# alternately on one pair; prints a result line. A seventh argument is a
# command run, untimed, before each run.
measure() {
    local name=$1 label=$2 engine=$3 reference=$4 first=$5 second=$6 before=${7:-true} i
    local engine_times=() reference_times=()
    for ((i = 0; i < runs; i++)); do
        "$before"
        engine_times+=("$(seconds_of "$engine" "$first" "$second")")
        "$before"
        reference_times+=("$(seconds_of "$reference" "$first" "$second")")
    done
    local e r
    e=$(printf '%s\n' "${engine_times[@]}" | median)
    r=$(printf '%s\n' "${reference_times[@]}" | median)
    printf '%-34s %-6s %7.3f s   %-22s %7.3f s   ratio %.2f\n' \
        "$label" "$name" "$e" "$reference" "$r" "$(awk -v a="$e" -v b="$r" 'BEGIN { print a / b }')"
}

# One result line: the label, what ran, its time on the pair less its time
# on the tiny pair, and that net time against cat and against cmp.
print_wine_line() {
    local label=$1 name=$2 pair=$3 tiny=$4 cat_time=$5 reference=$6 reference_time=$7
    printf '%-34s %-9s %6.3f s (%.3f - tiny %.3f)   cat %6.3f s  ratio %.2f   %-13s %6.3f s  ratio %.2f\n' \
        "$label" "$name" "$(awk -v a="$pair" -v b="$tiny" 'BEGIN { print a - b }')" "$pair" "$tiny" \
        "$cat_time" "$(awk -v a="$pair" -v b="$tiny" -v c="$cat_time" 'BEGIN { print (a - b) / c }')" \
        "$reference" "$reference_time" "$(awk -v a="$pair" -v b="$tiny" -v c="$reference_time" 'BEGIN { print (a - b) / c }')"
}

# Each program's run on the pair, less its run on two tiny files, and the
# same for tlcmp.exe, against cat of both files and against cmp; all of them
# take turns in every round. Prints a result line for each.
measure_wine() {
    local label=$1 reference=$2 first=$3 second=$4 i k
    local -A times=()
    for ((i = 0; i < runs; i++)); do
        for k in "${!wine_programs[@]}"; do
            times[pair$k]+="$(engine_wine "${wine_programs[$k]}" "$first" "$second") "
            times[tiny$k]+="$(engine_wine "${wine_programs[$k]}" "$work/tiny1" "$work/tiny2") "
        done
        times[tlcmp]+="$(seconds_of tlcmp_wine "$first" "$second") "
        times[tlcmp_tiny]+="$(seconds_of tlcmp_wine "$work/tiny1" "$work/tiny2") "
        times[cat]+="$(seconds_of cat_both "$first" "$second") "
        times[reference]+="$(seconds_of "$reference" "$first" "$second") "
    done
    local c r
    c=$(printf '%s\n' ${times[cat]} | median)
    r=$(printf '%s\n' ${times[reference]} | median)
    for k in "${!wine_programs[@]}"; do
        print_wine_line "$label" "${wine_labels[$k]}" "$(printf '%s\n' ${times[pair$k]} | median)" \
            "$(printf '%s\n' ${times[tiny$k]} | median)" "$c" "$reference" "$r"
    done
    print_wine_line "$label" tlcmp.exe "$(printf '%s\n' ${times[tlcmp]} | median)" \
        "$(printf '%s\n' ${times[tlcmp_tiny]} | median)" "$c" "$reference" "$r"
}

# The 1 GiB pairs under Wine with one build of the program (and the base);
# with "identical" as $2, the identical pair only.
measure_wine_build() {
    use_wine_build "$1"
    build_wine_programs
    start_wine
    local files=("$work/a" "$work/same")
    [ "${2:-}" = identical ] || files+=("$work/scattered")
    remember_windows_names "${wine_programs[@]}" "${files[@]}" "$work/tiny1" "$work/tiny2"
    engine_wine "${wine_programs[0]}" "$work/tiny1" "$work/tiny2" >/dev/null   # the first start loads Wine itself
    cat "${files[@]}" >/dev/null
    if [ "${2:-}" = identical ]; then
        echo "tarnlight.exe ($tarnlight_wine_bits-bit build) under Wine, medians of $runs runs, identical pair," \
             "net of the same run on tiny files (target: ratio to cat of both files at most 1.10)"
        measure_wine "identical pair" cmp_identical "$work/a" "$work/same"
        return
    fi
    echo "tarnlight.exe ($tarnlight_wine_bits-bit build) under Wine, verdicts:" \
         "$(verdict_wine "${wine_programs[0]}" "$work/a" "$work/same")" \
         "/ $(verdict_wine "${wine_programs[0]}" "$work/a" "$work/scattered")"
    echo "medians of $runs runs, same pairs, net of the same run on tiny files; tlcmp.exe: the same engine" \
         "without a window (target: ratio to cat of both files at most 1.10)"
    measure_wine "identical pair" cmp_identical "$work/a" "$work/same"
    measure_wine "scattered pair (~$differences differences)" cmp_listing "$work/a" "$work/scattered"
}

stop_wine() {
    tarnlight_wine_stop
    windows_name=()
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

# The pairs of the sizes given after the two programs; before = $1, after = $2.
measure_small_pairs() {
    local before=$1 after=$2 size pairs=()
    shift 2
    for size in "$@"; do
        head -c "$size" /dev/urandom >"$work/small-$size"
        cp "$work/small-$size" "$work/small-$size-copy"
        pairs+=(-f "$size B" "$(tarnlight_wine winepath -w "$work/small-$size")"
                "$(tarnlight_wine winepath -w "$work/small-$size-copy")")
    done
    echo "Compare command under Wine ($tarnlight_wine_bits-bit build) on identical small pairs," \
         "medians of $small_runs runs; before = $before_name, after = this tree (target: 10 B shown under 30 ms)"
    tarnlight_wine "$work/compare_timer.exe" "$small_runs" \
        -p before "$(tarnlight_wine winepath -w "$before")" \
        -p after "$(tarnlight_wine winepath -w "$after")" "${pairs[@]}"
}

measure_small_pairs_of_builds() {
    before_name=$(git -C "$root" rev-parse --short "$small_baseline")
    measure_small_pairs "$work/baseline/app/tarnlight.exe" "$work/current/app/tarnlight.exe" 10 3000 1000000
}

# tlcmp -l against cmp -l on the dense pair, once its output is known to be
# cmp's byte for byte; and on the identical pair against cat of both files
# and against tlcmp's report.
measure_listing() {
    "$build/tools/tlcmp/tlcmp" -l "$work/a" "$work/dense" >"$work/listing.tlcmp" || true
    cmp -l "$work/a" "$work/dense" >"$work/listing.cmp" || true
    if ! cmp -s "$work/listing.tlcmp" "$work/listing.cmp"; then
        echo "tlcmp -l does not write what cmp -l writes on the dense pair" >&2
        exit 1
    fi
    echo "tlcmp -l and cmp -l: the same $(wc -l <"$work/listing.cmp") lines" \
         "($(wc -c <"$work/listing.cmp") bytes); medians of $runs runs (target: ratio at most 0.25)"
    rm -f "$work/listing.tlcmp" "$work/listing.cmp"
    measure "-l" "1 in 100 differ, into a pipe" tlcmp_list_pipe cmp_list_pipe "$work/a" "$work/dense"
    measure "-l" "1 in 100 differ, into a file" tlcmp_list_file cmp_list_file "$work/a" "$work/dense" empty_listing
    measure "-l" "identical pair, against cat" tlcmp_list_pipe cat_both "$work/a" "$work/same"
    measure "-l" "identical pair, against tlcmp" tlcmp_list_pipe tlcmp_native "$work/a" "$work/same"
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

if [ "${1:-}" = listing ]; then
    build_engine
    head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$work/a"
    cp "$work/a" "$work/same"
    make_dense_pair
    measure_listing
    exit 0
fi

if [ "${1:-}" = small ]; then
    if ! wine_possible; then
        echo "Compare command under Wine: skipped"
        exit 0
    fi
    choose_wine_build
    build_small_programs
    start_wine
    measure_small_pairs_of_builds
    exit 0
fi

# The shipped build only; the programs of the 1 GiB part also take the
# Compare on 10 bytes, the base (or BENCH_BASELINE) before, this tree after.
if [ "${1:-}" = quick ]; then
    if ! wine_possible; then
        echo "tarnlight.exe under Wine: skipped"
        exit 0
    fi
    [ -n "$base" ] || base=$small_baseline
    base_name=$(git -C "$root" rev-parse --short "$base^{commit}")
    make_identical_pair
    printf 'tiny' >"$work/tiny1"
    printf 'tiny' >"$work/tiny2"
    choose_wine_build
    measure_wine_build "$tarnlight_wine_bits" identical
    "$triple-g++" -O2 -Wall -static -I "$root" -o "$work/compare_timer.exe" "$root/bench/compare_timer.cpp"
    before_name=$base_name
    measure_small_pairs "$base_program" "${wine_programs[0]}" 10
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
make_dense_pair
measure_listing
rm -f "$work/dense" "$work/listing"

if ! wine_possible; then
    echo "tarnlight.exe under Wine: skipped"
    exit 0
fi
if [ -n "$base" ]; then
    base_name=$(git -C "$root" rev-parse --short "$base^{commit}")
fi
printf 'tiny' >"$work/tiny1"
printf 'tiny' >"$work/tiny2"
choose_wine_build
shipped_bits=$tarnlight_wine_bits
for bits in $(wine_bits_to_measure); do
    measure_wine_build "$bits"
    stop_wine
done
use_wine_build "$shipped_bits"
build_small_programs
start_wine
measure_small_pairs_of_builds
