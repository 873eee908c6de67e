#!/usr/bin/env bash
# End-to-end checks that every output of sekora-cli gives one verdict: a
# required height less than half a millimetre below the section, an inlet
# balanced below the critical depth, and the note on the friction factors'
# rounding. Usage: cli_verdicts_test.sh SEKORA_CLI DATA_DIR [sheets]
# ("sheets" where the tool can draw PDFs, which are then checked too).
set -u
cli=$1
data=$2
sheets=${3:-}
source "$(dirname "$0")/cli_checks.sh"

mkdir -p "$work/d"
cp "$data"/BOX.TXT "$data"/KAN.TXT "$work/d/"
cp "$data"/*.wmf "$work/d/" 2>/dev/null
line() { sed -n "${1}p" "$2"; }
pdf_text() { pdftotext -layout "$1" -; }
json_row() { grep -F "{\"No\":$1," "$work/out"; }

# Q = 8.753, L = 29.651: row 23, the box 2.000 × 2.000, has hReq 1.99999…,
# which the file writes as 2.000.
margin=(--q 8.753 --l 29.651)
run "${margin[@]}" --dir "$work/d"
check "margin: list row 23 NG 4" [ "$(line 23 "$work/out")" = "   23|2.000×2.000|余裕高考慮にてオーバーしました" ]
check "margin: Keisan.txt line 23" grep -qE '^4,0,2\.000,2\.000,.*,2\.000'$'\r''$' <(line 23 "$work/d/Keisan.txt")
cp "$work/d/Keisan.txt" "$work/margin.txt"
run "${margin[@]}" --dir "$work/d" --json
check "margin: json row 23" grep -qF '"Status":4,' <(json_row 23)

# The steep box 1.200 × 1.000 (row 11): the inlet 0.444 m above the outlet,
# balanced at h1 0.222 below h2 0.921, checked on h2.
steep=(--q 3.3224 --l 20.104 --z1 0.974 --z2 0.53)
run "${steep[@]}" --dir "$work/d"
check "steep: list row 11 NG 4" [ "$(line 11 "$work/out")" = "   11|1.200×1.000|余裕高考慮にてオーバーしました" ]
check "steep: Keisan.txt line 11, hReq from h2" [ "$(line 11 "$work/d/Keisan.txt")" = \
  $'4,0,1.200,1.000,0.000,0.020,0.020,0.222,0.266,1.644,0.162,12.490,0.921,1.105,3.042,0.363,3.007,110.957,0.06401,0.00127,7.243,9.155,9.155,0.000,1.021\r' ]
cp "$work/d/Keisan.txt" "$work/steep.txt"
run "${steep[@]}" --dir "$work/d" --json
check "steep: json row 11" grep -qF '"hReq":1.021,"StatusText":"余裕高考慮にてオーバーしました","hReqFrom":"h2","FrictionNote":false}' <(json_row 11)
check "steep: json row 8 passes on h2" grep -qF '"Status":0,' <(json_row 8)
check "steep: json row 8 checked on h2" grep -qF '"hReqFrom":"h2"' <(json_row 8)
check "steep: json NG of the outlet has no check" grep -qF '"hReqFrom":null' <(json_row 1)

# Q = 25, L = 100: Q²L/2 = 31 250, so the five-decimal friction factors can
# move hf by 0.313 m; Q = 10 with L = 10 is the threshold, 0.005 m.
large=(--q 25 --l 100)
run "${large[@]}" --dir "$work/d" --json
searched=$(grep -c '"Status":[0234],' "$work/out")
check "large: every searched row noted" [ "$(grep -c '"FrictionNote":true' "$work/out")" = "$searched" ]
check "large: some rows searched" [ "$searched" -gt 0 ]
run --q 10 --l 10 --dir "$work/d" --json
check "threshold: noted" grep -qF '"FrictionNote":true' "$work/out"
run --q 10 --l 9.999 --dir "$work/d" --json
check "below the threshold: not noted" bash -c "! grep -qF '\"FrictionNote\":true' '$work/out'"

# The batch: each of the three as a culvert.
cat >"$work/table.csv" <<'CSV'
name,q,l,z1,z2
margin,8.753,29.651,,
steep,3.3224,20.104,0.974,0.53
large,25,100,,
CSV
batch=(--batch "$work/table.csv" --dir "$work/d" --keisan-dir "$work/k")
run "${batch[@]}" --out "$work/summary.csv"
check "batch exit 0" [ "$(status)" = 0 ]
check "batch: margin's results file" cmp -s "$work/k/1_margin.txt" "$work/margin.txt"
check "batch: steep's results file" cmp -s "$work/k/2_steep.txt" "$work/steep.txt"
check "batch: CSV heading" grep -qF ',ボックス必要高の水深,円形管必要高の水深,hf丸め注意,計算結果ファイル'$'\r' "$work/summary.csv"
check "batch: margin not recommended on row 23" bash -c "! grep -qF 'margin,8.753,29.651,0,0,9.8,1,0.9,0.81,both,66,19,2.000×2.000,23,' '$work/summary.csv'"
check "batch: margin noted" grep -qE '^margin,.*,h1,h1,1,1_margin\.txt'$'\r''$' "$work/summary.csv"
check "batch: steep box on h2" grep -qE '^steep,.*,1\.200×1\.200,12,.*,h2,,0,2_steep\.txt'$'\r''$' "$work/summary.csv"
check "batch: large noted" grep -qE '^large,.*,1,3_large\.txt'$'\r''$' "$work/summary.csv"
run "${batch[@]}" --json
check "batch json: steep box on h2" grep -qE '"name":"steep".*"box":\{[^}]*"hReqFrom":"h2"' "$work/out"
check "batch json: large noted" grep -qF '"friction_note":true,' <(grep -F '"name":"large"' "$work/out")
check "batch json: steep not noted" grep -qF '"friction_note":false,' <(grep -F '"name":"steep"' "$work/out")

if [ "$sheets" = sheets ]; then
  run "${margin[@]}" --dir "$work/d" --summary --out "$work/margin.pdf"
  check "margin: summary row 23" grep -qE '^ +23 +2\.000×2\.000 .* 2\.000 ※ +2\.000 +余裕高考慮にてオーバーしました$' \
    <(pdf_text "$work/margin.pdf")
  check "margin: summary footnote" grep -qF "※：hf は係数を小数5桁に丸めて求めたため、最大 0.011m の誤差を含む" \
    <(pdf_text "$work/margin.pdf")
  run "${margin[@]}" --dir "$work/d" --sheet 23 --out "$work/margin23.pdf"
  check "margin: sheet 23 NG" grep -qE "= +2\.000 +≧ +設計断面高 H = +2\.000m・・・ＮＧ" <(pdf_text "$work/margin23.pdf")

  run "${steep[@]}" --dir "$work/d" --sheet 11 --summary --out "$work/steep.pdf"
  check "steep: summary row 11" grep -qE '^ +11 +1\.200×1\.000 +0\.921 +0\.222 +1\.021 ＊ +1\.000 +余裕高' \
    <(pdf_text "$work/steep.pdf")
  check "steep: summary footnote" grep -qF "＊：h1 ＜ h2（射流）のため、必要高は限界水深 h2 で求めた" <(pdf_text "$work/steep.pdf")
  check "steep: sheet reason" grep -qF "h1 ＜ h2（射流）のため、呑口水深は限界水深 h2 とする" <(pdf_text "$work/steep.pdf")
  check "steep: sheet decision on h2" grep -qE "H×0\.100 \+ H2 = +1\.000×0\.100 \+ +0\.921 = +1\.021 +≧ +設計断面高 H = +1\.000m・・・ＮＧ" \
    <(pdf_text "$work/steep.pdf")

  run "${large[@]}" --dir "$work/d" --sheet 66 --summary --out "$work/large.pdf"
  check "large: sheet note" grep -qF "注）hf は係数を小数5桁に丸めて求めたため、最大 31250.000×0.00001 = 0.313m の誤差を含む" \
    <(pdf_text "$work/large.pdf")
  check "large: summary footnote" grep -qF "※：hf は係数を小数5桁に丸めて求めたため、最大 0.313m の誤差を含む" \
    <(pdf_text "$work/large.pdf")

  run "${batch[@]}" --report "$work/report.pdf"
  check "batch report exit 0" [ "$(status)" = 0 ]
  check "batch report: marks" grep -qE '^ +2 +steep .* ＊$' <(pdftotext -layout -f 1 -l 1 "$work/report.pdf" -)
  check "batch report: steep footnote" grep -qF "＊：推奨断面の必要高を限界水深 h2 で求めた（h1 ＜ h2、射流）" \
    <(pdftotext -layout -f 1 -l 1 "$work/report.pdf" -)
  check "batch report: friction footnote" grep -qF "※：hf は係数を小数5桁に丸めて求めたため、5mm 以上の誤差を含み得る" \
    <(pdftotext -layout -f 1 -l 1 "$work/report.pdf" -)
  check "batch report: the large culvert's sheets noted" [ "$(pdf_text "$work/report.pdf" | grep -c "注）hf は係数を")" -ge 2 ]
fi

finish "sekora-cli verdicts"
