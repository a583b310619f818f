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
status=0
for preset in host host-asan win32; do
    echo "=== ctest --preset $preset"
    ctest --preset "$preset" -j "$jobs" || status=1
done
echo "=== fuzz/run.sh --smoke"
bash fuzz/run.sh --smoke || status=1
exit $status
