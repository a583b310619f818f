#!/bin/bash
# Makes (or reuses) the 32-bit prefix of a work directory and builds the sample products.
# usage: SP_WORK=DIR SP_BOXDEMO=boxdemo.exe prefix.sh [--fresh]
set -uo pipefail
source "$(dirname "$0")/lib.sh"
if [[ "${1:-}" == --fresh ]]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$SP_STATE" "$SP_WORK/platform.env"
fi
trap finish EXIT
start_display || exit 1
ensure_prefix || exit 1
ensure_products || exit 1
installed_only || exit 1
calibrate_topmost
cat "$SP_WORK/platform.env"
log "prefix ready: $WINEPREFIX"
