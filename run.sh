#!/usr/bin/env bash
# Runs script files (or standard input) in our host with "qt.core" imported.
# Usage: ./run.sh examples/timers.js
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/deps.sh"
build="$here/build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQTCORE_TESTS=OFF -DQTCORE_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target qtcore-host >/dev/null
exec "$build/qtcore-host" "$@"
