#!/usr/bin/env bash
# The Windows zip as a user meets it, under Wine in a fresh prefix: unpacked
# into a folder with a Japanese name and a space, sekora.exe started and
# driven with the mouse and keyboard; then sekora-cli.exe drawing the report.
# Every result must be the Linux program's, byte for byte.
# Usage: portable_test.sh ZIP LINUX_SEKORA_CLI DATA_DIR
set -u
zip=$(realpath "$1")
linux_cli=$(realpath "$2")
data=$(realpath "$3")
work=$(mktemp -d)
source "$(dirname "$0")/wine_session.sh"
trap 'end_session; rm -rf "$work"' EXIT

start_display || exit 1
new_prefix "$work/prefix" || { echo "no Wine prefix" >&2; exit 1; }

# Unpacked where a Japanese user keeps it: a folder named in Japanese, with
# a space, in the user's documents.
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v /Public/ | head -n 1)
folder="$user_dir/Documents/函渠 計算"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
app=$(ls -d "$folder"/Sekora-*-windows-x64)
check "the zip holds one folder with sekora.exe" [ -f "$app/sekora.exe" ]

# What Linux writes for the same conditions.
mkdir "$work/linux"
cp "$data"/BOX.TXT "$data"/KAN.TXT "$data"/*.wmf "$work/linux/"
env -u DISPLAY "$linux_cli" --q 1.5 --l 20 --dir "$work/linux" >/dev/null

(cd "$app" && "$wine" sekora.exe >"$work/gui.log" 2>&1) &
gui=$!
main=$(find_window Sekora)
check "sekora.exe opens its main window" [ -n "$main" ]
if [ -n "$main" ]; then
  list=$(calculate_by_clicks "$main" 1.5 20)
  check "計算 opens the results list" [ -n "$list" ]
  check "Keisan.txt beside sekora.exe is Linux's, byte for byte" \
    cmp -s "$app/Keisan.txt" "$work/linux/Keisan.txt"

  if [ -n "$list" ]; then
    # Rows 11 to 41 of Q 1.5, L 20 pass.
    click "$list" 3000 "$(list_row_y 15)" 2
    preview=$(find_window 計算結果出力)
    check "a double-click on an ＯＫ row opens the preview" [ -n "$preview" ]
    if [ -n "$preview" ]; then
      # 印刷(O), the first item of the menu bar.
      click "$preview" 300 150
      message=$(new_window Sekora "$main")
      check "印刷 without a printer says so" [ -n "$message" ]
      if [ -n "$message" ]; then
        # Ctrl+C copies a Windows message box's title, text and buttons.
        xdotool windowactivate --sync "$message" >/dev/null 2>&1
        xdotool key ctrl+c
        sleep 0.5
        clipboard_text >"$work/message"
        check "the message is the Japanese one" \
          grep -qF "プリンタがインストールされていないため、印刷できません" "$work/message"
        xdotool key Return
        check "OK closes the message" window_gone "$message"
      fi
    fi
    # Row 7 failed the freeboard test: a double-click asks first, with Qt's
    # own buttons in Japanese.
    click "$list" 3000 "$(list_row_y 7)" 2
    question=$(new_window Sekora "$main")
    check "a double-click on a freeboard NG row asks first" [ -n "$question" ]
    if [ -n "$question" ]; then
      xdotool windowactivate --sync "$question" >/dev/null 2>&1
      xdotool key ctrl+c
      sleep 0.5
      clipboard_text >"$work/question"
      check "the question is the Japanese one" \
        grep -qF "余裕高にてエラーですが、表示しますか？" "$work/question"
      check "Qt's buttons say はい and いいえ" \
        bash -c "grep -qF 'はい' '$work/question' && grep -qF 'いいえ' '$work/question'"
      xdotool key Escape
      check "Escape answers No" window_gone "$question"
    fi
  fi
  check "終了 ends the program" end_by_clicks "$main" "$gui"
fi

# The report of every ＯＫ row with the summary, drawn by sekora-cli.exe from
# the unpacked folder, against the one the Linux tool draws.
(cd "$app" && "$wine" sekora-cli.exe --q 1.5 --l 20 --sheet ok --summary --out report.pdf \
  >"$work/cli.log" 2>&1)
check "sekora-cli.exe writes the report" [ -s "$app/report.pdf" ]
env -u DISPLAY "$linux_cli" --q 1.5 --l 20 --dir "$work/linux" --sheet ok --summary \
  --out "$work/linux/report.pdf" >/dev/null
pages() { pdfinfo "$1" | awk '/^Pages:/{print $2}'; }
check "the report has Linux's pages" [ "$(pages "$app/report.pdf")" = "$(pages "$work/linux/report.pdf")" ]
# The words of each page, in any order: the fonts' ascents, which Windows
# and Linux measure a little differently, decide in which order pdftotext
# reads the small exponents.
page_words() {
  pdftotext "$1" - | awk 'BEGIN { RS = "\f" } { n = split($0, w, /[[:space:]]+/)
    for (i = 1; i <= n; i++) if (w[i] != "") print NR ": " w[i] }' | sort
}
page_words "$app/report.pdf" >"$work/windows.txt"
page_words "$work/linux/report.pdf" >"$work/linux.txt"
check "the report has Linux's texts on each page" cmp -s "$work/windows.txt" "$work/linux.txt"
check "the report has texts" [ "$(wc -l <"$work/linux.txt")" -gt 1000 ]
check "sekora-cli.exe wrote Linux's Keisan.txt" cmp -s "$app/Keisan.txt" "$work/linux/Keisan.txt"

finish "Windows zip under Wine"
