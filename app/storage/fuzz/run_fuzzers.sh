#!/bin/sh
# Builds the storage fuzz targets with clang and libFuzzer and runs each for a while over a
# copy of its seed corpus. Usage: app/storage/fuzz/run_fuzzers.sh [seconds per target, 60]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../../.." && pwd)
build="$repo/build/fuzz-storage"
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKESTRIN_SANITIZE=ON -DKESTRIN_BUILD_FUZZ=ON -DKESTRIN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel 3 --target fuzz_project_xml fuzz_cal_sections
for target in project_xml cal_sections; do
  work=$(mktemp -d)
  cp "$here/corpus_$target"/* "$work/"
  "$build/bin/fuzz_$target" "$work" -max_total_time="$seconds" -timeout=10 -max_len=100000 -rss_limit_mb=4096
  rm -rf "$work"
done
