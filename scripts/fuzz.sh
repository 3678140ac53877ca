#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while over its seed corpus.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
secs="${1:-60}"
build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRIN_SANITIZE=ON -DKESTRIN_BUILD_FUZZ=ON -DKESTRIN_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
for f in "$build"/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name="$(basename "$f")"
  corpus="$(cat "$build/fuzz-corpus/$name" 2>/dev/null || true)"
  work="$build/fuzz-work/$name"; mkdir -p "$work"
  echo "== $name (${secs}s)"
  # A crashing input is kept in the target's work folder, not in the folder the script runs in.
  "$f" -max_total_time="$secs" -timeout=10 -artifact_prefix="$work/" "$work" $corpus
done
