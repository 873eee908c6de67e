#!/usr/bin/env bash
# Temporaries across PID namespaces: a writer in another namespace (a
# container) cannot see this one's process ids, so whether a temporary is
# still being written must not be judged by them. A temporary that its
# writer holds survives every other run; one that nobody holds (its writer
# was killed) is cleared by the next run in the folder. Exits 77 (skipped)
# where no PID namespace can be made.
# Usage: cli_temporaries_test.sh SEKORA_CLI DATA_DIR [RUNS]
set -u
cli=$1
data=$2
runs=${3:-40}
source "$(dirname "$0")/cli_checks.sh"

# The prefix to run a command in a new PID namespace, as root or in a user
# namespace of its own.
namespace=()
for candidate in "unshare --pid --fork" "unshare --user --map-root-user --pid --fork"; do
  if $candidate true 2>/dev/null; then
    read -r -a namespace <<<"$candidate"
    break
  fi
done
if [ ${#namespace[@]} = 0 ]; then
  echo "no PID namespace can be made here: skipped"
  exit 77
fi

mkdir -p "$work/d"
cp "$data/BOX.TXT" "$data/KAN.TXT" "$work/d/"
"$cli" --q 1.5 --l 20 --dir "$work/d" >/dev/null
cp "$work/d/Keisan.txt" "$work/good.txt"

# A writer of another machine or namespace, whose process id means nothing
# here, holds its temporary (flock, as every writer does) for a while; a
# killed writer left a file and a folder that nobody holds.
held="$work/d/.sekora-tmp-4194303-0"
flock --no-fork "$held" sleep 30 &
holder=$!
for _ in $(seq 50); do [ -e "$held" ] && break; sleep 0.1; done
echo "half a file" >"$work/d/.sekora-tmp-4194303-1"
mkdir "$work/d/.sekora-tmp-4194303-2"
echo "half a set" >"$work/d/.sekora-tmp-4194303-2/1_A.txt"

"${namespace[@]}" "$cli" --q 1.5 --l 20 --dir "$work/d" >/dev/null 2>"$work/err"
check "a run in a PID namespace: exit 0" [ $? = 0 ]
check "a run in a PID namespace: its results" cmp -s "$work/d/Keisan.txt" "$work/good.txt"
check "the held temporary survives" [ -e "$held" ]
check "the abandoned file is cleared" [ ! -e "$work/d/.sekora-tmp-4194303-1" ]
check "the abandoned folder is cleared" [ ! -e "$work/d/.sekora-tmp-4194303-2" ]
kill "$holder"
wait "$holder" 2>/dev/null
"$cli" --q 1.5 --l 20 --dir "$work/d" >/dev/null
check "a temporary no longer held is cleared by the next run" [ ! -e "$held" ]

# Writers inside and outside a namespace, in one folder at once: every run
# writes its file whole.
many() {  # many PREFIX...: RUNS runs, counting the failed ones
  local failed=0 i
  for ((i = 0; i < runs; i++)); do
    "$@" "$cli" --q 1.5 --l 20 --dir "$work/d" >/dev/null 2>>"$work/errors" || failed=$((failed + 1))
  done
  echo $failed
}
many "${namespace[@]}" >"$work/failed-inside" &
many env >"$work/failed-outside" &
wait
check "no run inside the namespace failed" [ "$(cat "$work/failed-inside")" = 0 ]
check "no run outside failed" [ "$(cat "$work/failed-outside")" = 0 ]
check "Keisan.txt is whole" cmp -s "$work/d/Keisan.txt" "$work/good.txt"
check "no temporary left" [ "$(ls -A "$work/d" | grep -c sekora-tmp)" = 0 ]
[ -s "$work/errors" ] && head -3 "$work/errors"

finish "temporaries across PID namespaces"
