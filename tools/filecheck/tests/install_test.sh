#!/usr/bin/env bash
# The installation: `cmake --install` into a fresh prefix gives a program folder
# (share/kestrin/) that holds exactly the files its SETUP.CRC lists, `veritor /s` passes on
# it, vexon starts from it and finds its program data there, and neither run changes it.
# Usage: install_test.sh <cmake> <build folder>
set -euo pipefail
cmake_cmd="$1" build="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
folder_check="$here/../../../cmake/program_folder.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
"$cmake_cmd" --install "$build" --prefix "$prefix" >"$work/install.log"
pf="$prefix/share/kestrin"
fail() { echo "install_test: $*" >&2; exit 1; }

# 1. The folder and the list name the same files. A library is listed by the name the loader
#    uses (a link to the versioned file): the link and the file it points to are both covered.
listed="$(sed -n 's/^\[\([^]:]*\).*\]\r\?$/\1/p' "$pf/SETUP.CRC" | LC_ALL=C sort)"
present="$(
  cd "$pf"
  for f in *; do
    [ "$f" = SETUP.CRC ] && continue
    if [ -L "$f" ]; then
      echo "$f"
    elif [ -f "$f" ]; then
      covered=""
      for l in *; do
        if [ -L "$l" ] && [ "$(readlink "$l")" = "$f" ]; then covered=1; fi
      done
      [ -n "$covered" ] || echo "$f"
    else
      echo "$f (not a file)"
    fi
  done | LC_ALL=C sort
)"
if [ "$listed" != "$present" ]; then
  diff <(echo "$listed") <(echo "$present") >&2 || true
  fail "the program folder and SETUP.CRC differ (< listed only, > in the folder only)"
fi
echo "$(echo "$listed" | wc -l) files in $pf, all listed in SETUP.CRC"

"$folder_check" snapshot "$pf" "$work/before"

# 2. The checker passes on the installation (through its link in bin/).
set +e
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 120 "$prefix/bin/veritor" /s) 2>"$work/veritor.err"
code=$?
set -e
report="$(ls "$pf"/crc*.txt 2>/dev/null || true)"
[ -n "$report" ] && cat "$report" && rm -f $report
[ "$code" -eq 0 ] || fail "veritor /s ended with $code: $(cat "$work/veritor.err")"

# 3. vexon starts from the installation with a fresh per-user folder and is still running
#    after a while (no message box stops it: it is offscreen), having copied the templates of
#    its program data into the scratch folder.
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
set +e
timeout 20 "$prefix/bin/vexon" >"$work/vexon.log" 2>&1
code=$?
set -e
[ "$code" -eq 124 ] || fail "vexon ended with $code before it was stopped: $(cat "$work/vexon.log")"
[ -f "$XDG_DATA_HOME/Kestrin/Temp/CHL.DAT" ] || fail "vexon did not set up its scratch folder from $pf"

# 4. Neither run changed the program folder.
"$folder_check" compare "$pf" "$work/before"
