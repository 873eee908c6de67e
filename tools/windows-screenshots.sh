#!/usr/bin/env bash
# Makes docs/screenshots/windows-main.png, windows-list.png and
# windows-preview.png: the client areas of the three windows of the Windows
# zip under Wine, on a virtual X display at 96 dpi, in a fresh Wine prefix
# whose font replacement maps the MS faces to the IPA fonts, driven by
# clicks as a user does: Q = 2 and L = 30, then a double-click on the first
# ＯＫ row, as the Linux screenshots show.
# Usage: tools/windows-screenshots.sh   (builds the packages first if needed)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh x11-apps netpbm xdotool openbox xvfb unzip
bash scripts/windows-package.sh >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
zip=$PWD/build/windows/Sekora-$version-windows-x64.zip
out=$PWD/docs/screenshots

work=$(mktemp -d)
source tests/windows/wine_session.sh
trap 'end_session; rm -rf "$work"' EXIT
start_display
new_prefix "$work/prefix"
unzip -q "$zip" -d "$WINEPREFIX/drive_c"
app=$(ls -d "$WINEPREFIX"/drive_c/Sekora-*-windows-x64)

# shoot WINDOW NAME: the window's client area as docs/screenshots/NAME.png.
shoot() {
  [ -n "$1" ] || { echo "no window for $2" >&2; exit 1; }
  xdotool mousemove 0 0 # no row lit up under the pointer
  sleep 1
  xwd -silent -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$out/$2.png"
  echo "$out/$2.png"
}

(cd "$app" && "$wine" sekora.exe >/dev/null 2>&1) &
program=$!
main=$(find_window Sekora)
click "$main" 2940 495
xdotool type --delay 60 "2"
click "$main" 2940 855
xdotool type --delay 60 "30"
xdotool key Tab # to 計算: L shows 30.000
shoot "$main" windows-main
click "$main" 2107 3787
list=$(find_window 計算結果一覧)
shoot "$list" windows-list
click "$list" 3000 "$(list_row_y 8)" 2 # the first ＯＫ row
shoot "$(find_window 計算結果出力)" windows-preview
end_by_clicks "$main" "$program"
