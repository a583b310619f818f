#!/bin/bash
# The service pack at work, under Wine: builds the Windows launcher, makes a fresh 32-bit
# prefix with the sample products installed at supported and other versions, runs the
# launcher as an end user would (no arguments), prints each message box as it appears and the
# exit code with its meaning, and saves a screenshot of every box.
#
# usage: tests/wine/demo.sh [--reuse] [SCREENSHOT_DIR]   (default: docs/screenshots)
#   --reuse  keep the prefix of an earlier demo instead of making a fresh one
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
reuse=0
[[ "${1:-}" == --reuse ]] && { reuse=1; shift; }
shots=$(realpath -m "${1:-$root/docs/screenshots}")
build="$root/build/winetest"

echo "== building the Windows launcher ($build)"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake --preset win32 -B "$build" >"$root/build/demo-configure.log" 2>&1 ||
        { cat "$root/build/demo-configure.log"; exit 1; }
fi
cmake --build "$build" -j2 >"$root/build/demo-build.log" 2>&1 || { tail -30 "$root/build/demo-build.log"; exit 1; }

export SP_SOURCE=$root SP_WORK="$build/demo"
export SP_EXE="$build/src/servicepack.exe" SP_WATCHER="$build/tests/wine/watcher.exe"
export SP_BOXDEMO="$build/tests/wine/boxdemo.exe"
source "$root/tests/wine/lib.sh"
trap finish EXIT
if [[ $reuse == 0 ]]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$SP_STATE"
fi
echo "== making the prefix $WINEPREFIX"
start_display || exit 1
ensure_prefix || exit 1
# Wine ships no Japanese font: where the system has one, the dialog font may fall back to it.
japanese_font() { # on|off
    local fonts
    fonts=$(fc-list 2>/dev/null || true)
    grep -q IPAPGothic <<< "$fonts" || { [[ $1 == on ]] &&
        echo "   (no Japanese font, e.g. Debian's fonts-ipafont-gothic: Japanese text shows as boxes)"; return 0; }
    local f
    for f in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
        if [[ $1 == on ]]; then
            wine_to "$SP_WORK/reg.log" reg add "$SP_FONTLINK" /v "$f" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f
        else
            wine_to "$SP_WORK/reg.log" reg delete "$SP_FONTLINK" /v "$f" /f
        fi
    done
}
SP_FONTLINK='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'

meaning() {
    case $1 in
        0) echo "success: every present product was patched or already up to date" ;;
        3010) echo "patched; a restart is needed to complete it" ;;
        1641) echo "patched; the installer started a restart" ;;
        1642) echo "nothing to patch: no target product present, or a product at a version the patch does not support" ;;
        1603) echo "failure: the run could not start on the products (or /e, /p, /i failed)" ;;
        timeout) echo "the launcher did not finish" ;;
        *) echo "failure: the Windows Installer's result for the first request that failed" ;;
    esac
}

# scene TITLE SHOTNAMES -- STEMS...: installs exactly these products, runs the launcher and
# names the screenshots of its boxes in order.
scene() {
    local title=$1 names=($2)
    shift 3
    echo
    echo "== $title"
    installed_only "$@" || exit 1
    local stem
    for stem in "$@"; do
        awk -F'|' -v s="$stem" '$1 == s { printf "   installed: %s, language %s, version %s\n", $5, $6, $7 }' \
            "$SP_SOURCE/tests/fixtures/products/products.txt"
    done
    [[ $# == 0 ]] && echo "   installed: no product of the family"
    local r="$SP_WORK/demo-run.txt" i
    rm -f "$SP_WORK"/shot-*.png
    (cd "$SP_WORK" && watch_shots "$r" "$SP_WORK/shot" -- "$(winpath "$SP_EXE")")
    echo "   servicepack.exe showed:"
    print_boxes "$r"
    local code
    code=$(exit_of "$r")
    echo "   exit code $code: $(meaning "$code")"
    for stem in "$@"; do
        echo "   afterwards the Windows Installer reports $(awk -F'|' -v s="$stem" '$1 == s { print $5 }' \
            "$SP_SOURCE/tests/fixtures/products/products.txt") at version $(installed_version "$(product_code "$stem")")"
    done
    for i in "${!names[@]}"; do
        [[ -f "$SP_WORK/shot-$((i + 1)).png" ]] && mv "$SP_WORK/shot-$((i + 1)).png" "$shots/${names[$i]}.png"
    done
}

japanese_font on
ensure_products || exit 1
mkdir -p "$shots"
scene "Studio in Japanese at 7.0.61.1 and Reader in English at 7.1.0.5: both supported" \
    "301-1041 301-1033" -- studio-1041-70611 reader-1033-71005
scene "Studio in Russian at 7.1.0.6 (not supported) and Reader in Dutch at 7.0.43.5 (no Dutch table: English)" \
    "308-1049 301-1043" -- studio-1049-71006 reader-1043-70435
scene "Studio in German at 7.0.43.3" "301-1031" -- studio-1031-70433
scene "Studio in Dutch at 7.2.0.2, already the patched version" "306-1033" -- studio-1043-72002
scene "No product of the family installed" "307-1033" --
installed_only
echo
echo "Wine leaves MB_TOPMOST boxes unraised (topmost 0 above); Windows raises them."
echo "screenshots: $shots"
ls "$shots"
