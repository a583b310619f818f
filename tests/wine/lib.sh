# Shared by the Wine scripts: the prefix, the display, running programs under the watcher,
# and the checks. Source it; set SP_WORK (a directory of our own) first.
#
# Wine's service processes inherit stdout and stderr: every wine command here writes to files,
# never to a pipe or a command substitution, or the caller would hang.

SP_SOURCE=${SP_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
SP_WORK=${SP_WORK:?set SP_WORK to a work directory}
mkdir -p "$SP_WORK"
SP_WORK=$(cd "$SP_WORK" && pwd)
SP_HERE="$SP_SOURCE/tests/wine"

export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$SP_WORK/prefix"
# The user's default locale is English (United States) unless a scenario says otherwise.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

SP_TARGET_A='{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61}' # Tessivar Studio
SP_TARGET_B='{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}' # Tessivar Reader
SP_OTHER='{0B1D2C3E-4F50-4617-8A9B-ACBDCEDF0001}'    # a product the patch does not target

sp_failures=0
sp_checks=0
sp_notes=()

log() { printf '%s\n' "$*"; }

# Z:\... form of a Linux path, for arguments that the Windows side reads.
winpath() {
    local p
    p=$(realpath -m "$1")
    printf 'Z:%s' "${p//\//\\}"
}

# wine OUT PROGRAM ARGS...: runs a Windows program, its output to the file OUT.
wine_to() {
    local out=$1
    shift
    wine "$@" >"$out" 2>&1
}

# --- display -----------------------------------------------------------------------------

start_display() {
    [[ -n "${SP_XVFB_PID:-}" ]] && return 0
    local n
    for n in $(seq 71 120); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$SP_WORK/xvfb.log" 2>&1 &
        SP_XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 50); do
            [[ -e /tmp/.X11-unix/X$n ]] && return 0
            kill -0 "$SP_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        unset SP_XVFB_PID
    done
    log "cannot start Xvfb"
    return 1
}

# Ends what this script started: our prefix's wineserver, then our display.
finish() {
    wineserver -k >/dev/null 2>&1 || true
    if [[ -n "${SP_XVFB_PID:-}" ]]; then
        kill "$SP_XVFB_PID" 2>/dev/null || true
        wait "$SP_XVFB_PID" 2>/dev/null || true
        unset SP_XVFB_PID
    fi
}

# --- prefix and products -----------------------------------------------------------------

SP_PRODUCTS="$SP_WORK/products"
SP_STATE="$SP_WORK/installed" # one line per installed product stem, as this suite left it

ensure_prefix() {
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        log "making the prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX" "$SP_STATE"
        wine_to "$SP_WORK/wineboot.log" wineboot -i
        wineserver -w
        # Without a window manager Wine draws the caption bar itself, so that screenshots show it.
        wine_to "$SP_WORK/reg.log" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
        wineserver -w
    fi
    touch "$SP_STATE"
}

ensure_products() {
    local list="$SP_SOURCE/tests/fixtures/products/products.txt"
    if [[ ! -f "$SP_PRODUCTS/.built" || "$list" -nt "$SP_PRODUCTS/.built" ||
          "$SP_SOURCE/tests/fixtures/products/product.wxs" -nt "$SP_PRODUCTS/.built" ]]; then
        log "building the sample products"
        bash "$SP_SOURCE/tests/fixtures/products/build-products.sh" "$SP_PRODUCTS" >"$SP_WORK/products.log" 2>&1 ||
            { cat "$SP_WORK/products.log"; return 1; }
        touch "$SP_PRODUCTS/.built"
    fi
}

product_code() { awk -F'|' -v s="$1" '$1 == s { print $2 }' "$SP_SOURCE/tests/fixtures/products/products.txt"; }

# installed_only STEM...: exactly these sample products are installed afterwards (one stem per
# product code). Products already installed as wanted stay; the rest are removed.
# The registry form of a product code: each group of the GUID reversed, the last two by pairs.
squashed_code() { # {GUID}
    local g=${1//[\{\}-]/} out="" i
    rev() { local t=$1 r="" j; for ((j = ${#t} - 1; j >= 0; j--)); do r+=${t:j:1}; done; printf '%s' "$r"; }
    out+=$(rev "${g:0:8}")$(rev "${g:8:4}")$(rev "${g:12:4}")
    for ((i = 16; i < 32; i += 2)); do out+=${g:i+1:1}${g:i:1}; done
    printf '%s' "$out"
}

# Uninstalls a product. Wine drops a patch's registration when the first of the products it
# patched is removed, and then fails (1647) to remove the others; forgetting the product's
# patch list lets them go.
uninstall_product() { # code
    local rc
    wine_to "$SP_WORK/msiexec.log" msiexec /x "$1" /qn
    rc=$?
    if [[ $rc == $((1647 & 255)) ]]; then
        wine_to "$SP_WORK/reg.log" reg delete \
            "HKLM\\Software\\Classes\\Installer\\Products\\$(squashed_code "$1")\\Patches" /f
        wine_to "$SP_WORK/msiexec.log" msiexec /x "$1" /qn
        rc=$?
    fi
    return $rc
}

installed_only() {
    local want=" $* " stem code rc
    while read -r stem; do
        [[ -z "$stem" ]] && continue
        if [[ "$want" != *" $stem "* ]]; then
            code=$(product_code "$stem")
            uninstall_product "$code"
            rc=$?
            [[ $rc == 0 || $rc == 1605 ]] || { log "uninstalling $stem failed: $rc"; return 1; }
            grep -vxF "$stem" "$SP_STATE" >"$SP_STATE.new" || true
            mv "$SP_STATE.new" "$SP_STATE"
        fi
    done <"$SP_STATE"
    for stem in "$@"; do
        grep -qxF "$stem" "$SP_STATE" && continue
        wine_to "$SP_WORK/msiexec.log" msiexec /i "$(winpath "$SP_PRODUCTS/$stem.msi")" /qn
        rc=$?
        [[ $rc == 0 ]] || { log "installing $stem failed: $rc"; cat "$SP_WORK/msiexec.log"; return 1; }
        echo "$stem" >>"$SP_STATE"
    done
}

# The version that the installer reports for a product code, from its registration, or "absent".
installed_version() {
    local out="$SP_WORK/reg-query.txt"
    wine_to "$out" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v DisplayVersion
    local v
    v=$(tr -d '\r' <"$out" | awk '$1 == "DisplayVersion" { print $3 }')
    printf '%s' "${v:-absent}"
}

# Where the launcher's temporary copies go: the user's and the system's temporary folders.
leftover_temp_copies() {
    find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/windows/temp" -maxdepth 5 -type f \
        -ipath '*temp*' -iname 'MSP*' 2>/dev/null
}

# --- running under the watcher -----------------------------------------------------------

# watch RESULT [--handshake DIR] -- PROGRAM ARGS...: runs PROGRAM (a Windows path or one
# in the current directory) under the watcher; the record goes to RESULT.
watch() {
    local result=$1
    shift
    local args=(--result "$(winpath "$result")" --timeout "${SP_TIMEOUT:-180}")
    if [[ "$1" == --handshake ]]; then
        args+=(--handshake "$(winpath "$2")")
        shift 2
    fi
    [[ "$1" == -- ]] && shift
    rm -f "$result"
    wine_to "$result.log" "$SP_WATCHER" "${args[@]}" -- "$@"
}

# Boxes of a record, one per line: icon TAB topmost TAB buttons TAB caption TAB text.
boxes_of() { awk -F'\t' -v OFS='\t' '$1 == "BOX" { print $3, $4, $5, $6, $7 }' "$1"; }
exit_of() { awk -F'\t' '$1 == "EXIT" { print $2 } $1 == "TIMEOUT" { print "timeout" }' "$1"; }

# The text of a catalogue entry as the watcher records it (line feeds as \n): from the
# string table of the language, or from the English one when the language has no table.
# msg_text LANG ID [ARG]
msg_text() { python3 "$SP_HERE/rctext.py" "$SP_SOURCE/res" "$@"; }

# --- checks ------------------------------------------------------------------------------

pass() { sp_checks=$((sp_checks + 1)); log "  ok   $*"; }
fail() { sp_checks=$((sp_checks + 1)); sp_failures=$((sp_failures + 1)); log "  FAIL $*"; }
note() { sp_notes+=("$*"); log "  note $*"; }

expect_eq() { # what expected actual
    if [[ "$2" == "$3" ]]; then pass "$1"; else fail "$1"; log "       expected: $2"; log "       actual:   $3"; fi
}

# expect_boxes SCENARIO RESULT EXPECTED_BOXES EXPECTED_EXIT: the boxes (lines as boxes_of
# prints them) and the exit code. Topmost is compared only where the platform shows it.
expect_boxes() {
    local name=$1 result=$2 want=$3 code=$4 got
    got=$(boxes_of "$result")
    if [[ "${SP_TOPMOST_SEEN:-1}" != 1 ]]; then
        got=$(printf '%s' "$got" | awk -F'\t' -v OFS='\t' 'NF { $2 = "-" } { print }')
        want=$(printf '%s' "$want" | awk -F'\t' -v OFS='\t' 'NF { $2 = "-" } { print }')
    fi
    expect_eq "$name: boxes" "$want" "$got"
    expect_eq "$name: exit code" "$code" "$(exit_of "$result")"
}

# box ICON CAPTION TEXT: one expected box of the catalogue (OK button, topmost).
box() { printf '%s\t1\tOK\t%s\t%s' "$1" "$2" "$3"; }

expect_no_temp_copies() {
    local left
    left=$(leftover_temp_copies)
    if [[ -z "$left" ]]; then pass "$1: no MSP* temporary copy left"; else
        fail "$1: temporary copies left: $left"; rm -f $left; fi
}

summary() {
    log ""
    log "$sp_checks checks, $sp_failures failed"
    local n
    for n in "${sp_notes[@]}"; do log "note: $n"; done
    [[ $sp_failures == 0 ]]
}

# Whether this platform raises MB_TOPMOST boxes above others (Wine 8 does not): shown by a
# box of our own. Recorded once per work directory; the checks compare topmost only where
# it is shown.
calibrate_topmost() {
    local r="$SP_WORK/calibrate.txt"
    watch "$r" -- "$SP_BOXDEMO" 0
    local t
    t=$(boxes_of "$r" | awk -F'\t' 'NR == 1 { print $2 }')
    echo "SP_TOPMOST_SEEN=${t:-0}" >"$SP_WORK/platform.env"
}

load_platform() {
    [[ -f "$SP_WORK/platform.env" ]] || calibrate_topmost
    source "$SP_WORK/platform.env"
    [[ "$SP_TOPMOST_SEEN" == 1 ]] ||
        note "this platform does not raise MB_TOPMOST boxes (Wine ignores the flag): topmost not compared"
}

# watch_shots RESULT SHOTBASE -- PROGRAM ARGS...: as watch, and each box is photographed
# while the watcher holds it open: SHOTBASE-<n>.png, cropped to the box.
watch_shots() {
    local result=$1 base=$2
    shift 2
    [[ "$1" == -- ]] && shift
    local hs="$SP_WORK/handshake"
    rm -rf "$hs" && mkdir -p "$hs"
    rm -f "$result"
    wine_to "$result.log" "$SP_WATCHER" --result "$(winpath "$result")" --timeout "${SP_TIMEOUT:-180}" \
        --handshake "$(winpath "$hs")" -- "$@" &
    local pid=$! n=1
    while kill -0 "$pid" 2>/dev/null; do
        if [[ -s "$hs/shown-$n" ]]; then
            local l t rt b
            read -r l t rt b <"$hs/shown-$n"
            import -window root -crop "$((rt - l))x$((b - t))+$l+$t" +repage "$base-$n.png" 2>>"$SP_WORK/import.log" ||
                log "screenshot $n failed"
            touch "$hs/go-$n"
            n=$((n + 1))
        else
            sleep 0.1
        fi
    done
    wait "$pid"
}

# One box of a record for people: caption, icon and text, line feeds as new lines.
print_boxes() {
    boxes_of "$1" | while IFS=$'\t' read -r icon top buttons caption text; do
        printf '   box "%s", icon %s, buttons %s, topmost %s:\n' "$caption" "$icon" "$buttons" "$top"
        printf '%s\n' "$text" | sed 's/\\n/\n/g; s/\\t/\t/g; s/\\\\/\\/g' | sed 's/^/      /'
    done
}
