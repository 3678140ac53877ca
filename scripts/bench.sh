#!/usr/bin/env bash
# Builds the Google Benchmark programs in a Release build and runs them all.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRIN_BUILD_BENCH=ON -DKESTRIN_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] && "$b" "$@"
done
