#!/usr/bin/env bash
# The program folder must be left as the build made it: no test run and no program run may
# add, remove or rewrite a file in it (lock files, reports, changed data).
# Usage: program_folder.sh snapshot <folder> <snapshot file>
#        program_folder.sh compare  <folder> <snapshot file>
set -euo pipefail
mode="$1" folder="$2" snapshot="$3"
list() {
  # Name, type, size and modification time of every entry of the folder itself.
  find "$folder" -mindepth 1 -maxdepth 1 -printf '%f %y %s %T@\n' | LC_ALL=C sort
}
case "$mode" in
  snapshot) list >"$snapshot" ;;
  compare)
    if ! diff <(cat "$snapshot") <(list) >"$snapshot.diff"; then
      echo "The program folder $folder changed (< before, > after):" >&2
      cat "$snapshot.diff" >&2
      exit 1
    fi
    echo "The program folder $folder is unchanged."
    ;;
  *) echo "usage: $0 snapshot|compare <folder> <snapshot file>" >&2; exit 2 ;;
esac
