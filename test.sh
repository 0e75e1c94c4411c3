#!/usr/bin/env bash
# Builds the plugin and its tests under AddressSanitizer and UBSan, and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/deps.sh"
build="$here/build-asan"
jobs="$(nproc)"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DQTCORE_SANITIZE=ON -DQTCORE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs"
cd "$build"
ctest --output-on-failure -j"$jobs" "$@"
