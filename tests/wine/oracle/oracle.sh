#!/bin/bash
# The patch oracle: applies the sample patch package to real products under Wine and checks what
# the Windows Installer then reports.
#
#   tests/wine/oracle/oracle.sh [PACKAGE]
#
# PACKAGE defaults to res/sample.msp. Environment:
#   ORACLE_WORK    scratch directory (default: a fresh one under /tmp, removed on success)
#   WINEPREFIX     the prefix to use (default: $ORACLE_WORK/prefix, made fresh, 32-bit)
# Exit status 0 when every check passed; each check prints one "ok"/"FAIL" line.
#
# One prefix serves every case: each round takes one Studio and one Reader at a candidate version,
# and for each in turn installs it, patches it, checks it and removes it again (the two share the
# install folder's readme, so they are checked one at a time). Rounds 1 and 3 patch with
# "msiexec /p"; rounds 2 and 4 make the launcher's call, MsiConfigureProductExW(code, 0, 5,
# PATCH="..."), through the probe. The last round checks that a version the patch is not for
# (7.1.0.6) stays as it is. A given WINEPREFIX must not have the sample products installed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../../.." && pwd)
package=$(realpath "${1:-$source_dir/res/sample.msp}")
patch_code='{A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0702}'
target_version=7.2.0.2
# Patch state that MsiGetPatchInfoEx reports for an applied patch (MSIPATCHSTATE_APPLIED).
applied_state=1
# Product state of an installed product (INSTALLSTATE_DEFAULT) and of an unknown one.
state_installed=5
state_unknown=-1

work=${ORACLE_WORK:-$(mktemp -d /tmp/patch-oracle.XXXXXX)}
mkdir -p "$work/logs"
export WINEPREFIX=${WINEPREFIX:-$work/prefix}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failures=0

ok()   { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# Wine's helper processes inherit stdout and stderr: its output always goes to files.
run_wine() {  # LOGNAME ARGS...
    local log=$1; shift
    wine "$@" > "$work/logs/$log.out" 2> "$work/logs/$log.err"
}

finish() {
    wineserver -k > /dev/null 2>&1 || true
}
trap finish EXIT

echo "package $package ($(stat -c %s "$package") bytes), work $work, prefix $WINEPREFIX"
bash "$source_dir/tests/fixtures/products/build-products.sh" "$work/products" > "$work/logs/products.log" 2>&1 \
    || { echo "FAIL building the sample products (see $work/logs/products.log)"; exit 1; }
make -s -C "$source_dir/tests/wine/probe" OUT="$work" > "$work/logs/probe-build.log" 2>&1 \
    || { echo "FAIL building the probe (see $work/logs/probe-build.log)"; exit 1; }
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    wineboot -i > "$work/logs/wineboot.out" 2> "$work/logs/wineboot.err"
    wineserver -w
fi
cp "$package" "$work/sample.msp"

# Fields of a product of products.txt: code name language version.
product_field() {  # STEM FIELD(2=code 5=name 6=language 7=version)
    awk -F'|' -v stem="$1" -v f="$2" '$1 == stem { print $f }' "$source_dir/tests/fixtures/products/products.txt"
}

# Probes one product into $work/probe-STEM-WHEN.txt and prints the file's name.
probe() {  # STEM WHEN
    local file="$work/probe-$1-$2.txt"
    rm -f "$file"
    run_wine "probe-$1-$2" "$work/probe.exe" "$(winepath -w "$file")" product "$(product_field "$1" 2)"
    echo "$file"
}

value() {  # FILE KEY
    sed -n "s/^$2=//p" "$1" | head -n 1 | tr -d '\r'
}

readme() {  # prints the installed readme
    cat "$WINEPREFIX/drive_c/Program Files/Tessivar/readme.txt" 2> /dev/null
}

install() {  # STEM
    run_wine "install-$1" msiexec /i "$(winepath -w "$work/products/$1.msi")" /qn \
        || fail "$1: installation failed ($?)"
}

remove() {  # STEM
    run_wine "remove-$1" msiexec /x "$(product_field "$1" 2)" /qn || fail "$1: removal failed ($?)"
    local file; file=$(probe "$1" removed)
    [[ $(value "$file" state) == "$state_unknown" ]] && ok "$1: removed" || fail "$1: still present after removal"
}

check_patched() {  # STEM
    local stem=$1 name language file
    name=$(product_field "$stem" 5); language=$(product_field "$stem" 6)
    file=$(probe "$stem" patched)
    local version state patch pstate
    state=$(value "$file" state); version=$(value "$file" VersionString)
    patch=$(value "$file" patch); pstate=$(value "$file" patch.state)
    if [[ $state == "$state_installed" && $version == "$target_version" && $patch == "$patch_code" &&
          $pstate == "$applied_state" && $(value "$file" Language) == "$language" ]]; then
        ok "$stem: at $target_version, patch applied, language $language"
    else
        fail "$stem: state $state version $version patch '$patch' state '$pstate' (see $file)"
    fi
    [[ $(readme) == "Readme of $name $target_version"$'\r' ]] && ok "$stem: readme replaced" \
        || fail "$stem: readme is '$(readme)'"
}

check_unchanged() {  # STEM
    local stem=$1 name version file
    name=$(product_field "$stem" 5); version=$(product_field "$stem" 7)
    file=$(probe "$stem" patched)
    if [[ $(value "$file" VersionString) == "$version" && $(value "$file" patches) == 0 ]]; then
        ok "$stem: still at $version, no patch registered"
    else
        fail "$stem: version $(value "$file" VersionString), patches $(value "$file" patches) (see $file)"
    fi
    [[ $(readme) == "Readme of $name $version"$'\r' ]] && ok "$stem: readme unchanged" \
        || fail "$stem: readme is '$(readme)'"
}

apply_msiexec() {  # ROUND
    run_wine "patch-$1" msiexec /p "$(winepath -w "$work/sample.msp")" /qn
    echo "     round $1: msiexec /p exited $?"
}

apply_launcher_call() {  # ROUND STEM
    local file="$work/apply-$1-$2.txt"
    rm -f "$file"
    run_wine "apply-$1-$2" "$work/probe.exe" "$(winepath -w "$file")" apply "$(product_field "$2" 2)" \
        "$(winepath -w "$work/sample.msp")"
    [[ $(value "$file" result) == 0 ]] && ok "$2: MsiConfigureProductExW returned 0" \
        || fail "$2: MsiConfigureProductExW returned '$(value "$file" result)'"
}

round() {  # ROUND HOW STUDIO READER
    local n=$1 how=$2 stem
    for stem in "$3" "$4"; do
        install "$stem"
        [[ $(value "$(probe "$stem" installed)" VersionString) == "$(product_field "$stem" 7)" ]] \
            || fail "$stem: not installed at its version"
        if [[ $how == msiexec ]]; then apply_msiexec "$n"; else apply_launcher_call "$n" "$stem"; fi
        check_patched "$stem"
        remove "$stem"
    done
}

round 1 msiexec  studio-1031-70433 reader-1036-70433
round 2 launcher studio-1028-70435 reader-1043-70435
round 3 msiexec  studio-1041-70611 reader-1042-70611
round 4 launcher studio-2052-71005 reader-1033-71005

install studio-1049-71006
apply_msiexec 5
check_unchanged studio-1049-71006
remove studio-1049-71006

if (( failures )); then
    echo "$failures check(s) failed; logs in $work/logs"
    exit 1
fi
echo "all checks passed"
[[ -z ${ORACLE_WORK:-} ]] && rm -rf "$work"
exit 0
