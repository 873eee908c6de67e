#!/usr/bin/env bash
# Two sekora-cli processes calculating in one folder at once: each prints
# the rows and draws the sheet of its own run, never the other's.
# Usage: cli_concurrency_test.sh SEKORA_CLI DATA_DIR [RUNS]
set -u
cli=$1
data=$2
runs=${3:-50}
source "$(dirname "$0")/cli_checks.sh"

mkdir -p "$work/d"
cp "$data"/BOX.TXT "$data"/KAN.TXT "$data"/*.wmf "$work/d/"

# The output of each discharge when it runs alone.
for q in 1.5 3; do
  env -u DISPLAY $runner "$cli" --q $q --l 20 --dir "$work/d" --json >"$work/alone-$q"
  cp "$work/d/Keisan.txt" "$work/keisan-$q"
done
check "the two runs differ" bash -c "! cmp -s '$work/alone-1.5' '$work/alone-3'"

many() {  # many Q: RUNS runs of Q, counting those that printed another output
  local q=$1 wrong=0 i
  for ((i = 0; i < runs; i++)); do
    env -u DISPLAY $runner "$cli" --q "$q" --l 20 --dir "$work/d" --json >"$work/out-$q" 2>&1
    cmp -s "$work/out-$q" "$work/alone-$q" || wrong=$((wrong + 1))
  done
  echo $wrong >"$work/wrong-$q"
}
many 1.5 &
many 3 &
wait
check "Q 1.5 printed its own rows every time" [ "$(cat "$work/wrong-1.5")" = 0 ]
check "Q 3 printed its own rows every time" [ "$(cat "$work/wrong-3")" = 0 ]
one_run() { cmp -s "$work/d/Keisan.txt" "$work/keisan-1.5" || cmp -s "$work/d/Keisan.txt" "$work/keisan-3"; }
check "Keisan.txt is one run's whole file" one_run

# Sheets: row 66 is the 3 m pipe in both runs, drawn with each run's own
# numbers.
sheets() {  # sheets Q: a few sheets of Q, counting those unlike its own
  local q=$1 wrong=0 i
  for ((i = 0; i < runs / 5; i++)); do
    env -u DISPLAY $runner "$cli" --q "$q" --l 20 --dir "$work/d" --sheet 66 \
      --out "$work/sheet-$q.svg" 2>/dev/null
    cmp -s "$work/sheet-$q.svg" "$work/alone-$q.svg" || wrong=$((wrong + 1))
  done
  echo $wrong >"$work/wrong-sheet-$q"
}
for q in 1.5 3; do
  env -u DISPLAY $runner "$cli" --q $q --l 20 --dir "$work/d" --sheet 66 --out "$work/alone-$q.svg"
done
sheets 1.5 &
sheets 3 &
wait
check "Q 1.5 drew its own sheet every time" [ "$(cat "$work/wrong-sheet-1.5")" = 0 ]
check "Q 3 drew its own sheet every time" [ "$(cat "$work/wrong-sheet-3")" = 0 ]

finish "sekora-cli concurrency"
