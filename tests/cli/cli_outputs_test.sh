#!/usr/bin/env bash
# End-to-end checks of what sekora-cli reads and writes: no output replaces
# an input or another output, a batch writes all its outputs or none, the
# table is bounded, conditions stay within their limits, and a link at an
# output path is replaced, never followed.
# Usage: cli_outputs_test.sh SEKORA_CLI DATA_DIR
set -u
cli=$1
data=$2
source "$(dirname "$0")/cli_checks.sh"

mkdir -p "$work/d"
cp "$data/BOX.TXT" "$data/KAN.TXT" "$work/d/"
printf 'earlier results\r\n' >"$work/d/Keisan.txt"
cp "$work/d/Keisan.txt" "$work/keisan.before"
table="$work/t.csv"
printf 'name,q,l,shape\nA,1.5,20,\nB,0.8,12,pipe\nC,3,30,box\n' >"$table"
cp "$table" "$work/table.before"

# True when the inputs are as they were and no output or temporary exists.
untouched() {
  cmp -s "$table" "$work/table.before" && cmp -s "$work/d/Keisan.txt" "$work/keisan.before" &&
    cmp -s "$work/d/BOX.TXT" "$data/BOX.TXT" && cmp -s "$work/d/KAN.TXT" "$data/KAN.TXT" &&
    [ ! -e "$work/s.csv" ] && [ ! -e "$work/k" ] &&
    [ "$(ls -A "$work" "$work/d" | grep -c sekora-tmp)" = 0 ]
}
no_temporaries() { [ "$(ls -A "$@" | grep -c sekora-tmp)" = 0 ]; }

# --- Output clashes: refused by name before anything runs or is written.
refused() {  # refused MESSAGE ARGS...
  local message=$1
  shift
  run "$@"
  [ "$(status)" = 2 ] && err_has "$message" && [ "$(wc -l <"$work/err")" = 1 ] && untouched
}
check "--out over the table" refused "--out と 一覧表 が同じファイルです" \
  --batch "$table" --dir "$work/d" --out "$work/./t.csv"
check "--out over BOX.TXT" refused "--out と BOX.TXT が同じファイルです: $work/d/BOX.TXT" \
  --batch "$table" --dir "$work/d" --out "$work/d/BOX.TXT"
check "--out over KAN.TXT" refused "--out と KAN.TXT が同じファイルです" \
  --batch "$table" --dir "$work/d" --out "$work/d/../d/KAN.TXT"
check "--out over the folder's Keisan.txt" refused "--out と Keisan.txt が同じファイルです" \
  --batch "$table" --dir "$work/d" --out "$work/d/Keisan.txt"
check "--out inside --keisan-dir" refused "--keisan-dir のフォルダの中に --out があります" \
  --batch "$table" --dir "$work/d" --keisan-dir "$work/k" --out "$work/k/1_A.txt"
check "catalogues inside --keisan-dir" refused "--keisan-dir のフォルダの中に BOX.TXT があります" \
  --batch "$table" --dir "$work/d" --keisan-dir "$work/d"
mkdir "$work/k"
cp "$table" "$work/k/1_A.txt"
run --batch "$work/k/1_A.txt" --dir "$work/d" --keisan-dir "$work/k"
check "the table inside --keisan-dir" err_has "--keisan-dir のフォルダの中に 一覧表 があります"
check "the table inside --keisan-dir is kept" cmp -s "$work/k/1_A.txt" "$table"
rm -r "$work/k"
if [ -z "$runner" ]; then
  ln -s "$work/d/BOX.TXT" "$work/box-link.csv"
  check "--out a link to a catalogue" refused "--out と BOX.TXT が同じファイルです" \
    --batch "$table" --dir "$work/d" --out "$work/box-link.csv"
  rm "$work/box-link.csv"
fi

# --- Batch outputs all or nothing.
run --batch "$table" --dir "$work/d" --out "$work/s.csv" --keisan-dir "$work/k"
check "batch exit 0" [ "$(status)" = 0 ]
check "one results file per culvert" [ "$(ls -A "$work/k" | tr '\n' ' ')" = "1_A.txt 2_B.txt 3_C.txt " ]
check "the CSV names each results file" grep -q ',1_A\.txt'$'\r''$' "$work/s.csv"
check "no temporary left" no_temporaries "$work" "$work/d" "$work/k"
cp -r "$work/k" "$work/k.before"
cp "$work/s.csv" "$work/s.before"
outputs_kept() {
  cmp -s "$work/s.csv" "$work/s.before" && diff -r "$work/k" "$work/k.before" >/dev/null &&
    no_temporaries "$work" "$work/k"
}
if [ -z "$runner" ]; then
  # A disk that fills up part way (no file may grow past 8 KiB; a results
  # file of 66 candidates is larger).
  (
    trap '' XFSZ
    ulimit -f 8
    exec "$cli" --batch "$table" --dir "$work/d" --out "$work/s.csv" --keisan-dir "$work/k"
  ) >"$work/out" 2>"$work/err"
  check "full disk: exit 2" [ $? = 2 ]
  check "full disk: one line" [ "$(wc -l <"$work/err")" = 1 ]
  check "full disk: named" err_has "計算結果ファイルを書き込めません"
  check "full disk: every output as it was" outputs_kept
fi
: >"$work/plain"
run --batch "$table" --dir "$work/d" --out "$work/s.csv" --keisan-dir "$work/plain"
check "a file as --keisan-dir: exit 2" [ "$(status)" = 2 ]
check "a file as --keisan-dir: named" err_has "計算結果のフォルダを作れません: $work/plain（フォルダではありません）"
check "a file as --keisan-dir: nothing written" outputs_kept
touch "$work/k/notes.doc"
run --batch "$table" --dir "$work/d" --keisan-dir "$work/k"
check "a folder holding other files: refused" err_has "計算結果ファイルでないものがあります: $work/k"
check "a folder holding other files: kept" [ -e "$work/k/notes.doc" ]
rm "$work/k/notes.doc"
printf 'name,q,l\nA,1.5,20\n' >"$work/one.csv"
run --batch "$work/one.csv" --dir "$work/d" --keisan-dir "$work/k"
check "a second run with fewer culverts: only its own file" [ "$(ls -A "$work/k")" = 1_A.txt ]
check "a second run with fewer culverts: the same results" cmp -s "$work/k/1_A.txt" "$work/k.before/1_A.txt"
if [ -z "$runner" ]; then
  ln -s "$work/nowhere" "$work/dangling"
  run --batch "$work/one.csv" --dir "$work/d" --keisan-dir "$work/dangling"
  check "a dangling link as --keisan-dir becomes the folder" \
    bash -c "[ ! -L '$work/dangling' ] && [ -f '$work/dangling/1_A.txt' ]"
fi
mkdir -p "$work/e"
printf "' no boxes\r\n" >"$work/e/BOX.TXT"
printf "' no pipes\r\n" >"$work/e/KAN.TXT"
run --batch "$table" --dir "$work/e" --out "$work/e.csv"
check "empty catalogues: refused" err_has "断面表（BOX.TXT、KAN.TXT）に断面がないため、一覧表 2 行目の函渠は計算できません"
check "empty catalogues: nothing written" [ ! -e "$work/e.csv" ]

# --- Links at output paths in a sticky world-writable folder, planted by
# another user: the link is replaced, the file it names never written.
if [ -z "$runner" ]; then
  sticky="$work/sticky"
  mkdir -m 1777 "$sticky"
  mkdir -m 700 "$work/private" "$work/private2"
  echo "secret" >"$work/private/secret.txt"
  echo "secret" >"$work/private2/secret.txt"
  cp "$data/BOX.TXT" "$data/KAN.TXT" "$sticky/"
  plant() {  # plant LINK TARGET: a link owned by someone else where possible
    ln -s "$2" "$1"
    [ "$(id -u)" = 0 ] && chown -h nobody "$1" 2>/dev/null
    return 0
  }
  secret_kept() {
    for private in "$work/private" "$work/private2"; do
      [ "$(cat "$private/secret.txt")" = secret ] && [ "$(ls -A "$private")" = secret.txt ] || return 1
    done
  }
  plant "$sticky/Keisan.txt" "$work/private/secret.txt"
  run --q 1.5 --l 20 --dir "$sticky"
  check "Keisan.txt link: exit 0" [ "$(status)" = 0 ]
  check "Keisan.txt link: replaced by the results" bash -c "[ ! -L '$sticky/Keisan.txt' ] && [ \$(grep -c \$'\\r\$' '$sticky/Keisan.txt') = 66 ]"
  check "Keisan.txt link: its target untouched" secret_kept
  plant "$sticky/s.csv" "$work/private/secret.txt"
  plant "$sticky/k" "$work/private2"
  run --batch "$table" --dir "$work/d" --out "$sticky/s.csv" --keisan-dir "$sticky/k"
  check "--out and --keisan-dir links: exit 0" [ "$(status)" = 0 ]
  check "--out link replaced" bash -c "[ ! -L '$sticky/s.csv' ] && grep -q '^A,' '$sticky/s.csv'"
  check "--keisan-dir link replaced" bash -c "[ ! -L '$sticky/k' ] && [ -f '$sticky/k/1_A.txt' ]"
  check "their targets untouched" secret_kept
fi

# --- Bounded tables: a device, a pipe and an oversized file are refused by
# name at once.
if [ -z "$runner" ]; then
  timeout 10 "$cli" --batch /dev/zero --dir "$work/d" >/dev/null 2>"$work/err"
  check "a device as table: exit 2 at once" [ $? = 2 ]
  check "a device as table: named" err_has "/dev/zero: 一覧表が通常のファイルではありません"
  mkfifo "$work/fifo.csv"
  timeout 10 "$cli" --batch "$work/fifo.csv" --dir "$work/d" >/dev/null 2>"$work/err"
  check "a pipe as table: exit 2 at once" [ $? = 2 ]
  truncate -s 17M "$work/big.csv"
  run --batch "$work/big.csv" --dir "$work/d"
  check "an oversized table: named" err_has "big.csv: 一覧表が大きすぎます（16 MiB まで）"
fi

# --- Conditions beyond their limits, in options and in table cells.
for option in "--alpha -1" "--alpha 0" "--g 0" "--g -9.8" "--box-ratio 1.5" "--box-ratio 0" \
  "--circle-ratio 2" "--q 0.0005" "--l 1000" "--z1 -100"; do
  run --q 1.5 --l 20 --dir "$work/d" $option
  check "$option refused" bash -c "[ $(status) = 2 ] && grep -qF -- 'sekora-cli: ${option% *} の値は' '$work/err'"
done
run --q -1 --l 20 --dir "$work/d"
check "--q -1 says so with the tool's name" err_has "sekora-cli: --q の値は 0.001 以上 999.999 以下にしてください: -1"
check "refused conditions leave Keisan.txt" cmp -s "$work/d/Keisan.txt" "$work/keisan.before"
printf 'name,q,l,alpha\nA,1.5,20,-1\n' >"$work/alpha.csv"
run --batch "$work/alpha.csv" --dir "$work/d"
check "alpha -1 in a cell refused" err_has "2 行目 alpha 列: エネルギー補正係数は 0.001 以上 99.999 以下にしてください: -1"

# --- A --sheet list is bounded before it is spread out.
start=$(date +%s)
run --q 1.5 --l 20 --dir "$work/d" --sheet "1-32767,1-32767" --out "$work/x.pdf"
check "a list of 65 534 rows refused" err_has "--sheet の行は 32767 行までです"
check "and at once" [ $(($(date +%s) - start)) -lt 10 ]

# --- A sheet program that cannot draw sheets refuses a second hand-over.
if [ -z "$runner" ]; then
  mkdir "$work/copy"
  cp "$cli" "$work/copy/sekora-cli"
  cp "$cli" "$work/copy/sekora-cli-sheet"
  timeout 10 "$work/copy/sekora-cli" --q 1.5 --l 20 --dir "$work/d" --sheet 7 --out "$work/x.pdf" \
    >/dev/null 2>"$work/err"
  check "a copy as sheet program: exit 2 at once" [ $? = 2 ]
  check "a copy as sheet program: named" err_has "sekora-cli-sheet は計算書を出力できません（Qt なしで作られています）"
fi

finish "sekora-cli outputs"
