#!/usr/bin/env bash
# The installation: `cmake --install` into a fresh prefix gives a program folder
# (share/kestrin/) that holds exactly the files its SETUP.CRC lists, `veritor /s` passes on
# it and leaves its report outside it (also when the program folder is read-only), vexon
# starts from it and finds its program data there, neither run changes it, and a changed
# file makes `veritor /s` fail.
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

# The listing of the program folder and the bytes of its files.
"$folder_check" snapshot "$pf" "$work/before"
bytes() { (cd "$pf" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum); }
bytes >"$work/bytes.before"
unchanged() {
  "$folder_check" compare "$pf" "$work/before" >/dev/null && bytes | cmp -s - "$work/bytes.before"
}

# 2. The checker on the installation (through its link in bin/), one row of the table per
#    run. A folder is made read-only with a read-only bind mount in a private mount namespace,
#    which stops root as well; the run changes into its folder after the mount, so that it
#    sees the read-only one.
userdata="$work/userdata"
other="$work/other"
locked="$work/locked"
mkdir -p "$other" "$locked"
run_veritor() {  # run_veritor <folder> <read-only folders, blank-separated> <arguments>...
  local folder="$1" readonly="$2"
  shift 2
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME="$userdata" \
    unshare -m --propagation private bash -c '
      folder="$1" readonly="$2"
      shift 2
      for f in $readonly; do
        mount --bind "$f" "$f" && mount -o remount,bind,ro "$f" || exit 99
      done
      cd "$folder" && exec timeout 120 "$@"' bash "$folder" "$readonly" "$prefix/bin/veritor" "$@"
}
echo "| list | folder | user | exit code | report | program folder unchanged |"
echo "|---|---|---|---|---|---|"
# check <list shown> <folder> <read-only folders> <expected code> <expected report folder> <arguments>...
check() {
  local list="$1" folder="$2" readonly="$3" want="$4" where="$5"
  shift 5
  set +e
  run_veritor "$folder" "$readonly" "$@" >"$work/out" 2>"$work/err"
  local code=$?
  set -e
  local report
  report="$(cat "$work/out")"
  local same=yes
  unchanged || same=no
  local user="root"
  [ -n "$readonly" ] && user="root, read-only mount of ${readonly//$work\//}"
  echo "| $list | ${folder//$work\//} | $user | $code | ${report//$work\//} | $same |"
  [ "$code" -eq "$want" ] || fail "veritor /s ended with $code, not $want: $(cat "$work/err")"
  [ "$(dirname "$report")" = "$where" ] && [ -f "$report" ] || fail "the report is not in $where: '$report'"
  [ "$same" = yes ] || { "$folder_check" compare "$pf" "$work/before" || true; fail "veritor changed $pf"; }
}
check "(none)" "$other" "$pf" 0 "$other" /s
check "(none)" "$other" "" 0 "$other" /s
check "(none)" "$pf" "" 0 "$userdata/Kestrin" /s
check "(none)" "$locked" "$pf $locked" 0 "$userdata/Kestrin" /s
check "share/kestrin/SETUP.CRC" "$other" "$pf" 0 "$userdata/Kestrin" /s "$pf/SETUP.CRC"
check "share/kestrin/SETUP.CRC" "$other" "" 0 "$userdata/Kestrin" /s "$pf/SETUP.CRC"
cat "$(ls "$other"/crc*.txt | head -n 1)"

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
bytes | cmp -s - "$work/bytes.before" || fail "the bytes of a file in $pf changed"

# 5. One bit of a data file flipped: the check fails.
first="$(od -An -tu1 -N1 "$pf/CHL.DAT" | tr -d ' ')"
printf "$(printf '\\%03o' $((first ^ 1)))" | dd of="$pf/CHL.DAT" bs=1 count=1 conv=notrunc status=none
"$folder_check" snapshot "$pf" "$work/before"
bytes >"$work/bytes.before"
check "(none), CHL.DAT with one bit flipped" "$other" "" 1 "$other" /s
grep -q "	CHL.DAT	[0-9A-F]\+	" "$(cat "$work/out")" || fail "the report does not name CHL.DAT's CRC"
