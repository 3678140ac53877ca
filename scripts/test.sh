#!/usr/bin/env bash
# Sets up, builds every target (programs, libraries, tests, benchmarks, examples, the fuzz
# harnesses with their replay driver) in a Debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Usage: scripts/test.sh [extra ctest
# arguments, e.g. -L units]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

build="$root/build/test"
# -g1 keeps the function names and line tables that the sanitizers' reports and backtraces
# show, without the variables' descriptions: the build is a fifth quicker and much smaller.
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 \
  -DKESTRIN_SANITIZE=ON -DKESTRIN_BUILD_TESTS=ON -DKESTRIN_BUILD_BENCH=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# setup.sh generated the decimal-comma locale: its tests must run, never skip.
export KESTRIN_REQUIRE_COMMA_LOCALE=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Nothing a test starts (Qt, fontconfig, LibreOffice) writes into the real home folder.
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export HOME="$home"
# The run must leave the working tree as it found it.
status_before="$(git -C "$root" status --porcelain 2>/dev/null || true)"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
status_after="$(git -C "$root" status --porcelain 2>/dev/null || true)"
if [ "$status_before" != "$status_after" ]; then
  echo "test: the test run changed the working tree:" >&2
  diff <(echo "$status_before") <(echo "$status_after") >&2 || true
  exit 1
fi
