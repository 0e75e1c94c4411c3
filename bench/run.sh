#!/usr/bin/env bash
# Builds the plugin and the benchmark in release mode and prints the table.
# Usage: bench/run.sh [--trials N] [--quick] [--only TEXT] [--plugins DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQTCORE_SANITIZE=OFF -DQTCORE_BENCH=ON \
    -DQTCORE_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target qtcore-bench >/dev/null
exec "$build/bench/qtcore-bench" "$@"
