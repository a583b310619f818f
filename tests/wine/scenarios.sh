#!/bin/bash
# End-to-end scenarios of servicepack.exe under Wine, one group per call:
#   payload   /e and /p: the files written, byte for byte, and their failures
#   targets   /i: the list of target products
#   install   default runs against installed sample products: boxes, languages, exit codes
#   failures  the temporary folder unusable, the installer refusing a request
#   planting  a msi.dll planted beside the launcher is never loaded
# Each run is observed through the watcher: the boxes a person would see, then the exit code.
# usage: SP_WORK=DIR SP_EXE=... SP_WATCHER=... scenarios.sh GROUP
set -uo pipefail
source "$(dirname "$0")/lib.sh"
group=${1:?usage: scenarios.sh payload|targets|install|failures|planting}
: "${SP_EXE:?}" "${SP_WATCHER:?}"
SP_PATCH_PACKAGE=${SP_PATCH_PACKAGE:-$SP_SOURCE/res/sample.msp}
SP_PATCH_INFO=${SP_PATCH_INFO:-$SP_SOURCE/res/patchinfo.txt}

trap finish EXIT
start_display || exit 1
ensure_prefix || exit 1
ensure_products || exit 1
load_platform

# The target list as the package states it (its summary information's template).
targets=$(msiinfo suminfo "$SP_PATCH_PACKAGE" | sed -n 's/^Template: //p')
[[ -n "$targets" ]] || { log "cannot read the target list of $SP_PATCH_PACKAGE"; exit 1; }

dir="$SP_WORK/$group"
rm -rf "$dir" && mkdir -p "$dir"
cd "$dir" || exit 1
n=0

# sp RESULTVAR ARGS...: runs the launcher from the build tree under the watcher, in $dir.
sp() {
    n=$((n + 1))
    local _result="$dir/run$n.txt"
    printf -v "$1" '%s' "$_result"
    shift
    watch "$_result" -- "$(winpath "$SP_EXE")" "$@"
}

# The bytes that one /p run appends: separator, the description block, CR LF.
patchlist_entry() { printf '*****\r\n'; cat "$SP_PATCH_INFO"; printf '\r\n'; }

expect_same_file() { # what expected actual
    if [[ -f "$3" ]] && cmp -s "$2" "$3"; then pass "$1"; else
        fail "$1"
        [[ -f "$3" ]] && log "       $(cmp "$2" "$3" 2>&1 | head -1)" || log "       $3 does not exist"
    fi
}

expect_absent() { if [[ ! -e "$2" ]]; then pass "$1"; else fail "$1: $2 exists"; fi; }

group_payload() {
    local r
    log "/e writes the package"
    sp r /e out.msp
    expect_boxes "/e out.msp" "$r" "" 0
    expect_same_file "/e out.msp: the package byte for byte" "$SP_PATCH_PACKAGE" out.msp

    mkdir -p "with blanks"
    head -c $(( $(stat -c %s "$SP_PATCH_PACKAGE") + 4096 )) /dev/urandom >"with blanks/old file.msp"
    sp r /E "$(winpath "with blanks/old file.msp")"
    expect_boxes "/E over a longer file, quoted path with blanks" "$r" "" 0
    expect_same_file "/E over a longer file: replaced, not merged" "$SP_PATCH_PACKAGE" "with blanks/old file.msp"

    sp r /e a.msp /e b.msp
    expect_boxes "/e a.msp /e b.msp" "$r" "" 0
    expect_same_file "/e a.msp /e b.msp: the later path wins" "$SP_PATCH_PACKAGE" b.msp
    expect_absent "/e a.msp /e b.msp: nothing written to the first path" a.msp

    # /e alone leaves its copy in the temporary folder: this also shows that the checks for
    # left-over copies look where the launcher puts them.
    sp r /e
    expect_boxes "/e without a path" "$r" "" 0
    local left
    left=$(leftover_temp_copies)
    expect_eq "/e without a path: one copy in the temporary folder" 1 "$(printf '%s' "$left" | grep -c .)"
    [[ -n "$left" ]] && expect_same_file "/e without a path: the package" "$SP_PATCH_PACKAGE" "$(printf '%s' "$left" | head -1)"
    rm -f $left

    sp r /e missing/out.msp
    expect_boxes "/e into a missing folder: fails without a box" "$r" "" 1603
    expect_absent "/e into a missing folder: no file" missing

    log "/p appends the description block"
    local want="$dir/want.txt"
    patchlist_entry >"$want"
    sp r /p list.txt
    expect_boxes "/p list.txt" "$r" "" 0
    expect_same_file "/p new file: separator, block, CR LF" "$want" list.txt
    sp r /P list.txt
    expect_boxes "/P list.txt again" "$r" "" 0
    { patchlist_entry; patchlist_entry; } >"$want"
    expect_same_file "/p twice: two entries, the first kept" "$want" list.txt

    printf 'earlier entry without a line ending' >tail.txt
    sp r /p tail.txt
    { printf 'earlier entry without a line ending'; patchlist_entry; } >"$want"
    expect_same_file "/p after a last line without a line ending: appended right after it" "$want" tail.txt

    local code4 default
    code4=$(printf '%s' "$targets" | sed -E 's/^[^-]*-(.{0,4}).*/\1/')
    default="patchlist$code4.txt"
    sp r /p
    expect_boxes "/p without a name" "$r" "" 0
    patchlist_entry >"$want"
    expect_same_file "/p without a name: $default in the current directory" "$want" "$default"
    expect_no_temp_copies "/p without a name"

    sp r /p missing/list.txt
    expect_boxes "/p into a missing folder" "$r" \
        "$(box error "$(msg_text 1033 311)" "$(msg_text 1033 310)")" 1603
    sp r /q /p missing/list.txt
    expect_boxes "/q /p into a missing folder: quiet, still a failure" "$r" "" 1603
    expect_absent "/p into a missing folder: no file" missing

    sp r /p both.txt /e both.msp
    expect_boxes "/p both.txt /e both.msp" "$r" "" 0
    expect_same_file "/p /e: the package" "$SP_PATCH_PACKAGE" both.msp
    patchlist_entry >"$want"
    expect_same_file "/p /e: the list" "$want" both.txt
    expect_no_temp_copies "payload runs"
}

group_targets() {
    local r list
    list=$(box none "List of Products" "$targets")
    log "/i shows the target codes"
    sp r /i
    expect_boxes "/i" "$r" "$list" 0
    sp r /q /i
    expect_boxes "/q /i: the list is shown all the same" "$r" "$list" 0
    sp r /e out.msp /i /q
    expect_boxes "/e out.msp /i /q" "$r" "$list" 0
    expect_same_file "/e out.msp /i /q: the package written too" "$SP_PATCH_PACKAGE" out.msp
    sp r /i /e late.msp
    expect_boxes "/i /e late.msp: the scan ends at /i" "$r" "$list" 0
    expect_absent "/i /e late.msp: nothing extracted" late.msp
    expect_no_temp_copies "/i runs"
}

# The boxes of a default run about one product: message ID in language LANG naming NAME.
product_box() { # icon caption-id lang id name
    box "$1" "$(msg_text "$3" "$2")" "$(msg_text "$3" "$4" "$5")"
}

# Checks a version after a run that applied the patch: the installer's result alone proves
# nothing (a transform it skips leaves the product as it was and still reports success).
expect_patched() { # what code
    local v
    v=$(installed_version "$2")
    if [[ "$v" == 7.2.0.2 ]]; then pass "$1: now at 7.2.0.2"; else fail "$1: at $v, not 7.2.0.2"; fi
}

group_install() {
    local r s=Studio rd=Reader
    s="Tessivar Studio"
    rd="Tessivar Reader"
    log "no target product installed"
    installed_only other-1033-10000 || return 1
    sp r
    expect_boxes "no target product (only another product)" "$r" \
        "$(box error "$(msg_text 1033 311)" "$(msg_text 1033 307)")" 1642
    sp r /q
    expect_boxes "/q, no target product" "$r" "" 1642
    sp r -q
    expect_boxes "-q is no switch: a normal run" "$r" \
        "$(box error "$(msg_text 1033 311)" "$(msg_text 1033 307)")" 1642

    log "product at the target version"
    installed_only studio-1043-72002 || return 1
    sp r
    expect_boxes "Studio 1043 at 7.2.0.2: one box 306 under the user's locale" "$r" \
        "$(product_box error 313 1033 306 "$s")" 0
    installed_only studio-1043-72002 reader-1033-71005 || return 1
    sp r
    expect_boxes "Studio at 7.2.0.2, Reader 1033 at 7.1.0.5: only Reader's 301" "$r" \
        "$(product_box information 312 1033 301 "$rd")" 0
    expect_patched "Reader 1033 from 7.1.0.5" "$SP_TARGET_B"

    log "product at an unsupported version"
    installed_only studio-1049-71006 || return 1
    sp r
    expect_boxes "Studio 1049 at 7.1.0.6: 308 in Russian" "$r" \
        "$(product_box error 311 1049 308 "$s")" 1642
    sp r /Q
    expect_boxes "/Q, Studio at 7.1.0.6" "$r" "" 1642
    installed_only studio-1049-71006 reader-1043-70435 || return 1
    sp r
    expect_boxes "Studio 1049 at 7.1.0.6, Reader 1043 at 7.0.43.5: 308 Russian, 301 English fallback" "$r" \
        "$(product_box error 311 1049 308 "$s")"$'\n'"$(product_box information 312 1043 301 "$rd")" 1642
    expect_patched "Reader 1043 from 7.0.43.5" "$SP_TARGET_B"

    log "products at candidate versions"
    installed_only studio-1041-70611 || return 1
    sp r
    expect_boxes "Studio 1041 at 7.0.61.1: 301 in Japanese" "$r" \
        "$(product_box information 312 1041 301 "$s")" 0
    expect_patched "Studio 1041 from 7.0.61.1" "$SP_TARGET_A"
    sp r
    expect_boxes "Studio 1041 run again after the patch: 306 under the user's locale" "$r" \
        "$(product_box error 313 1033 306 "$s")" 0

    installed_only studio-1031-70433 || return 1
    sp r /q
    expect_boxes "/q, Studio 1031 at 7.0.43.3: no box, patched" "$r" "" 0
    expect_patched "Studio 1031 from 7.0.43.3 under /q" "$SP_TARGET_A"
    installed_only || return 1
    installed_only studio-1031-70433 || return 1
    sp r
    expect_boxes "Studio 1031 at 7.0.43.3: 301 in German" "$r" \
        "$(product_box information 312 1031 301 "$s")" 0

    log "locales whose language has a table under another locale"
    # One product a run: Wine cannot uninstall the second of two products patched by one
    # package in one run (its cached copy of the patch is registered for the first only).
    installed_only studio-3082-70611 || return 1
    sp r
    expect_boxes "Studio 3082 at 7.0.61.1: 301 from the 1034 table" "$r" \
        "$(product_box information 312 1034 301 "$s")" 0
    expect_patched "Studio 3082 from 7.0.61.1" "$SP_TARGET_A"
    installed_only reader-3076-71005 || return 1
    sp r
    expect_boxes "Reader 3076 at 7.1.0.5: 301 from the 1028 table" "$r" \
        "$(product_box information 312 1028 301 "$rd")" 0
    expect_patched "Reader 3076 from 7.1.0.5" "$SP_TARGET_B"
    expect_no_temp_copies "default runs"
    installed_only || return 1
}

group_failures() {
    local r temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
    [[ -d "$temp" ]] || temp=$(find "$WINEPREFIX/drive_c/users" -maxdepth 1 -mindepth 1 -type d ! -name Public | head -1)/Temp
    log "a temporary folder that cannot hold files"
    installed_only studio-1031-70433 || return 1
    mkdir -p "$temp" && mv "$temp" "$temp.saved" && printf 'not a folder' >"$temp"
    sp r
    expect_boxes "no temporary copy possible: 300 before any product, exit 1603" "$r" \
        "$(box error "$(msg_text 1033 311)" "$(msg_text 1033 300 "$(grep -o 'Code: [-0-9]*' "$r" | cut -c7-)")")" 1603
    sp r /q
    expect_boxes "/q, no temporary copy possible" "$r" "" 1603
    sp r /i
    expect_boxes "/i, no temporary copy possible: the list box, empty" "$r" "$(box none "List of Products" "")" 1603
    sp r /p
    expect_boxes "/p without a name, no temporary copy possible" "$r" "" 0
    patchlist_entry >"$dir/want.txt"
    expect_same_file "/p without a name, no temporary copy possible: patchlist.txt" "$dir/want.txt" patchlist.txt
    rm -f "$temp" && mv "$temp.saved" "$temp"
    expect_eq "the installed product is untouched" 7.0.43.3 "$(installed_version "$SP_TARGET_A")"

    log "the installer refuses the request"
    # Without its cached package, nor the package it was installed from, the installer cannot
    # patch the product.
    local cache="$WINEPREFIX/drive_c/windows/Installer" saved="$dir/cache"
    mkdir -p "$saved" && cp -a "$cache/." "$saved/"
    find "$cache" -maxdepth 1 -type f -iname '*.msi' -delete
    mv "$SP_PRODUCTS/studio-1031-70433.msi" "$saved/source.msi"
    sp r
    mv "$saved/source.msi" "$SP_PRODUCTS/studio-1031-70433.msi"
    local code
    code=$(exit_of "$r")
    if [[ "$code" =~ ^[0-9]+$ && "$code" != 0 && "$code" != 1642 ]]; then
        pass "installer refused: exit code is its result ($code)"
    else
        fail "installer refused: exit code $code"
    fi
    expect_boxes "installer refused: 300 in German with the installer's result" "$r" \
        "$(box error "$(msg_text 1031 311)" "$(msg_text 1031 300 "$code")")" "$code"
    cp -a "$saved/." "$cache/"
    installed_only || return 1
    expect_no_temp_copies "failure runs"
}

group_planting() {
    local r plant="$dir/plant"
    mkdir -p "$plant"
    cp "$SP_EXE" "$plant/servicepack.exe"
    cp "$SP_FAKEMSI" "$plant/msi.dll"
    # Wine prefers its own msi.dll; Windows takes one beside the executable first. Prefer a
    # native one here as Windows would, so that a careless load is caught.
    local saved=$WINEDLLOVERRIDES
    export WINEDLLOVERRIDES="$saved;msi=n,b"
    installed_only studio-1049-71006 || return 1
    for args in "" "/i" "/p $(winpath "$dir/list.txt")"; do
        rm -f "$plant/planted-msi-loaded.txt"
        n=$((n + 1))
        r="$dir/run$n.txt"
        # shellcheck disable=SC2086
        watch "$r" -- "$(winpath "$plant/servicepack.exe")" $args
        local what="planted msi.dll, run ${args:-without arguments}"
        [[ -n "$(exit_of "$r")" && "$(exit_of "$r")" != timeout ]] && pass "$what: ran to its end" ||
            fail "$what: did not run to its end: $(cat "$r")"
        expect_absent "$what: no marker of the plant (never loaded)" "$plant/planted-msi-loaded.txt"
    done
    export WINEDLLOVERRIDES=$saved
    installed_only || return 1
}

"group_$group"
summary
