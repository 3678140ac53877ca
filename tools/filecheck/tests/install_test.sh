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
#    sees the read-only one. The namespace is made as root directly, or else (an ordinary
#    user) in a user namespace of its own in which the user is root.
if unshare -m true 2>/dev/null; then
  private=(unshare -m --propagation private)
elif why="$(unshare -Urm true 2>&1)"; then
  private=(unshare -Urm --propagation private)
else
  fail "this machine cannot make the read-only folders of this test for $(id -un): a mount namespace" \
    "needs root, and user namespaces are not allowed (unshare -Urm: $why)"
fi
userdata="$work/userdata"
other="$work/other"
locked="$work/locked"
projects="$work/projects"
mkdir -p "$other" "$locked" "$projects"
# The user's own project of the sample's name, in the folder the check is run from.
{ cat "$pf/Sample.vxn"; echo "the user's changes"; } >"$projects/Sample.vxn"
run_veritor() {  # run_veritor <folder> <read-only folders, blank-separated> <arguments>...
  local folder="$1" readonly="$2"
  shift 2
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME="${data:-$userdata}" \
    "${private[@]}" bash -c '
      folder="$1" readonly="$2"
      shift 2
      for f in $readonly; do
        mount --bind "$f" "$f" && mount -o remount,bind,ro "$f" || exit 99
      done
      cd "$folder" && exec timeout 120 "$@"' bash "$folder" "$readonly" "$prefix/bin/veritor" "$@"
}
state="good"
echo "| list | folder | installation | user | exit code | report | program folder sha256 before / after |"
echo "|---|---|---|---|---|---|---|"
# check <list shown> <folder> <read-only folders> <expected code> <expected report folder, - for
# none> <arguments>...
check() {
  local list="$1" folder="$2" readonly="$3" want="$4" where="$5"
  shift 5
  local hash_before hash_after
  hash_before="$(sha256sum <"$work/bytes.before" | cut -c1-12)"
  set +e
  run_veritor "$folder" "$readonly" "$@" >"$work/out" 2>"$work/err"
  local code=$?
  set -e
  local report
  report="$(cat "$work/out")"
  local same=yes
  unchanged || same=no
  hash_after="$(bytes | sha256sum | cut -c1-12)"
  local user
  user="$(id -un)"
  [ -n "$readonly" ] && user="$user, read-only mount of ${readonly//$work\//}"
  local shown="${report//$work\//}"
  [ "$where" = - ] && shown="none; stdout: ${shown//$'\n'/ }"
  echo "| $list | ${folder//$work\//} | $state | $user | $code | $shown | $hash_before / $hash_after |"
  [ "$code" -eq "$want" ] || fail "veritor /s ended with $code, not $want: $(cat "$work/err")"
  if [ "$where" = - ]; then
    [ ! -f "$report" ] || fail "a report was written where none should be: '$report'"
  else
    [ "$(dirname "$report")" = "$where" ] && [ -f "$report" ] || fail "the report is not in $where: '$report'"
  fi
  [ "$same" = yes ] || { "$folder_check" compare "$pf" "$work/before" || true; fail "veritor changed $pf"; }
}
check "(none)" "$other" "$pf" 0 "$other" /s
check "(none)" "$other" "" 0 "$other" /s
check "(none)" "$pf" "" 0 "$userdata/Kestrin" /s
check "(none)" "$locked" "$pf $locked" 0 "$userdata/Kestrin" /s
check "share/kestrin/SETUP.CRC" "$other" "$pf" 0 "$userdata/Kestrin" /s "$pf/SETUP.CRC"
check "share/kestrin/SETUP.CRC" "$other" "" 0 "$userdata/Kestrin" /s "$pf/SETUP.CRC"
cat "$(ls "$other"/crc*.txt | head -n 1)"
# A project of the user's named like a listed file, in the folder the check is run from, does
# not stand in for the installed one.
check "(none)" "$projects" "" 0 "$projects" /s
check "share/kestrin/SETUP.CRC" "$projects" "" 0 "$userdata/Kestrin" /s "$pf/SETUP.CRC"
# The per-user folder named inside the program folder takes no report: none is written, the
# verdict goes to stdout.
data="$pf" check "(none), XDG_DATA_HOME=share/kestrin" "$pf" "" 2 - /s
data="$pf/sub" check "(none), XDG_DATA_HOME=share/kestrin/sub" "$locked" "$locked" 2 - /s
grep -q "^[0-9]\+ files checked, 0 failed$" "$work/out" || fail "no verdict on stdout: $(cat "$work/out")"
grep -q "The per-user folder $pf/sub/Kestrin/ is in the program folder" "$work/err" ||
  fail "the folders tried are not named: $(cat "$work/err")"

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

# 5. One bit of a data file flipped: the check fails, also when it is run from the user's
#    scratch folder, which holds vexon's copies of the data files. Then, the file whole again,
#    one missing: the same.
scratch="$XDG_DATA_HOME/Kestrin/Temp"
[ -f "$scratch/TWR.DAT" ] || fail "vexon did not copy TWR.DAT into its scratch folder"
flip() {  # flip one bit of the file's first byte
  local first
  first="$(od -An -tu1 -N1 "$1" | tr -d ' ')"
  printf "$(printf '\\%03o' $((first ^ 1)))" | dd of="$1" bs=1 count=1 conv=notrunc status=none
}
snapshot() {
  "$folder_check" snapshot "$pf" "$work/before"
  bytes >"$work/bytes.before"
}
flip "$pf/CHL.DAT"
snapshot
state="CHL.DAT with one bit flipped"
check "(none)" "$other" "" 1 "$other" /s
grep -q "	CHL.DAT	[0-9A-F]\+	" "$(cat "$work/out")" || fail "the report does not name CHL.DAT's CRC"
check "(none)" "$scratch" "" 1 "$scratch" /s
grep -q "	CHL.DAT	[0-9A-F]\+	" "$(cat "$work/out")" || fail "the report does not name CHL.DAT's CRC"
check "share/kestrin/SETUP.CRC" "$scratch" "" 1 "$userdata/Kestrin" /s "$pf/SETUP.CRC"
flip "$pf/CHL.DAT"
mv "$pf/TWR.DAT" "$work/TWR.DAT"
snapshot
state="TWR.DAT missing"
check "(none)" "$scratch" "" 1 "$scratch" /s
grep -q "	TWR.DAT	File Not Found	" "$(cat "$work/out")" || fail "the report does not name TWR.DAT as missing"
check "share/kestrin/SETUP.CRC" "$scratch" "" 1 "$userdata/Kestrin" /s "$pf/SETUP.CRC"
