#!/usr/bin/env bash
# Builds the plugin and its tests under AddressSanitizer and UBSan, and runs every test; then the
# tests of objects on other threads again under ThreadSanitizer.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/deps.sh"
jobs="$(nproc)"
build="$here/build-asan"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DQTCORE_SANITIZE=ON -DQTCORE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs"
(cd "$build" && ctest --output-on-failure -j"$jobs" "$@")
tsan="$here/build-tsan"
cmake -S "$here" -B "$tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQTCORE_TSAN=ON -DQTCORE_BENCH=OFF >/dev/null
cmake --build "$tsan" -j"$jobs"
(cd "$tsan" && ctest --output-on-failure -j"$jobs" "$@")
