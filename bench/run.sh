#!/bin/bash
# Benchmarks of the host executable, rerunnable in one go:
#   1. /e on packages of 10 MB and 200 MB against cp of the same bytes: time ratio and the peak
#      resident memory of each;
#   2. a default run (/q) on the simulated machine whose patch targets 1, 100 and 1,000 products,
#      all installed at a candidate version: the cost per product should not grow with N.
#
#   bench/run.sh [--reps N] [--build-dir DIR] [--only extract|default]
# Default build/bench, median of 5 repetitions; a command whose first run takes over 30 s is run
# once (that alone shows the growth).
# Builds one executable per package in DIR (the package is linked into it), so a first run takes
# a few minutes; later runs reuse them. Needs msitools (msibuild) for the target-list packages.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build/bench"
reps=5
only=""
while [ $# -gt 0 ]; do
    case "$1" in
    --reps) reps=$2; shift ;;
    --build-dir) dir=$2; shift ;;
    --only) only=$2; shift ;;
    *) echo "usage: $0 [--reps N] [--build-dir DIR] [--only extract|default]" >&2; exit 2 ;;
    esac
    shift
done
mkdir -p "$dir/data" "$dir/bin" "$dir/work"
measure="$dir/bin/measure"
[ "$measure" -nt "$root/bench/measure.c" ] || cc -O2 -Wall -Wextra -Werror -o "$measure" "$root/bench/measure.c"

# --- Inputs ---------------------------------------------------------------------------------
# A package of SIZE bytes: the sample package followed by random bytes (extraction never looks
# inside), with a description block whose PatchSize is that size.
make_package() {
    local name=$1 size=$2 pkg="$dir/data/$1.msp"
    if [ ! -f "$pkg" ] || [ "$(stat -c %s "$pkg")" != "$size" ]; then
        { cat "$root/res/sample.msp"; head -c $((size - $(stat -c %s "$root/res/sample.msp"))) /dev/urandom; } > "$pkg"
    fi
}
product_code() { printf '{B0000000-0000-4000-8000-%012d}' "$1"; }
# A package whose template (PID 7) lists N product codes.
make_target_package() {
    local n=$1 pkg="$dir/data/targets-$1.msp"
    [ -f "$pkg" ] && return
    local codes="" i
    for ((i = 1; i <= n; i++)); do codes+="${codes:+;}$(product_code "$i")"; done
    msibuild "$pkg" -s "Bench patch" "Bench" "$codes" "{A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0702}"
}
patch_info() {
    local pkg=$1 info="$1.txt"
    sed "s/^PatchSize=.*/PatchSize=$(stat -c %s "$pkg")\r/" "$root/res/patchinfo.txt" > "$info"
    echo "$info"
}
# The host executable carrying PKG, as DIR/bin/servicepack-LABEL. One build tree, reconfigured
# per package: only the resources and the link are redone.
build_launcher() {
    local label=$1 pkg=$2 exe="$dir/bin/servicepack-$1"
    # Rebuilt when the package or any source is newer than the copy made before.
    if [ -x "$exe" ] && [ "$exe" -nt "$pkg" ] &&
        [ -z "$(find "$root/src" "$root/res" "$root/cmake" -newer "$exe" -print -quit)" ]; then
        return
    fi
    local info
    info=$(patch_info "$pkg")
    cmake -S "$root" -B "$dir/tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSP_PATCH_PACKAGE="$pkg" -DSP_PATCH_INFO="$info" > "$dir/configure.log"
    cmake --build "$dir/tree" --target servicepack -j 2 > "$dir/build.log" 2>&1 ||
        { tail -30 "$dir/build.log"; exit 1; }
    cp "$dir/tree/src/servicepack" "$exe"
}

make_package size-10m $((10 * 1024 * 1024))
make_package size-200m $((200 * 1024 * 1024))
for n in 1 100 1000; do make_target_package "$n"; done
build_launcher size-10m "$dir/data/size-10m.msp"
build_launcher size-200m "$dir/data/size-200m.msp"
for n in 1 100 1000; do build_launcher "targets-$n" "$dir/data/targets-$n.msp"; done

# --- Measuring ------------------------------------------------------------------------------
work="$dir/work"
machine_env=(env "TMP=$work/tmp/" "SP_HOST_PRODUCTS=$work/products.ini"
             "SP_HOST_TRANSCRIPT=$work/transcript")
# The median of REPS runs of the command that follows: "<seconds> <peak KiB>". SETUP runs before
# each repetition, outside the measurement.
median_of() {
    local setup=$1; shift
    local i results=()
    for ((i = 0; i < reps; i++)); do
        $setup
        results+=("$("$measure" "$@")")
        local status=${results[-1]##* }
        [ "$status" = 0 ] || [ "${any_status:-0}" = 1 ] || { echo "failed (status $status): $*" >&2; exit 1; }
        awk -v s="${results[-1]%% *}" 'BEGIN {exit !(s > 30)}' && break
    done
    local count=${#results[@]}
    printf '%s\n' "${results[@]}" | sort -n | awk -v m=$(((count + 1) / 2)) 'NR == m {print $1, $2}'
}
fresh_output() { rm -f "$work/out.msp" "$work/cp.msp"; rm -rf "$work/tmp"; mkdir -p "$work/tmp"; : > "$work/transcript"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

echo "servicepack benchmarks, median of $reps runs ($(nproc) cores, $(uname -r))"
echo
if [ "$only" != default ]; then
echo "/e against cp of the same bytes (warm page cache). /e flushes the new file to disk before it"
echo "replaces the target, so it is also compared with cp followed by a sync of the copy:"
printf '  %-8s %10s %10s %7s %12s %7s %14s %14s\n' package "/e s" "cp s" ratio "cp+sync s" ratio \
    "/e peak MiB" "cp peak MiB"
for label in size-10m size-200m; do
    pkg="$dir/data/$label.msp"
    exe="$dir/bin/servicepack-$label"
    cat "$pkg" "$exe" > /dev/null # both sources in the page cache
    fresh_output
    "${machine_env[@]}" "$exe" /q /e "$work/out.msp" 2> /dev/null
    cmp -s "$pkg" "$work/out.msp" || { echo "/e did not write the package byte for byte" >&2; exit 1; }
    read -r e_s e_kb < <(median_of fresh_output "${machine_env[@]}" "$exe" /q /e "$work/out.msp")
    read -r c_s c_kb < <(median_of fresh_output cp "$pkg" "$work/cp.msp")
    read -r y_s _ < <(median_of fresh_output sh -c 'cp "$1" "$2" && sync "$2"' - "$pkg" "$work/cp.msp")
    printf '  %-8s %10.3f %10.3f %6sx %12.3f %6sx %14.1f %14.1f\n' "${label#size-}" "$e_s" "$c_s" \
        "$(ratio "$e_s" "$c_s")" "$y_s" "$(ratio "$e_s" "$y_s")" "$(ratio "$e_kb" 1024)" \
        "$(ratio "$c_kb" 1024)"
done
fresh_output
fi

[ "$only" = extract ] && exit 0
echo
echo "default run (/q), every target product installed at a candidate version:"
# The target-list packages come from msibuild: a database, not a patch, so the stand-in refuses
# each configure request (1636) after reading the package; every product still gets its
# queries and its request, which is the cost that has to grow linearly.
# N products at 7.0.61.1, each patched with result 0; rewritten before every repetition.
write_registry() {
    local n=$1 i
    {
        echo "; $n products for the benchmark"
        for ((i = 1; i <= n; i++)); do
            printf '[%s]\nProductName=Bench product %d\nLanguage=1033\nVersionString=7.0.61.1\nState=5\nConfigureResult=0\n' \
                "$(product_code "$i")" "$i"
        done
    } > "$dir/data/products-$n.ini"
}
reset_machine() {
    fresh_output
    cp "$current_registry" "$work/products.ini"
    rm -f "$work/products.ini.requests" "$work/products.ini.lock"
}
printf '  %-9s %10s %12s %16s %12s\n' products seconds "vs 1 code" "ms per product" "peak MiB"
base=""
for n in 1 100 1000; do
    write_registry "$n"
    current_registry="$dir/data/products-$n.ini"
    reset_machine
    "${machine_env[@]}" "$dir/bin/servicepack-targets-$n" /q 2> /dev/null || true
    applied=$(grep -c . "$work/products.ini.requests" 2> /dev/null || echo 0)
    code=$(sed -n 's/^exit\t//p' "$work/transcript" | tail -1)
    read -r s kb < <(any_status=1 median_of reset_machine "${machine_env[@]}" "$dir/bin/servicepack-targets-$n" /q)
    [ -n "$base" ] || base=$s
    per=$(awk -v s="$s" -v b="$base" -v n="$n" 'BEGIN {printf "%.3f", (n > 1 ? (s - b) * 1000 / (n - 1) : 0)}')
    printf '  %-9s %10.3f %11sx %16s %12.1f   (%s requests, exit code %s)\n' "$n" "$s" \
        "$(ratio "$s" "$base")" "${per/#0.000/-}" "$(ratio "$kb" 1024)" "$applied" "$code"
done
