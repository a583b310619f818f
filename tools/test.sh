#!/bin/bash
# Builds the three presets and runs every test: unit and process tests on the host build and
# under the sanitizers, the end-to-end suite of the Windows build under Wine, and a short run of
# each fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
for preset in host host-asan win32; do
    cmake --preset "$preset" > /dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
status=0 passed=0 failed=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for preset in host host-asan win32; do
    echo "=== ctest --preset $preset"
    ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log" || status=1
    summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
    [[ -n "$summary" ]] || { status=1; continue; }
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<< "$summary")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<< "$summary")
    passed=$((passed + total - bad)) failed=$((failed + bad))
done
echo "=== fuzz/run.sh --smoke"
if bash fuzz/run.sh --smoke; then passed=$((passed + 1)); else failed=$((failed + 1)) status=1; fi
((failed == 0)) || status=1
echo "tests: $passed passed, $failed failed"
exit $status
