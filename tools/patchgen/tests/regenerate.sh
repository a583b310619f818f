#!/bin/bash
# Regenerates the sample patch package and its description block and compares them byte for byte
# with the committed ones; checks that msiinfo reads the package as a patch database.
#   regenerate.sh PATCHGEN SOURCE_DIR WORKDIR
set -euo pipefail
patchgen=$1 source_dir=$2 work=$3
mkdir -p "$work"
"$patchgen" --msp "$work/sample.msp" --patchinfo "$work/patchinfo.txt"
status=0
cmp "$work/sample.msp" "$source_dir/res/sample.msp" || { echo "res/sample.msp is stale: run patchgen"; status=1; }
cmp "$work/patchinfo.txt" "$source_dir/res/patchinfo.txt" || { echo "res/patchinfo.txt is stale: run patchgen"; status=1; }

size=$(stat -c %s "$work/sample.msp")
grep -q $'^PatchSize='"$size"$'\r$' "$work/patchinfo.txt" || { echo "PatchSize is not $size"; status=1; }
[[ $(grep -c $'\r$' "$work/patchinfo.txt") == 8 && $(wc -l < "$work/patchinfo.txt") == 8 ]] \
    || { echo "patchinfo.txt: expected eight CR LF lines"; status=1; }

msiinfo suminfo "$work/sample.msp" > "$work/suminfo.txt"
for expected in \
    'Title: Tessivar 7.2 Service Pack 2' \
    'Template: {6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A61};{6F3C2A10-8B4D-4E21-9A7C-1D2E3F405A62}' \
    'Last author: :Studio72;:#Studio72;:Reader72;:#Reader72' \
    'Revision number (UUID): {A7D35B0E-72C2-4F1E-9C55-3B1E7D2A0702}'; do
    grep -qxF "$expected" "$work/suminfo.txt" || { echo "msiinfo suminfo lacks '$expected'"; status=1; }
done
msiinfo tables "$work/sample.msp" > "$work/tables.txt"
for table in MsiPatchMetadata MsiPatchSequence; do
    grep -qx "$table" "$work/tables.txt" || { echo "msiinfo tables lacks $table"; status=1; }
done
exit $status
