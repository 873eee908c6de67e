#!/usr/bin/env bash
# End-to-end checks of sekora-cli --batch. Usage: cli_batch_test.sh SEKORA_CLI DATA_DIR
set -u
cli=$1
data=$2
source "$(dirname "$0")/cli_checks.sh"

mkdir -p "$work/d"
cp "$data/BOX.TXT" "$data/KAN.TXT" "$work/d/"
printf 'earlier results\r\n' >"$work/d/Keisan.txt"
cp "$work/d/Keisan.txt" "$work/kept.txt"

# Six culverts: columns out of order, empty cells, each shape, names that
# need quoting or are not safe as file names.
table="$work/table.csv"
cat >"$table" <<'CSV'
shape,name,q,l,z1,z2,g,alpha,box_ratio,circle_ratio
,C-1,1.5,20,,,,,,
pipe,"函渠 2, 東",0.5,12,0.3,,,,,
box,C/3,4,30,,0.2,9.81,1.1,0.85,
both,C-4 ,1,10,,,,,,0.8
,"C-5 ""north""",6,45,0.5,0.1,,,,
pipe,..,0.2,8,,,,,,
CSV

run --batch "$table" --dir "$work/d" --out "$work/summary.csv" --keisan-dir "$work/k"
check "batch exit 0" [ "$(status)" = 0 ]
check "nothing on stderr" [ ! -s "$work/err" ]
check "folder's Keisan.txt untouched" cmp -s "$work/d/Keisan.txt" "$work/kept.txt"
check "one results file per culvert" [ "$(ls "$work/k" | wc -l)" = 6 ]
for file in 1_C-1.txt "2_函渠 2, 東.txt" 3_C_3.txt 4_C-4.txt "5_C-5 _north_.txt" 6.txt; do
  check "results file $file" [ -f "$work/k/$file" ]
done
check "one stdout line per culvert" [ "$(wc -l <"$work/out")" = 6 ]
check "stdout line" [ "$(sed -n 1p "$work/out")" = "    1|C-1|ＯＫ 45/66|1.200×1.000|φ1.100" ]

# Each culvert's results file is byte for byte the Keisan.txt of sekora-cli
# run alone with the same conditions.
single() {  # single RESULTS_FILE OPTIONS...: compares with a single run
  local file=$1
  shift
  rm -rf "$work/s"
  mkdir -p "$work/s"
  cp "$data/BOX.TXT" "$data/KAN.TXT" "$work/s/"
  $runner "$cli" --dir "$work/s" "$@" >/dev/null 2>&1 && cmp -s "$work/s/Keisan.txt" "$work/k/$file"
}
check "culvert 1 as a single run" single 1_C-1.txt --q 1.5 --l 20
check "culvert 2 as a single run" single "2_函渠 2, 東.txt" --shape pipe --q 0.5 --l 12 --z1 0.3
check "culvert 3 as a single run" single 3_C_3.txt --shape box --q 4 --l 30 --z2 0.2 --g 9.81 \
  --alpha 1.1 --box-ratio 0.85
check "culvert 4 as a single run" single 4_C-4.txt --q 1 --l 10 --circle-ratio 0.8
check "culvert 5 as a single run" single "5_C-5 _north_.txt" --q 6 --l 45 --z1 0.5 --z2 0.1
check "culvert 6 as a single run" single 6.txt --shape pipe --q 0.2 --l 8

# The summary: UTF-8 with a byte-order mark, a header and one row per culvert.
check "summary has a byte-order mark" [ "$(head -c3 "$work/summary.csv" | od -An -tx1 | tr -d ' ')" = efbbbf ]
check "summary rows" [ "$(grep -c $'\r$' "$work/summary.csv")" = 7 ]
check "summary row of culvert 1" grep -qF \
  'C-1,1.5,20,0,0,9.8,1,0.9,0.81,both,66,45,1.200×1.000,11,0.542,0.852,0.952,0.048,4.80,φ1.100,55,0.688,0.833,1.042,0.058,5.27' \
  "$work/summary.csv"
check "summary quotes names" grep -qF '"C-5 ""north""",6,45,0.5,0.1,' "$work/summary.csv"
check "summary headings in Japanese" grep -qF \
  '名前,計画流量Q,延長L,呑口部敷高Z1,吐口部敷高Z2,重力加速度g,エネルギー補正係数α,ボックス余裕率,円形管余裕率,形状,計算した断面数,ＯＫ数,推奨ボックス,行番号,h2,h1,必要高,余裕(m),余裕(%),推奨円形管,' \
  <(head -n 1 "$work/summary.csv")
# A shape outside a culvert's run is 対象外, one without a passing section なし.
check "pipes only, none passing" grep -qE $'^"函渠 2, 東",.*,pipe,25,0,対象外,,,,,,,なし,,,,,,,,,[01],.*\r$' \
  "$work/summary.csv"
check "boxes only" grep -qE $'^C/3,.*,box,41,19,1\\.800×1\\.800,.*,対象外,,,,,,,h[12],,[01],.*\r$' \
  "$work/summary.csv"
# The recommended rows are ＯＫ rows of the single run.
$runner "$cli" --q 1.5 --l 20 --dir "$work/s" >"$work/rows"
check "recommended box row" grep -qxF "   11|1.200×1.000|ＯＫ" "$work/rows"
check "recommended pipe row" grep -qxF "   55|φ1.100     |ＯＫ" "$work/rows"

# A name with a line break keeps its culvert on one line of stdout.
printf 'name,q,l\n"two\nlines",1,10\n' >"$work/break.csv"
run --batch "$work/break.csv" --dir "$work/d"
check "line break in a name" [ "$(cat "$work/out")" = "    1|two lines|ＯＫ 44/66|1.000×0.800|φ0.900" ]

# A name keeps its | apart from the fields of the line, and a spreadsheet
# shows a name that looks like a formula as text.
printf 'name,q,l\na|b\\c,1,10\n"=HYPERLINK(""x"")",1,10\n' >"$work/names.csv"
run --batch "$work/names.csv" --dir "$work/d" --out "$work/names-summary.csv"
check "| and \\ in a name escaped" [ "$(sed -n 1p "$work/out")" = '    1|a\|b\\c|ＯＫ 44/66|1.000×0.800|φ0.900' ]
check "a formula as a name is text" grep -q "^\"'=HYPERLINK(\"\"x\"\")\"," "$work/names-summary.csv"

# The same table saved as Shift-JIS gives the same summary.
iconv -f UTF-8 -t CP932 "$table" >"$work/sjis.csv"
run --batch "$work/sjis.csv" --dir "$work/d" --out "$work/summary-sjis.csv" --keisan-dir "$work/k-sjis"
check "Shift-JIS table" cmp -s "$work/summary.csv" "$work/summary-sjis.csv"

run --batch "$table" --dir "$work/d" --json
check "json exit 0" [ "$(status)" = 0 ]
check "json culvert 2 has no section" grep -qF '"ok_count":0,"box":null,"pipe":null,"friction_note":false,' "$work/out"
check "json recommended box" grep -qF \
  '"box":{"size":"1.200×1.000","row":11,"B":1.2,"H":1,"h2":0.542,"h1":0.852,"hReq":0.952,"hReqFrom":"h1","margin_m":0.048,"margin_pct":4.8}' \
  "$work/out"

# A faulty table is refused by line and column before anything is written.
refused() {  # refused CSV MESSAGE
  printf '%b' "$1" >"$work/bad.csv"
  rm -rf "$work/k2" "$work/bad-summary.csv"
  run --batch "$work/bad.csv" --dir "$work/d" --out "$work/bad-summary.csv" --keisan-dir "$work/k2"
  [ "$(status)" = 2 ] && err_has "$2" && [ ! -e "$work/bad-summary.csv" ] && [ ! -e "$work/k2" ] &&
    [ "$(wc -l <"$work/err")" = 1 ]
}
check "unknown column" refused 'name,q,l,width\nA,1,2,3\n' "bad.csv: 1 行目 4 列: 不明な列名です: width"
check "missing column" refused 'name,q\nA,1\n' "1 行目: 必要な列 l（延長）がありません"
check "not a number" refused 'name,q,l\nA,1,2\nB,1e3,2\n' "3 行目 q 列: 数値ではありません: 1e3"
check "L not above zero" refused 'name,q,l\nA,1,0\n' "2 行目 l 列: 延長は 0.001 以上 999.999 以下にしてください: 0"
check "duplicate name" refused 'name,q,l\nA,1,2\nA,2,3\n' "3 行目 name 列: 名前「A」は 2 行目にもあります"
check "bad shape" refused 'name,q,l,shape\nA,1,2,round\n' "2 行目 shape 列"
check "unclosed quote" refused 'name,q,l\n"A,1,2\n' "2 行目 1 列目: 引用符が閉じていません"
check "a NUL in a number" refused 'name,q,l\nA,1\x005,2\n' '2 行目 q 列: 数値ではありません: 1\x005'
check "an empty heading" refused 'name,q,l,\nA,1,2,\n' "1 行目 4 列: 見出しが空です"
check "ESC in a name" refused 'name,q,l\nA\033[2J,1,2\n' '2 行目 name 列: 名前に表示されない制御文字 U+001B があります: A\x1b[2J'
check "a UTF-8 row among Shift-JIS rows" refused 'name,q,l\n\x94\x9f,1,2\n函渠,1,2\n' "3 行目 1 列目: UTF-8 の文字と Shift-JIS の文字が混ざっています"
check "folder's Keisan.txt still untouched" cmp -s "$work/d/Keisan.txt" "$work/kept.txt"

cp "$table" "$work/table-copy.csv"
run --batch "$work/table-copy.csv" --dir "$work/d" --out "$work/./table-copy.csv"
check "summary over the table refused" err_has "--out と 一覧表 が同じファイルです"
check "table kept" cmp -s "$table" "$work/table-copy.csv"
run --batch "$work/missing.csv" --dir "$work/d"
check "missing table" err_has "一覧表が読み込めません"
run --batch "$table" --q 1 --dir "$work/d"
check "batch takes no conditions" err_has "--batch と --q は一緒に指定できません"
run --batch "$table" --summary --dir "$work/d"
check "batch takes no run summary" err_has "--batch と --summary は一緒に指定できません"
run --q 1 --l 2 --keisan-dir "$work/k3" --dir "$work/d"
check "keisan-dir needs a batch" err_has "--keisan-dir は --batch と一緒に指定してください"

# An output that cannot be written is reported, and leaves nothing behind.
run --batch "$table" --dir "$work/d" --out "$work/no/such/folder/s.csv"
check "unwritable summary exit 2" [ "$(status)" = 2 ]
check "unwritable summary named" err_has "出力先のフォルダがありません"
: >"$work/plain-file"
run --batch "$table" --dir "$work/d" --keisan-dir "$work/plain-file"
check "unwritable results folder exit 2" [ "$(status)" = 2 ]
rm -f "$work/d/KAN.TXT"
run --batch "$table" --dir "$work/d" --out "$work/none.csv"
check "missing catalogue" err_has "KAN.TXT"
check "no summary without catalogue" [ ! -e "$work/none.csv" ]

# The README's example: five culverts, each with a recommended section.
run --batch "$data/../examples/culverts.csv" --dir "$work/s" --out "$work/example.csv"
check "example exit 0" [ "$(status)" = 0 ]
check "example rows" [ "$(grep -c $'\r$' "$work/example.csv")" = 6 ]
check "example culvert 4" grep -qxF "    4|排水路付替|ＯＫ 22/66|2.000×2.000|φ2.000" "$work/out"

finish "sekora-cli --batch"
