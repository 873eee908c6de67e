#!/usr/bin/env bash
# End-to-end checks of sekora-cli --batch --report. Usage:
# cli_batch_report_test.sh SEKORA_CLI DATA_DIR EXAMPLES_DIR
set -u
cli=$1
data=$2
examples=$3
source "$(dirname "$0")/cli_checks.sh"

mkdir -p "$work/d"
cp "$data"/BOX.TXT "$data"/KAN.TXT "$data"/*.wmf "$work/d/"
page() { pdftotext -layout -f "$1" -l "$1" "$work/report.pdf" -; }
# (pdftotext gives the full-width blank of a caption as a plain one.)

# The README's five culverts: the project page, then per culvert its summary
# (two pages for 66 candidates, one for 41 boxes or 25 pipes) and the sheet
# of each recommended section.
run --batch "$examples/culverts.csv" --dir "$work/d" --report "$work/report.pdf" \
  --out "$work/summary.csv"
check "report exit 0" [ "$(status)" = 0 ]
check "summary written too" [ -s "$work/summary.csv" ]
check "17 pages" grep -qE "^Pages: +17$" <(pdfinfo "$work/report.pdf")
check "project page heading" grep -qF "一括計算の結果一覧（Q：m3/s、L：m）" <(page 1)
check "project page line" grep -qE "^ +2 +農業用水路 +1\.500 +20\.000 +45/66 +1\.200×1\.000 +4\.80 +φ1\.100 +5\.27$" \
  <(page 1)
check "no box for the pipe culvert" grep -qE "^ +5 +宅地排水 .*15/25 +なし +φ0\.800 +22\.25$" <(page 1)
check "culvert summary captioned" grep -qE "No\\.1 +市道1号横断" <(page 2)
check "culvert summary table" grep -qF "２．計算結果一覧（単位：m）" <(page 2)
check "culvert summary continues" grep -qF "２．計算結果一覧（続き）" <(page 3)
check "recommended box sheet" grep -qE "0\.793 +＜ +設計断面高 H = +0\.800m・・・ＯＫ" <(page 4)
check "recommended box sheet captioned" grep -qE "No\\.1 +市道1号横断" <(page 4)
check "recommended pipe sheet" grep -qF "φ" <(page 5)
check "box culvert's summary page" grep -qE "No\\.3 +県道横断" <(page 10)
check "box culvert's one sheet" grep -qE "No\\.3 +県道横断" <(page 11)
check "next culvert after it" grep -qE "No\\.4 +排水路付替" <(page 12)
check "last page is the pipe culvert's sheet" grep -qE "No\\.5 +宅地排水" <(page 17)

# A report that cannot be written is refused before the run; nothing is written.
run --batch "$examples/culverts.csv" --dir "$work/d" --report "$work/report.png" \
  --out "$work/none.csv"
check "report must be a PDF" err_has "--report は PDF ファイルです"
check "nothing written for a PNG report" [ ! -e "$work/none.csv" ]
run --batch "$examples/culverts.csv" --dir "$work/d" --report "$work/no/such/r.pdf"
check "report folder must exist" err_has "出力先のフォルダがありません"
rm "$work/d/円寸法.wmf"
cp "$work/report.pdf" "$work/kept.pdf"
run --batch "$examples/culverts.csv" --dir "$work/d" --report "$work/report.pdf" \
  --out "$work/none.csv"
check "missing figure exit 2" [ "$(status)" = 2 ]
check "missing figure named" err_has "円寸法.wmf"
check "previous report kept" cmp -s "$work/report.pdf" "$work/kept.pdf"
check "nothing else written" [ ! -e "$work/none.csv" ]
run --q 1 --l 10 --dir "$work/d" --report "$work/r.pdf"
check "report needs a batch" err_has "--report は --batch と一緒に指定してください"
cp "$data/円寸法.wmf" "$work/d/"

# The report never replaces an input or another output.
cp "$examples/culverts.csv" "$work/table.pdf"
cp "$work/table.pdf" "$work/table.before"
run --batch "$work/table.pdf" --dir "$work/d" --report "$work/table.pdf"
check "--report over the table" err_has "--report と 一覧表 が同じファイルです"
run --batch "$examples/culverts.csv" --dir "$work/d" --report "$work/both.pdf" --out "$work/both.pdf"
check "--out over --report" err_has "--out と --report が同じファイルです"
cp "$work/d/寸法.wmf" "$work/figure.before"
run --batch "$examples/culverts.csv" --dir "$work/d" --out "$work/d/寸法.wmf" --report "$work/r.pdf"
check "--out over a figure" err_has "--out と 寸法.wmf が同じファイルです"
check "inputs kept" bash -c "cmp -s '$work/table.pdf' '$work/table.before' && cmp -s '$work/d/寸法.wmf' '$work/figure.before'"
check "no report written" bash -c "[ ! -e '$work/both.pdf' ] && [ ! -e '$work/r.pdf' ]"

# Drawn offscreen whatever platform the environment names.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$cli" --batch "$examples/culverts.csv" \
  --dir "$work/d" --report "$work/xcb.pdf" >/dev/null 2>"$work/err"
check "report with QT_QPA_PLATFORM=xcb: exit 0" [ $? = 0 ]
check "report with QT_QPA_PLATFORM=xcb: 17 pages" grep -qE "^Pages: +17$" <(pdfinfo "$work/xcb.pdf")

finish "sekora-cli --batch --report"
