#!/usr/bin/env bash
# Sets up, builds the program and its file checker (a normal build in build/run) and starts
# the program on the sample project.
# Usage: scripts/run.sh [project.vxn]   (default: the sample project of the program folder)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (DISPLAY and WAYLAND_DISPLAY are empty); start it from a desktop session." >&2
  exit 1
fi

"$root/scripts/setup.sh"
build="$root/build/run"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRIN_SANITIZE=OFF -DKESTRIN_BUILD_TESTS=OFF >/dev/null
# The program, the file checker and the list of the program folder's files (SETUP.CRC).
cmake --build "$build" --target vexon veritor kestrin_setup_crc --parallel "$(nproc)"

project="${1:-$build/bin/Sample.vxn}"
exec "$build/bin/vexon" "$project"
