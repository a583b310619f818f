#!/bin/bash
# The launcher's import table names system DLLs only, and not msi.dll: the installer library
# is loaded at run time from the system folder, so that a msi.dll planted beside the
# executable (a download folder) is never bound at start-up.
# usage: check-imports.sh EXE
set -uo pipefail
exe=${1:?usage: check-imports.sh EXE}
objdump=${SP_OBJDUMP:-}
[[ -x "$objdump" ]] || objdump=$(command -v i686-w64-mingw32-objdump)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$objdump" -p "$exe" >"$out" || { echo "FAIL cannot read $exe"; exit 1; }
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name: //p' "$out" | tr 'A-Z' 'a-z' | sort -u)
# DLLs of the platform itself; the C runtime counts, as every Windows has it.
allowed=" kernel32.dll user32.dll shell32.dll advapi32.dll gdi32.dll msvcrt.dll ntdll.dll bcrypt.dll "
failures=0
echo "imports: ${dlls[*]:-none}"
[[ ${#dlls[@]} -gt 0 ]] || { echo "FAIL no import table found"; failures=1; }
for d in "${dlls[@]}"; do
    if [[ "$d" == msi.dll ]]; then
        echo "FAIL msi.dll is imported statically"; failures=$((failures + 1))
    elif [[ "$d" == api-ms-win-* ]]; then
        : # API sets resolve to system DLLs
    elif [[ "$allowed" != *" $d "* ]]; then
        echo "FAIL $d is not a system DLL"; failures=$((failures + 1))
    fi
done
grep -qi 'delay.*msi\.dll' "$out" && { echo "FAIL msi.dll is delay-loaded (searched beside the executable)"; failures=$((failures + 1)); }
[[ $failures == 0 ]] && echo "ok   system DLLs only, msi.dll not among them"
[[ $failures == 0 ]]
