#!/usr/bin/env bash
# End-to-end checks of sekora-cli. Usage: cli_test.sh SEKORA_CLI DATA_DIR
set -u
cli=$1
data=$2
source "$(dirname "$0")/cli_checks.sh"

out_line() { sed -n "${1}p" "$work/out"; }

fresh() {  # a folder holding the shipped catalogues
  rm -rf "$work/d"
  mkdir -p "$work/d"
  cp "$data/BOX.TXT" "$data/KAN.TXT" "$work/d/"
}

# The shipped catalogues with Q = 1.5 and L = 20.
fresh
run --q 1.5 --l 20 --dir "$work/d"
check "exit 0" [ "$(status)" = 0 ]
check "66 rows" [ "$(wc -l <"$work/out")" = 66 ]
check "66 lines in Keisan.txt" [ "$(grep -c $'\r$' "$work/d/Keisan.txt")" = 66 ]
check "row 1" [ "$(out_line 1)" = "    1|0.600×0.600|吐口計算水深がオーバーしました" ]
check "row 8" [ "$(out_line 8)" = "    8|1.000×1.500|ＯＫ" ]
check "row 54" [ "$(out_line 54)" = "   54|φ1.000     |呑口計算水深が求まりません" ]
check "row 66" [ "$(out_line 66)" = "   66|φ3.000     |ＯＫ" ]
check "nothing on stderr" [ ! -s "$work/err" ]
cp "$work/d/Keisan.txt" "$work/good.txt"

# The program folder is the default.
mkdir -p "$work/bin"
cp "$cli" "$work/bin/"
cp "$data/BOX.TXT" "$data/KAN.TXT" "$work/bin/"
$runner "$work/bin/$(basename "$cli")" --q 1.5 --l 20 >"$work/out2" 2>&1
check "default folder is the program's" cmp -s "$work/bin/Keisan.txt" "$work/good.txt"

# A folder named in Japanese, written twice: the second run replaces the
# results of the first.
jp="$work/函渠 計算結果"
mkdir -p "$jp"
cp "$data/BOX.TXT" "$data/KAN.TXT" "$jp/"
run --q 1.5 --l 20 --dir "$jp"
check "japanese folder first run" cmp -s "$jp/Keisan.txt" "$work/good.txt"
run --q 1.5 --l 20 --dir "$jp" --shape pipe
check "japanese folder second run replaces" [ "$(grep -c $'\r$' "$jp/Keisan.txt")" = 25 ]
check "japanese folder holds no temporary" [ "$(ls "$jp" | wc -l)" = 3 ]

# On Linux a calculation loads no Qt library (the dynamic loader lists what
# it loads), and sheets are handed over to the sheet program beside it.
if [ -z "$runner" ]; then
  LD_DEBUG=libs "$cli" --q 1.5 --l 20 --dir "$work/d" >/dev/null 2>"$work/libs"
  check "the loader's list is there" grep -q "calling init: .*libstdc++" "$work/libs"
  check "a plain run loads no Qt library" bash -c "! grep -q 'libQt' '$work/libs'"

  cp "$work/good.txt" "$work/bin/Keisan.txt"
  "$work/bin/sekora-cli" --q 1 --l 10 --sheet 7 --out "$work/s.pdf" >"$work/out" 2>"$work/err"
  check "no sheet program exit 2" [ $? = 2 ]
  check "no sheet program named" err_has "sekora-cli-sheet"
  check "no sheet program, one line" [ "$(wc -l <"$work/err")" = 1 ]
  check "no sheet program, results kept" cmp -s "$work/bin/Keisan.txt" "$work/good.txt"
fi

# Any number of calculation threads writes the same file.
for jobs in 1 3; do
  run --q 1.5 --l 20 --dir "$work/d" --jobs $jobs
  check "--jobs $jobs writes the same Keisan.txt" cmp -s "$work/d/Keisan.txt" "$work/good.txt"
done
run --q 0.5 --l 10 --z1 0.5 --dir "$work/d" --jobs 1
cp "$work/d/Keisan.txt" "$work/swing.txt"
run --q 0.5 --l 10 --z1 0.5 --dir "$work/d" --jobs 2
check "--jobs 2 swing run as on one thread" cmp -s "$work/d/Keisan.txt" "$work/swing.txt"
run --q 1.5 --l 20 --dir "$work/d" --jobs 0
check "--jobs 0 refused by name" err_has "--jobs の値は 1 から 256 です: 0"
run --q 1.5 --l 20 --dir "$work/d"

# JSON: one object per line of the file.
run --q 1.5 --l 20 --dir "$work/d" --json
check "json exit 0" [ "$(status)" = 0 ]
check "json 66 objects" [ "$(grep -c '"No":' "$work/out")" = 66 ]
check "json first object" grep -qF '{"No":1,"Status":1,"Kind":0,"B":0.6,"H":0.6,"D":0,' "$work/out"
check "json status text" grep -qF '"StatusText":"ＯＫ","hReqFrom":"h1","FrictionNote":false}' "$work/out"
check "json is an array" [ "$(head -c1 "$work/out")" = "[" ]

# Exclude NG: numbered over the passing candidates only.
run --q 1.5 --l 20 --dir "$work/d" --exclude-ng --shape pipe
check "exclude-ng rows" [ "$(wc -l <"$work/out")" = 12 ]
check "exclude-ng first row" [ "$(out_line 1)" = "    1|φ1.100     |ＯＫ" ]
check "exclude-ng all OK" [ "$(grep -c '|ＯＫ$' "$work/out")" = 12 ]
run --q 1.5 --l 20 --dir "$work/d" --shape box --z1 0.5 --g 9.81 --alpha 1.1 \
  --box-ratio 0.85 --circle-ratio 0.8
check "all options accepted" [ "$(status)" = 0 ]
check "box rows only" [ "$(wc -l <"$work/out")" = 41 ]
run --q 9 --l 20 --dir "$work/d" --shape pipe --q=1.5 --exclude-ng
check "the last of a repeated option counts" [ "$(wc -l <"$work/out")" = 12 ]
run --q 1.5 --l 20 --dir "$work/d" --z1 -0.25 --shape box
check "a negative value is a value, not an option" [ "$(status)" = 0 ]

# Bad input: message on stderr, exit 2, previous Keisan.txt untouched.
fresh
cp "$work/good.txt" "$work/d/Keisan.txt"
run --q 0 --l 20 --dir "$work/d"
check "Q 0 exit 2" [ "$(status)" = 2 ]
check "Q 0 message" err_has "sekora-cli: --q の値は 0.001 以上 999.999 以下にしてください: 0"
run --q 1.5 --l -1 --dir "$work/d"
check "L negative exit 2" [ "$(status)" = 2 ]
run --q 1.5x --l 20 --dir "$work/d"
check "bad number exit 2" [ "$(status)" = 2 ]
check "bad number names option" err_has "--q"
run --q 1.5 --l 20 --g 1e3 --dir "$work/d"
check "exponent refused" err_has "--g"
run --q 1$(printf '0%.0s' {1..400}) --l 20 --dir "$work/d"
check "value beyond a double refused" err_has "--q の値が数値ではありません"
run --q 1.5 --dir "$work/d"
check "missing L exit 2" [ "$(status)" = 2 ]
run --q 1.5 --l 20 --shape round --dir "$work/d"
check "bad shape" err_has "--shape"
run --q 1.5 --l 20 --frobnicate
check "unknown option" err_has "--frobnicate"
run --q 1.5 --l
check "option without value" err_has "--l"
run --q --l 20
check "an option as a value is refused by name" err_has "--q の値が数値ではありません: --l"
run --q 1.5 --l 20 stray
check "a stray word is refused" err_has "不明なオプションです: stray"
check "results kept after bad input" cmp -s "$work/d/Keisan.txt" "$work/good.txt"

rm "$work/d/KAN.TXT"
run --q 1.5 --l 20 --dir "$work/d"
check "missing catalogue exit 2" [ "$(status)" = 2 ]
check "missing catalogue named" err_has "KAN.TXT"
check "one line on stderr" [ "$(wc -l <"$work/err")" = 1 ]
run --q 1.5 --l 20 --dir "$work/d" --shape box
check "pipes not needed for boxes" [ "$(status)" = 0 ]

fresh
cp "$work/good.txt" "$work/d/Keisan.txt"
printf "' boxes\r\n1.000 1.000\r\nwide  1.000\r\n" >"$work/d/BOX.TXT"
run --q 1.5 --l 20 --dir "$work/d"
check "bad catalogue line exit 2" [ "$(status)" = 2 ]
check "bad catalogue line named" err_has "BOX.TXT の 3 行目"
check "results kept after bad catalogue" cmp -s "$work/d/Keisan.txt" "$work/good.txt"

fresh
mkdir "$work/d/Keisan.txt"
run --q 1.5 --l 20 --dir "$work/d"
check "unwritable results exit 2" [ "$(status)" = 2 ]
check "unwritable results named" err_has "Keisan.txt"

fresh
{ echo "' many"; for i in $(seq 1 32768); do printf '0.600\r\n'; done; } >"$work/d/KAN.TXT"
run --q 1.5 --l 20 --dir "$work/d" --shape pipe
check "too many candidates exit 2" [ "$(status)" = 2 ]
check "too many candidates named" err_has "32767"

# A value beyond the range of a double is no number.
fresh
cp "$work/good.txt" "$work/d/Keisan.txt"
run --q 1.5 --l 20 --dir "$work/d" --box-ratio "$(printf '9%.0s' $(seq 400))"
check "infinite value exit 2" [ "$(status)" = 2 ]
check "infinite value refused" err_has "--box-ratio の値が数値ではありません"
check "infinite value one line" [ "$(wc -l <"$work/err")" = 1 ]
check "results kept after infinite value" cmp -s "$work/d/Keisan.txt" "$work/good.txt"
run --q 1.5 --l 20 --frobnicate
check "usage error with its hint on one line" [ "$(wc -l <"$work/err")" = 1 ]
check "usage error hint" err_has "sekora-cli --help"

# Output that cannot be written is an error, not a silent truncation. A full
# or closed stdout and named pipes are Linux's own: a Windows build run under
# Wine leaves these checks out.
if [ -z "$runner" ]; then
  for json in "" --json; do
    env -u DISPLAY "$cli" --q 1.5 --l 20 --dir "$work/d" $json >/dev/full 2>"$work/err"
    check "stdout full $json exit 2" [ "$?" = 2 ]
    check "stdout full $json one line" [ "$(wc -l <"$work/err")" = 1 ]
    check "stdout full $json named" err_has "標準出力に書き込めません"
  done
  env -u DISPLAY "$cli" --q 1.5 --l 20 --dir "$work/d" --json >&- 2>"$work/err"
  check "stdout closed exit 2" [ "$?" = 2 ]
  env -u DISPLAY "$cli" --help >/dev/full 2>"$work/err"
  check "help to a full stdout exit 2" [ "$?" = 2 ]
fi

# Damaged catalogues are refused by name at once.
fresh
cp "$work/good.txt" "$work/d/Keisan.txt"
printf "0.600\r\n600\r\n" >"$work/d/KAN.TXT"
run --q 1.5 --l 20 --dir "$work/d"
check "pipe over 100 m named" err_has "KAN.TXT の 2 行目の寸法が 100 m を超えています"
if [ -z "$runner" ]; then
  rm "$work/d/KAN.TXT"
  mkfifo "$work/d/KAN.TXT"
  timeout 10 env -u DISPLAY "$cli" --q 1.5 --l 20 --dir "$work/d" >"$work/out" 2>"$work/err"
  check "a pipe as catalogue is refused at once" [ "$?" = 2 ]
  check "a pipe as catalogue named" err_has "KAN.TXT は通常のファイルではありません"
fi
rm "$work/d/KAN.TXT"
truncate -s 17M "$work/d/KAN.TXT"
run --q 1.5 --l 20 --dir "$work/d"
check "oversized catalogue named" err_has "KAN.TXT が大きすぎます"
check "results kept after damaged catalogues" cmp -s "$work/d/Keisan.txt" "$work/good.txt"
fresh
printf '\xEF\xBB\xBF' | cat - "$data/KAN.TXT" >"$work/d/KAN.TXT"
run --q 1.5 --l 20 --dir "$work/d"
check "a byte-order mark is ignored" cmp -s "$work/d/Keisan.txt" "$work/good.txt"

run --help
check "help exit 0" [ "$(status)" = 0 ]
check "help lists options" grep -qF -- "--circle-ratio" "$work/out"
check "help says where Keisan.txt goes" grep -qF -- "~/.local/share/sekora" "$work/out"

run --version
check "version exit 0" [ "$(status)" = 0 ]
check "version from the build" [ "$(cat "$work/out")" = "sekora-cli ${SEKORA_VERSION:-?}" ]

finish sekora-cli
