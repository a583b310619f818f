#!/bin/bash
# Proves the harness on programs whose behaviour is known: the watcher reads each box of a
# program of ours exactly, and the planted-DLL check sees a static importer load the plant.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
trap finish EXIT
start_display || exit 1
ensure_prefix || exit 1
load_platform

log "watcher on boxdemo.exe"
r="$SP_WORK/harness-boxes.txt"
watch "$r" -- "$SP_BOXDEMO" 1641
want=$(printf '%s\t%s\tOK\t%s\t%s\n' \
    error 1 "Installation Error" '問題が発生しました。 \n\n Error Code: -5' \
    information 0 "Installation Successful" 'Установлено: Tessivar Studio' \
    none 1 "List of Products" '{A};{B}' \
    none 1 Topmost 'system modal')
expect_boxes "four known boxes" "$r" "${want%$'\n'}" 1641
expect_eq "a system-modal box is seen as topmost" 1 "$(boxes_of "$r" | awk -F'\t' 'NR == 4 { print $2 }')"

log "planted msi.dll beside a static importer"
d="$SP_WORK/harness-plant"
rm -rf "$d" && mkdir -p "$d"
cp "$SP_STATICMSI" "$SP_FAKEMSI" "$d/"
( cd "$d" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msi=n,b" wine_to "$d/run.log" ./"$(basename "$SP_STATICMSI")" )
if [[ -e "$d/planted-msi-loaded.txt" ]]; then pass "the plant is loaded by a static importer: the check can fail"
else fail "the plant was not loaded by a static importer: the planted-DLL check proves nothing"; fi
summary
