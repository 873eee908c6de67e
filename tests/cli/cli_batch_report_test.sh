#!/usr/bin/env bash
# End-to-end checks of sekora-cli --batch --report. Usage:
# cli_batch_report_test.sh SEKORA_CLI DATA_DIR EXAMPLES_DIR
set -u
cli=$1
data=$2
examples=$3
source "$(dirname "$0")/cli_checks.sh"
version=$SEKORA_VERSION

mkdir -p "$work/d"
cp "$data"/BOX.TXT "$data"/KAN.TXT "$data"/*.wmf "$work/d/"
page() { pdftotext -layout -f "$1" -l "$1" "$work/report.pdf" -; }
header() { page "$1" | grep -v '^[[:space:]]*$' | head -n 1; }
# (pdftotext gives a full-width blank as a plain one.)

# The README's five culverts: the project page, then per culvert its summary
# (two pages for 66 candidates, one for 41 boxes or 25 pipes) and the sheet
# of each recommended section.
export SOURCE_DATE_EPOCH=1738281600 TZ=UTC  # 2025-01-31
run --batch "$examples/culverts.csv" --dir "$work/d" --report "$work/report.pdf" \
  --out "$work/summary.csv"
check "report exit 0" [ "$(status)" = 0 ]
check "summary written too" [ -s "$work/summary.csv" ]
check "17 pages" grep -qE "^Pages: +17$" <(pdfinfo "$work/report.pdf")
check "project page heading" grep -qF "一括計算の結果一覧（Q：m3/s、L・Z1・Z2：m）" <(page 1)
check "project page line" grep -qE \
  "^ +2 +農業用水路 +1\.500 +20\.000 +0\.000 +0\.000 +両方 +45/66 +1\.200×1\.000 +4\.80 +φ1\.100 +5\.27$" \
  <(page 1)
check "box culvert's levels and shape" grep -qE "^ +3 +県道横断 +3\.200 +28\.000 +0\.300 +0\.100 +Box +23/41 .* 対象外$" \
  <(page 1)
check "no box calculated for the pipe culvert" grep -qE "^ +5 +宅地排水 .* 管 +15/25 +対象外 +φ0\.800 +22\.25$" \
  <(page 1)
check "sign-off block on the project page" grep -qE "承認 +照査 +作成" <(page 1)
check "culvert summary table" grep -qF "２．計算結果一覧（単位：m）" <(page 2)
check "sign-off block on a culvert's summary" grep -qE "承認 +照査 +作成" <(page 2)
check "recommended box sheet" grep -qE "0\.793 +＜ +設計断面高 H = +0\.800m・・・ＯＫ" <(page 4)
check "recommended pipe sheet" grep -qF "φ" <(page 5)

# Below its header a continued table has the title, then its heading alone
# on its line.
lines() { page "$1" | grep -v '^[[:space:]]*$' | tr -s ' '; }
check "title under the header of a continued page" [ "$(lines 3 | sed -n 2p)" = " 函渠断面の決定" ]
check "continued heading alone" [ "$(lines 3 | sed -n 3p)" = " ２．計算結果一覧（続き）" ]

# Every page starts with its header, clear of everything the page draws below it.
check "project page header" [ "$(header 1 | tr -s ' ')" = "culverts.csv 2025年1月31日 Sekora $version 1 / 17" ]
check "culvert summary header" grep -qE "^culverts\.csv +No\.1 +市道1号横断 +2025年1月31日 +Sekora .* 2 / 17$" \
  <(header 2)
check "box sheet header names its row" grep -qE "^culverts\.csv +No\.1 +市道1号横断 +計算結果一覧 No\.3 +2025年1月31日 .* 4 / 17$" \
  <(header 4)
check "box culvert's summary page" grep -qE "No\.3 +県道横断 .* 10 / 17$" <(header 10)
check "box culvert's one sheet" grep -qE "No\.3 +県道横断 +計算結果一覧 No\.14 .* 11 / 17$" <(header 11)
check "next culvert after it" grep -qE "No\.4 +排水路付替 .* 12 / 17$" <(header 12)
check "last page is the pipe culvert's sheet" grep -qE "No\.5 +宅地排水 +計算結果一覧 No\.11 .* 17 / 17$" \
  <(header 17)
check "headers clear of the pages" header_clear "$work/report.pdf"

# The document: title, author, date and language, a bookmark per culvert
# with its summary and sheets under it, and a file qpdf finds sound.
info=$(pdfinfo "$work/report.pdf")
check "title" grep -qF "Title:           函渠断面の決定　一括計算（culverts.csv）" <<<"$info"
check "author" grep -qxF "Author:          Sekora $version" <<<"$info"
check "creation date" grep -qxF "CreationDate:    Fri Jan 31 00:00:00 2025 UTC" <<<"$info"
check "qpdf finds it sound" qpdf --check "$work/report.pdf"
qpdf --json --json-key=outlines "$work/report.pdf" >"$work/outlines.json"
qpdf --json --json-key=qpdf "$work/report.pdf" >"$work/objects.json"
titles() { grep -oE '"title": "[^"]*"' "$work/outlines.json" | cut -d'"' -f4 | paste -sd'|'; }
# (qpdf writes a bookmark's page before and its title after the bookmarks under it.)
check "bookmarks" [ "$(titles)" = \
  "一括計算の結果一覧|計算結果一覧|No.3 0.800×0.800 ＯＫ|No.53 φ0.900 ＯＫ|No.1 市道1号横断|計算結果一覧|No.11 1.200×1.000 ＯＫ|No.55 φ1.100 ＯＫ|No.2 農業用水路|計算結果一覧|No.14 1.300×1.300 ＯＫ|No.3 県道横断|計算結果一覧|No.23 2.000×2.000 ＯＫ|No.61 φ2.000 ＯＫ|No.4 排水路付替|計算結果一覧|No.11 φ0.800 ＯＫ|No.5 宅地排水" ]
check "culverts' bookmarks lead to their summaries" [ "$(grep -oE '"destpageposfrom1": [0-9]+' "$work/outlines.json" | grep -oE '[0-9]+$' | paste -sd' ')" = \
  "1 2 2 4 5 6 6 8 9 10 10 11 12 12 14 15 16 16 17" ]
check "document language" grep -qF '"/Lang": "u:ja"' "$work/objects.json"

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
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb $runner "$cli" --batch "$examples/culverts.csv" \
  --dir "$work/d" --report "$work/xcb.pdf" >/dev/null 2>"$work/err"
check "report with QT_QPA_PLATFORM=xcb: exit 0" [ $? = 0 ]
check "report with QT_QPA_PLATFORM=xcb: 17 pages" grep -qE "^Pages: +17$" <(pdfinfo "$work/xcb.pdf")

finish "sekora-cli --batch --report"
