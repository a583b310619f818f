#!/bin/bash
# Builds the fuzzers and runs each for a while; copies every crash, leak or timeout into
# tests/regression/inputs/<target>-<name>.
#
#   fuzz/run.sh [seconds-per-target]   default 60
#   fuzz/run.sh --smoke                a few seconds per target, for the test command
# Options: --build-dir DIR (default build/fuzz), --no-build, --jobs N (targets run side by side),
#          --only NAME (one target). The corpora grow in DIR/corpus/<target> from run to run;
#          DIR/fuzz-stats.tsv keeps the seconds and executions of every run.
# Exit status: 0 when nothing was found, 1 when something was, 2 when the build failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=60
smoke=0
do_build=1
jobs=1
only=""
while [ $# -gt 0 ]; do
    case "$1" in
    --smoke) smoke=1; seconds=4 ;;
    --no-build) do_build=0 ;;
    --build-dir) build=$2; shift ;;
    --jobs) jobs=$2; shift ;;
    --only) only=$2; shift ;;
    [0-9]*) seconds=$1 ;;
    *) echo "usage: $0 [seconds-per-target | --smoke] [--build-dir DIR] [--no-build] [--jobs N] [--only NAME]" >&2; exit 2 ;;
    esac
    shift
done
targets=(resource-image command-line-split parse-command-line parse-version candidate-walk
         summary-info summary-stream)
[ -n "$only" ] && targets=("$only")

if [ "$do_build" = 1 ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSP_FUZZ=ON > /dev/null || exit 2
    fi
    cmake --build "$build" --target fuzzers -j 2 > "$build/fuzz-build.log" 2>&1 ||
        { tail -40 "$build/fuzz-build.log"; exit 2; }
fi

u16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }
# Two versions as the candidate-walk and parse-version targets read them: eight 16-bit parts.
versions() { python3 -c 'import struct,sys; sys.stdout.buffer.write(struct.pack("<8H", *map(int, sys.argv[1:])))' "$@"; }

# Seeds: real inputs of this build, written once into each corpus.
seed() {
    local target=$1 name=$2
    local dir="$build/corpus/$target"
    mkdir -p "$dir"
    if [ -e "$dir/seed-$name" ]; then cat > /dev/null; else cat > "$dir/seed-$name"; fi
}
make_seeds() {
    seed resource-image build < "$build/generated/servicepack.res"
    seed summary-info sample < "$root/res/sample.msp"
    msiinfo extract "$root/res/sample.msp" $'\005SummaryInformation' | seed summary-stream sample
    local tmp
    tmp=$(mktemp -d)
    msibuild "$tmp/two.msp" -s "Title" "Author" "{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}" "{A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0702}"
    seed summary-info msibuild < "$tmp/two.msp"
    rm -rf "$tmp"
    u16 'servicepack.exe /q /e "C:\Program Files\out.msp"' | seed command-line-split plain
    u16 '"C:\a b\sp.exe" a\\\"b "c""d" e\\\\"f g" h\\ /P' | seed command-line-split quotes
    printf '/q\0/e\0out.msp\0/p' | seed parse-command-line modes
    printf '/E\0\0/I\0/q' | seed parse-command-line upper
    { versions 7 0 61 1 7 2 0 2; u16 '7.0.43.3,7.0.43.5,7.0.61.1,7.1.0.5,'; } | seed candidate-walk build
    { versions 7 1 0 6 7 2 0 2; u16 '7.0.43.3,7.2.0.2,7.1.0.6,'; } | seed candidate-walk target-first
    u16 '7.2.0.2' | seed parse-version target
    u16 ' 7,0,43,3' | seed parse-version commas
    u16 '65537.-1.+2.3x' | seed parse-version odd
}
make_seeds

dict_for() {
    case "$1" in
    command-line-split|parse-command-line) echo "-dict=$root/fuzz/dicts/command-line.dict" ;;
    parse-version|candidate-walk) echo "-dict=$root/fuzz/dicts/version.dict" ;;
    esac
}

run_one() {
    local target=$1
    local artifacts="$build/artifacts/$target"
    local log="$build/logs/$target.log"
    mkdir -p "$artifacts" "$build/logs"
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536
                   -print_final_stats=1 -artifact_prefix="$artifacts/")
    local dict
    dict=$(dict_for "$target")
    [ -n "$dict" ] && options+=("$dict")
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz/fuzz-$target" "${options[@]}" "$build/corpus/$target" > "$log" 2>&1 || true
    local execs
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    printf '%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$target" "$seconds" "${execs:-0}" >> "$build/fuzz-stats.tsv"
    echo "$target: ${execs:-0} executions in ${seconds}s"
}

status=0
running=0
for target in "${targets[@]}"; do
    run_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then wait -n || true; running=$((running - 1)); fi
done
wait

found=0
inputs="$root/tests/regression/inputs"
for target in "${targets[@]}"; do
    for artifact in "$build/artifacts/$target"/*; do
        [ -f "$artifact" ] || continue
        name=$(basename "$artifact")
        known=""
        for saved in "$inputs/$target"-*; do
            [ -f "$saved" ] && cmp -s "$artifact" "$saved" && known=$saved
        done
        mkdir -p "$build/found"
        mv "$artifact" "$build/found/$target-$name"
        if [ -n "$known" ]; then
            echo "known $target input again: $(basename "$known")"
            continue
        fi
        cp "$build/found/$target-$name" "$inputs/$target-$name"
        echo "FOUND $target: $name -> tests/regression/inputs/$target-$name (log: $build/logs/$target.log)"
        found=1
    done
done
[ "$found" = 1 ] && status=1
if [ "$smoke" = 0 ]; then
    echo "totals so far (seconds, executions) per target:"
    awk -F'\t' '{s[$2]+=$3; e[$2]+=$4} END {for (t in s) printf "  %-20s %7d s %12d\n", t, s[t], e[t]}' \
        "$build/fuzz-stats.tsv" | sort
fi
exit $status
