#!/bin/bash
# A launcher for a second, different patch (other products and versions), built with
# tools/build-launcher as the people who ship patches would, then run on a simulated machine.
#   second-patch.sh SOURCE_DIR PATCHGEN REGISTER_PRODUCT WORK_DIR
set -euo pipefail
src=$1 patchgen=$2 register=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }

"$patchgen" --release second --msp "$work/second.msp" --patchinfo "$work/unused.txt"
bash "$src/tests/fixtures/products/build-products.sh" "$work/products" \
    "$src/tests/fixtures/products/second-products.txt" > "$work/products.log" 2>&1

common=(--target-version 8.0.1.0 --title "Tessivar Designer 8.0 Service Pack 1"
        --location '\\deploy\designer\sp1\DesignerSP1.exe'
        --description "Updates Tessivar Designer 8.0 to version 8.0.1.0."
        --readme '\\deploy\designer\sp1\readme.htm' --build-dir "$work/build")
refused() { # refused WHAT PATTERN ARGS...: the message must match PATTERN
    local what=$1 pattern=$2; shift 2
    if bash "$src/tools/build-launcher" "$@" --out "$work/refused" > "$work/refused.log" 2>&1; then
        fail "accepted $what"
    fi
    grep -q "^build-launcher: .*$pattern" "$work/refused.log" || { cat "$work/refused.log"; fail "no message for $what"; }
    echo "refused $what: $(grep '^build-launcher: ' "$work/refused.log")"
}
refused "a package that is not a patch" "cannot be used" --package "$work/products/designer-1031-80007.msi" \
    --candidates "8.0.0.1,8.0.0.7," "${common[@]}"
refused "a version list without its trailing comma" "must end with ','" --package "$work/second.msp" \
    --candidates "8.0.0.1,8.0.0.7" "${common[@]}"
refused "a list over 255 characters" "at most 255" --package "$work/second.msp" \
    --candidates "$(printf '8.0.0.1,%.0s' {1..40})" "${common[@]}"
refused "a description over 255 characters" "at most 255" --package "$work/second.msp" \
    --candidates "8.0.0.1,8.0.0.7," "${common[@]}" --description "$(printf 'x%.0s' {1..300})"
[[ ! -e "$work/refused/servicepack" ]] || fail "a refused build left a launcher"

bash "$src/tools/build-launcher" --package "$work/second.msp" --candidates "8.0.0.1,8.0.0.7," \
    "${common[@]}" --out "$work/out" > "$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build"; }
headers=$(i686-w64-mingw32-objdump -p "$work/out/servicepack.exe")
grep -q 'Windows GUI' <<< "$headers" || fail "no Windows GUI executable"

# The host launcher on a simulated machine of its own.
machine=$work/machine && mkdir -p "$machine/tmp" "$machine/cwd"
export TMP=$machine/tmp/ SP_HOST_PRODUCTS=$machine/products.ini
run() { # run NAME ARGS...: the transcript of the run in $machine/NAME
    local name=$1; shift
    (cd "$machine/cwd" && SP_HOST_TRANSCRIPT=$machine/$name "$work/out/servicepack" "$@" 2> "$machine/$name.err") || true
}
code={9D2B4C60-1E3F-4A58-B7C9-0A1B2C3D4E51}
size=$(stat -c %s "$work/second.msp")

run extract /e out.msp
cmp -s "$machine/cwd/out.msp" "$work/second.msp" || fail "/e did not write the second package"
run list /i
grep -qF "$(printf 'box\t00050000\t1033\tList of Products\t%s' "$code")" "$machine/list" || fail "/i: $(cat "$machine/list")"
run patchlist /p
block=$(cat "$machine/cwd/patchlist1E3F.txt")
for line in "ProductCode=$code" "ProductVersionCandidate=8.0.0.1;8.0.0.7" "PatchSize=$size" \
            "PatchGUID={3C5E7A90-8001-4B7D-A1E2-5F60718293A4}"; do
    grep -qF "$line"$'\r' <<< "$block" || fail "/p: no line $line"
done

"$register" --registry "$SP_HOST_PRODUCTS" "$work/products/designer-1031-80007.msi"
run install
grep -q "^exit	0$" "$machine/install" || fail "install: $(cat "$machine/install")"
grep -qP '^box\t00050040\t1031\tInstallation erfolgreich\t.*Tessivar Designer' "$machine/install" ||
    fail "install: $(cat "$machine/install")"
grep -qx 'VersionString=8.0.1.0' "$SP_HOST_PRODUCTS" || fail "the version did not move to 8.0.1.0"
"$register" --registry "$SP_HOST_PRODUCTS" "$work/products/designer-1033-72002.msi"
run unsupported /q
grep -q "^exit	1642$" "$machine/unsupported" || fail "unsupported: $(cat "$machine/unsupported")"
[[ -z "$(ls "$machine/tmp")" ]] || fail "temporary copies left: $(ls "$machine/tmp")"
echo "the launcher for the second patch works"
