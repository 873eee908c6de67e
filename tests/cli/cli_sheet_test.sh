#!/usr/bin/env bash
# End-to-end checks of sekora-cli --sheet. Usage: cli_sheet_test.sh SEKORA_CLI DATA_DIR
set -u
cli=$1
data=$2
source "$(dirname "$0")/cli_checks.sh"

png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }

mkdir -p "$work/d"
cp "$data"/BOX.TXT "$data"/KAN.TXT "$data"/*.wmf "$work/d/"

# Row 7 of Q = 1, L = 10 is the box 1.0 x 1.0, which passes.
run --q 1 --l 10 --dir "$work/d" --sheet 7 --out "$work/sheet.pdf"
check "pdf exit 0" [ "$(status)" = 0 ]
check "pdf written" [ -s "$work/sheet.pdf" ]
pdftotext -layout "$work/sheet.pdf" "$work/sheet.txt"
check "pdf title" grep -qF "函渠断面の決定" "$work/sheet.txt"
check "pdf decision line" grep -qE "H×0\.100 \+ H1 = +1\.000×0\.100 \+ +0\.673 = +0\.773 +＜ +設計断面高 H = +1\.000m・・・ＯＫ" "$work/sheet.txt"
check "pdf is A4" grep -qE "Page size: +595(\.[0-9]+)? x 84[12](\.[0-9]+)? pts \(A4\)" <(pdfinfo "$work/sheet.pdf")
check "pdf fonts embedded" bash -c "pdffonts '$work/sheet.pdf' | awk 'NR>2 && \$(NF-4)!=\"yes\"{exit 1}'"

# On Linux the sheet is drawn with Qt, by the sheet program sekora-cli hands
# over to.
if [ -z "$runner" ]; then
  LD_DEBUG=libs "$cli" --q 1 --l 10 --dir "$work/d" --sheet 7 --out "$work/qt.pdf" \
    >/dev/null 2>"$work/libs"
  check "a sheet loads Qt" grep -q "calling init: .*libQt6Gui" "$work/libs"
  check "a sheet is drawn by the sheet program" [ -s "$work/qt.pdf" ]
fi

run --q 1 --l 10 --dir "$work/d" --sheet 7 --out "$work/sheet.png"
check "png exit 0" [ "$(status)" = 0 ]
check "png A4 at 150 dpi" [ "$(png_size "$work/sheet.png")" = "1240x1754" ]
run --q 1 --l 10 --dir "$work/d" --sheet 7 --out "$work/sheet72.png" --dpi 72
check "png A4 at 72 dpi" [ "$(png_size "$work/sheet72.png")" = "595x842" ]

run --q 1 --l 10 --dir "$work/d" --sheet 54 --out "$work/pipe.svg"
check "svg of a pipe" grep -qF "<svg" "$work/pipe.svg"

# Status 1 to 3 is refused as the results list refuses it; 4 is drawn.
run --q 1 --l 10 --dir "$work/d" --sheet 1 --out "$work/ng.pdf"
check "NG row exit 2" [ "$(status)" = 2 ]
check "NG row message" err_has "計算結果がエラーの為表示できません"
check "NG row writes nothing" [ ! -e "$work/ng.pdf" ]
run --q 1 --l 10 --dir "$work/d" --sheet 3 --out "$work/free.pdf"
check "freeboard row drawn" [ "$(status)" = 0 ]
pdftotext -layout "$work/free.pdf" "$work/free.txt"
check "freeboard row says NG" grep -qF "ＮＧ" "$work/free.txt"

run --q 1 --l 10 --dir "$work/d" --sheet 999 --out "$work/none.pdf"
check "row beyond the file" [ "$(status)" = 2 ]
run --q 1 --l 10 --dir "$work/d" --sheet 7 --out "$work/sheet.doc"
check "unknown extension" [ "$(status)" = 2 ]
check "unknown extension named" err_has "sheet.doc"
run --q 1 --l 10 --dir "$work/d" --sheet 7
check "sheet without out" [ "$(status)" = 2 ]

# Several sheets in one PDF, one page per row in the order asked for.
pages() { pdfinfo "$1" | awk '/^Pages:/{print $2}'; }
page_has() { pdftotext -f "$2" -l "$2" -layout "$1" - | grep -qE -- "$3"; }
run --q 1 --l 10 --dir "$work/d" --sheet 7,12,5-6 --out "$work/list.pdf"
check "list exit 0" [ "$(status)" = 0 ]
check "list 4 pages" [ "$(pages "$work/list.pdf")" = 4 ]
check "list page 1 is row 7" page_has "$work/list.pdf" 1 "函渠断面\(B×H\) +1\.000m×1\.000m"
check "list page 2 is row 12" page_has "$work/list.pdf" 2 "函渠断面\(B×H\) +1\.200m×1\.200m"
check "list page 3 is row 5" page_has "$work/list.pdf" 3 "函渠断面\(B×H\) +0\.900m×0\.900m"
check "list page 4 is row 6" page_has "$work/list.pdf" 4 "函渠断面\(B×H\) +1\.000m×0\.800m"
run --q 1 --l 10 --dir "$work/d" --sheet 3,5-6 --out "$work/range.pdf"
check "range 3 pages" [ "$(pages "$work/range.pdf")" = 3 ]
check "range freeboard row drawn with NG" page_has "$work/range.pdf" 1 "0\.800m・・・ＮＧ"
check "range first row" page_has "$work/range.pdf" 2 "0\.900m・・・ＯＫ"
check "range last row" page_has "$work/range.pdf" 3 "設計断面高 H = +0\.800m・・・ＯＫ"
run --q 1 --l 10 --dir "$work/d" --sheet ok --out "$work/ok.pdf"
check "ok: one page per OK row" [ "$(pages "$work/ok.pdf")" = 44 ]
check "ok: first OK row first" page_has "$work/ok.pdf" 1 "函渠断面\(B×H\) +0\.900m×0\.900m"
check "ok: the last pipe last" page_has "$work/ok.pdf" 44 "函渠断面\(φ\) +3\.000m"

# The summary: every candidate of the run over two pages, headings repeated.
run --q 1 --l 10 --dir "$work/d" --sheet ok --summary --out "$work/report.pdf"
check "report exit 0" [ "$(status)" = 0 ]
check "report: summary and sheets" [ "$(pages "$work/report.pdf")" = 46 ]
check "summary conditions" page_has "$work/report.pdf" 1 "計画流量\(Q\) +1\.000m"
check "summary NG row" page_has "$work/report.pdf" 1 "^ +1 +0\.600×0\.600 .*h2が断面超過 .*吐口計算水深がオーバーしました"
check "summary recommended box" page_has "$work/report.pdf" 1 "^ +6 +1\.000×0\.800 .*ＯＫ +◎"
check "summary not recommended" page_has "$work/report.pdf" 1 "^ +5 +0\.900×0\.900 .*ＯＫ *$"
check "summary continues" page_has "$work/report.pdf" 2 "２．計算結果一覧（続き）"
check "summary headings repeated" page_has "$work/report.pdf" 2 "No +Box・管 +h2 +h1 +必要高 +断面高"
check "summary last row" page_has "$work/report.pdf" 2 "^ +66 +φ3\.000 "
check "summary legend" page_has "$work/report.pdf" 2 "◎：推奨断面"
check "sheets follow the summary" page_has "$work/report.pdf" 3 "函渠断面\(B×H\) +0\.900m×0\.900m"
run --q 1 --l 10 --dir "$work/d" --summary --out "$work/summary.pdf"
check "summary alone" [ "$(pages "$work/summary.pdf")" = 2 ]
check "sign-off block on the summary" page_has "$work/report.pdf" 1 "承認 +照査 +作成"

# A report is a document: a header on every page, above the sheet, the
# sheets' rows named; bookmarks to the summary and each sheet; its metadata.
header_of() { pdftotext -layout -f "$2" -l "$2" "$1" - | grep -v '^[[:space:]]*$' | head -n 1; }
SOURCE_DATE_EPOCH=1738281600 TZ=UTC run --q 1 --l 10 --dir "$work/d" --sheet ok --summary \
  --out "$work/report.pdf"
check "summary header" grep -qE "^ *2025年1月31日 +Sekora $SEKORA_VERSION +1 / 46$" \
  <(header_of "$work/report.pdf" 1)
check "sheet header names its row" grep -qE "^ *計算結果一覧 No\.5 +2025年1月31日 +Sekora .* 3 / 46$" \
  <(header_of "$work/report.pdf" 3)
check "headers clear of the sheets" header_clear "$work/report.pdf"
check "report author" grep -qxF "Author:          Sekora $SEKORA_VERSION" <(pdfinfo "$work/report.pdf")
check "report bookmarks" grep -qE '"title": "No\.5 0\.900×0\.900 ＯＫ"' \
  <(qpdf --json --json-key=outlines "$work/report.pdf")
check "report sound" qpdf --check "$work/report.pdf"
run --q 1 --l 10 --dir "$work/d" --sheet 3 --out "$work/one.pdf"
check "a single sheet has its header" grep -qE "計算結果一覧 No\.3 .* 1 / 1$" <(header_of "$work/one.pdf" 1)
run --q 1 --l 10 --dir "$work/d" --sheet 3 --out "$work/one.png"
check "a PNG has none" [ "$(status)" = 0 ]

# A run of one shape shows only that shape; one that left its NG sections
# out says how many.
run --q 1 --l 10 --dir "$work/d" --shape pipe --summary --out "$work/pipes.pdf"
check "pipe run: no box freeboard" bash -c "! pdftotext -layout '$work/pipes.pdf' - | grep -qF '余裕高(ボックス)'"
check "pipe run: pipe legend" page_has "$work/pipes.pdf" 1 "◎：推奨断面（ＯＫのうち内空断面積が最小の円形管）"
run --q 1 --l 10 --dir "$work/d" --exclude-ng --summary --out "$work/excluded.pdf"
check "left-out NG rows counted" page_has "$work/excluded.pdf" 1 "ＮＧの断面 22 件は一覧から除いています"
run --q 1 --l 10 --dir "$work/d" --summary --out "$work/all.pdf"
check "nothing left out, nothing said" bash -c "! pdftotext '$work/all.pdf' - | grep -qF 'は一覧から除いています'"

# A section of 10 m or more keeps its size clear of the next column.
mkdir -p "$work/wide"
printf '1.000 1.000\r\n12.50 10.00\r\n' >"$work/wide/BOX.TXT"
cp "$data/KAN.TXT" "$data"/*.wmf "$work/wide/"
run --q 1 --l 10 --dir "$work/wide" --shape box --summary --out "$work/wide.pdf"
check "wide size apart from h2" page_has "$work/wide.pdf" 1 "^ +2 +12\.500×10\.000 +[0-9]+\.[0-9]{3} "

# A run without a passing section: ok names no sheet, the summary says so.
run --q 100 --l 10 --dir "$work/d" --sheet ok --out "$work/none.pdf"
check "no OK row exit 2" [ "$(status)" = 2 ]
check "no OK row said" err_has "ＯＫの行がありません"
check "no OK row writes nothing" [ ! -e "$work/none.pdf" ]
run --q 100 --l 10 --dir "$work/d" --sheet ok --summary --out "$work/none.pdf"
check "summary of a run without OK" page_has "$work/none.pdf" 2 "ＯＫの断面はありません"

# Rows that cannot be shown are named and nothing is written, not even over
# an older file.
echo old >"$work/refused.pdf"
run --q 1 --l 10 --dir "$work/d" --sheet 7,1,2-3 --out "$work/refused.pdf"
check "refused rows exit 2" [ "$(status)" = 2 ]
check "refused rows named" err_has "計算結果がエラーの為表示できません（行 1, 2）"
check "refused rows write nothing" [ "$(cat "$work/refused.pdf")" = old ]
run --q 1 --l 10 --dir "$work/d" --sheet 7,8 --out "$work/two.png"
check "PNG takes one row" [ "$(status)" = 2 ]
check "PNG refusal says PDF" err_has "PDF にのみ"
run --q 1 --l 10 --dir "$work/d" --sheet 9-7 --out "$work/back.pdf"
check "reversed range" [ "$(status)" = 2 ]
run --q 1 --l 10 --dir "$work/d" --summary
check "summary without out" [ "$(status)" = 2 ]

# A missing or broken figure is reported by name and nothing is written.
rm "$work/d/寸法.wmf"
run --q 1 --l 10 --dir "$work/d" --sheet 7 --out "$work/nofig.pdf"
check "missing figure exit 2" [ "$(status)" = 2 ]
check "missing figure named" err_has "寸法.wmf"
check "missing figure writes nothing" [ ! -e "$work/nofig.pdf" ]
head -c 30 "$data/矩寸法.wmf" >"$work/d/矩寸法.wmf"
cp "$data/寸法.wmf" "$work/d/"
run --q 1 --l 10 --dir "$work/d" --sheet 7 --out "$work/broken.pdf"
check "broken figure exit 2" [ "$(status)" = 2 ]
check "broken figure named" err_has "矩寸法.wmf"
check "broken figure writes nothing" [ ! -e "$work/broken.pdf" ]

# A --sheet that fails leaves Keisan.txt and the export exactly as they were.
cp "$data/寸法.wmf" "$data/矩寸法.wmf" "$work/d/"
run --q 1.5 --l 20 --dir "$work/d" --sheet 8 --out "$work/kept.pdf"
check "sheet before the failures" [ "$(status)" = 0 ]
cp "$work/d/Keisan.txt" "$work/keisan.before"
cp "$work/kept.pdf" "$work/kept.before"
kept() {  # kept NAME: both files are byte for byte what they were
  check "$1: exit 2" [ "$(status)" = 2 ]
  check "$1: one line on stderr" [ "$(wc -l <"$work/err")" = 1 ]
  check "$1: Keisan.txt kept" cmp -s "$work/d/Keisan.txt" "$work/keisan.before"
  check "$1: export kept" cmp -s "$work/kept.pdf" "$work/kept.before"
}
run --q 3 --l 20 --dir "$work/d" --sheet 8 --out "$work/kept.doc"
kept "unknown extension"
run --q 3 --l 20 --dir "$work/d" --sheet 1 --out "$work/kept.pdf"
kept "NG row"
run --q 3 --l 20 --dir "$work/d" --sheet 999 --out "$work/kept.pdf"
kept "row beyond the results"
run --q 3 --l 20 --dir "$work/d" --sheet 8 --out "$work/nowhere/kept.pdf"
kept "missing output folder"
check "missing output folder named" err_has "$work/nowhere"
mv "$work/d/寸法.wmf" "$work/figure.away"
run --q 3 --l 20 --dir "$work/d" --sheet 8 --out "$work/kept.pdf"
kept "missing figure"
mv "$work/figure.away" "$work/d/寸法.wmf"
# A disk that fills up while the sheet is written: no file may grow past 8 KiB.
# (Linux only: under Wine the limit would stop Wine's own files too.)
if [ -z "$runner" ]; then
  for ext in pdf png svg; do
    cp "$work/kept.before" "$work/kept.$ext"
    (trap '' XFSZ; ulimit -f 8; exec env -u DISPLAY "$cli" --q 3 --l 20 --dir "$work/d" \
      --sheet 8 --out "$work/kept.$ext") >"$work/out" 2>"$work/err"
    echo $? >"$work/status"
    check "full disk $ext: exit 2" [ "$(status)" = 2 ]
    check "full disk $ext: one line" [ "$(wc -l <"$work/err")" = 1 ]
    check "full disk $ext: export kept" cmp -s "$work/kept.$ext" "$work/kept.before"
    check "full disk $ext: Keisan.txt kept" cmp -s "$work/d/Keisan.txt" "$work/keisan.before"
  done
fi
check "nothing left beside the files" [ "$(ls -A "$work/d" "$work" | grep -c sekora-tmp)" = 0 ]
# A link at the output path is itself replaced; the file it named is not written.
# (Linux only: Wine shows a Windows program the file a link names, not the link.)
if [ -z "$runner" ]; then
  ln -s /dev/full "$work/full.pdf"
  run --q 3 --l 20 --dir "$work/d" --sheet 8 --out "$work/full.pdf"
  check "a link to /dev/full: exit 0" [ "$(status)" = 0 ]
  check "a link to /dev/full: replaced by the sheet" bash -c "[ ! -L '$work/full.pdf' ] && head -c4 '$work/full.pdf' | grep -q PDF"
  check "a link to /dev/full: /dev/full untouched" [ -c /dev/full ]
fi

# A sheet never replaces a file the run reads.
cp "$work/d/寸法.wmf" "$work/figure.before"
run --q 3 --l 20 --dir "$work/d" --sheet 8 --out "$work/d/寸法.wmf"
check "--out over a figure refused" err_has "--out と 寸法.wmf が同じファイルです"
check "--out over a figure: figure kept" cmp -s "$work/d/寸法.wmf" "$work/figure.before"
ln -s "$work/d/KAN.TXT" "$work/kan.pdf"
run --q 3 --l 20 --dir "$work/d" --sheet 8 --out "$work/kan.pdf"
check "--out a link to a catalogue refused" err_has "--out と KAN.TXT が同じファイルです"
check "--out a link to a catalogue: kept" cmp -s "$work/d/KAN.TXT" "$data/KAN.TXT"

# Files are drawn offscreen whatever platform the environment names, and a
# fatal message of Qt (here: no platform plugin at all) ends the tool on one
# line, leaving everything as it was.
for platform in xcb wayland; do
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=$platform $runner "$cli" --q 3 --l 20 \
    --dir "$work/d" --sheet 8 --out "$work/$platform.pdf" >/dev/null 2>"$work/err"
  check "QT_QPA_PLATFORM=$platform without a display: exit 0" [ $? = 0 ]
  check "QT_QPA_PLATFORM=$platform without a display: drawn" [ -s "$work/$platform.pdf" ]
done
if [ -z "$runner" ]; then
  mkdir "$work/noplugins"
  cp "$cli" "$(dirname "$cli")/sekora-cli-sheet" "$work/noplugins/"
  printf '[Paths]\nPlugins = /nonexistent\n' >"$work/noplugins/qt.conf"
  cp "$work/d/Keisan.txt" "$work/keisan.fatal"
  env -u DISPLAY "$work/noplugins/sekora-cli" --q 1 --l 10 --dir "$work/d" --sheet 7 \
    --out "$work/fatal.pdf" >/dev/null 2>"$work/err"
  check "fatal Qt message: exit 2" [ $? = 2 ]
  check "fatal Qt message: one line" [ "$(wc -l <"$work/err")" = 1 ]
  check "fatal Qt message: said by the tool" err_has "sekora-cli: 計算書を描けません（Qt: "
  check "fatal Qt message: nothing written" bash -c "[ ! -e '$work/fatal.pdf' ] && cmp -s '$work/d/Keisan.txt' '$work/keisan.fatal'"
fi

# Success says nothing, even when Qt has something to say.
env -u DISPLAY -u XDG_RUNTIME_DIR $runner "$cli" --q 3 --l 20 --dir "$work/d" --sheet 8 \
  --out "$work/quiet.png" >"$work/out" 2>"$work/err"
check "sheet without XDG_RUNTIME_DIR exit 0" [ "$?" = 0 ]
check "sheet without XDG_RUNTIME_DIR silent" [ ! -s "$work/err" ]
differs() { ! cmp -s "$1" "$2"; }
check "sheet success writes the new results" differs "$work/d/Keisan.txt" "$work/keisan.before"

finish "sekora-cli --sheet"
