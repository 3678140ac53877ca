#!/usr/bin/env bash
# Sets up, builds a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test. Usage: scripts/test.sh [extra ctest arguments, e.g. -L units]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DKESTRIN_SANITIZE=ON -DKESTRIN_BUILD_TESTS=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# setup.sh generated the decimal-comma locale: its tests must run, never skip.
export KESTRIN_REQUIRE_COMMA_LOCALE=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
