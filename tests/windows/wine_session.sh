# Shared by the checks of the Windows packages, which source it: a display
# of their own (Xvfb with openbox), fresh Wine prefixes set up like a
# Japanese Windows, and xdotool driving the windows as a user does.
# The caller sets `work` (a temporary folder it removes) before sourcing.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=-all
# No .NET or HTML engine is needed: Wine would only offer to download them.
# No menu entries of this machine's desktop for the Windows shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A home of its own: a prefix links the user's Documents and Desktop there.
export HOME=$work/home
mkdir -p "$HOME"
# No printer, whatever the machine has: Wine would list CUPS's printers.
export CUPS_SERVER=/nonexistent/cups.sock

session_pids=()
end_session() {
  local pid
  [ -n "${WINEPREFIX:-}" ] && "$wineserver" -k 2>/dev/null
  for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null; done
}

source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
files_exist() { # files_exist FILE...
  local file
  for file in "$@"; do [ -f "$file" ] || return 1; done
}
same_files() { # same_files DIR1 DIR2 NAME...: each NAME is the same in both
  local a=$1 b=$2 name
  shift 2
  for name in "$@"; do cmp -s "$a/$name" "$b/$name" || return 1; done
}
# finish TITLE: the closing count line and the script's status.
finish() {
  echo "$1: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}

# start_display: Xvfb at 96 dpi, as Windows lays out its windows, and openbox.
start_display() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" \
    >/dev/null 2>&1 &
  session_pids+=($!)
  local _
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(head -n 1 "$work/display")
  openbox >/dev/null 2>&1 &
  session_pids+=($!)
  for _ in $(seq 100); do xdotool get_num_desktops >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "openbox did not start" >&2
  return 1
}

# new_prefix DIR: a fresh Wine prefix in DIR, made the current one. A
# Japanese Windows has the faces the windows and the sheet ask for; here
# Wine's font replacement maps them to the IPA fonts of the machine.
new_prefix() {
  export WINEPREFIX=$1
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || return 1
  local face
  for face in "ＭＳ 明朝=IPAMincho" "ＭＳ Ｐ明朝=IPAPMincho" "ＭＳ ゴシック=IPAGothic" \
    "ＭＳ Ｐゴシック=IPAPGothic" "MS Mincho=IPAMincho" "MS PMincho=IPAPMincho" \
    "MS Gothic=IPAGothic" "MS PGothic=IPAPGothic"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${face%%=*}" /t REG_SZ \
      /d "${face#*=}" /f >/dev/null 2>&1 || return 1
  done
  # A crash shows no dialog that would wait for a click.
  "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  "$wineserver" -w
}

# windows_path UNIX_PATH: the path as Windows programs see it.
windows_path() {
  "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'
}

# find_window TITLE: the id of a shown window whose title is TITLE.
find_window() {
  timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}
# new_window TITLE KNOWN...: a shown window titled TITLE other than the KNOWN ones.
new_window() {
  local title=$1 id _
  shift
  for _ in $(seq 150); do
    for id in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
      [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
window_gone() { # window_gone ID: waits until the window is no longer shown
  local _
  for _ in $(seq 100); do
    xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable" || return 0
    sleep 0.1
  done
  return 1
}

# client_origin WINDOW: "X Y", the screen position of the window's client
# area. Under a window manager, Wine's X window of a Windows window is its
# client area; openbox draws the frame around it.
client_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    END{print x, y}'
}
# click WINDOW X Y [COUNT]: clicks at X, Y twips of the window's client area
# (the program lays its windows out in twips; 15 twips are a pixel at
# 96 dpi).
click() {
  local window=$1 count=${4:-1} origin
  xdotool windowactivate --sync "$window" >/dev/null 2>&1
  sleep 0.3
  read -r -a origin < <(client_origin "$window")
  xdotool mousemove --sync $((origin[0] + $2 / 15)) $((origin[1] + $3 / 15)) \
    click --repeat "$count" --delay 80 1
}

# list_row_y N: the middle of row N of the results list, in twips of its
# window: the list's top edge is at 600 twips, inside a 2-pixel frame, and
# its rows are 16 pixels high in the IPA Gothic that stands in for
# "ＭＳ ゴシック" under Wine.
list_row_y() {
  echo $((600 + 15 * (2 + ($1 - 1) * 16 + 8)))
}

# clipboard_text: what the clipboard holds, as text.
clipboard_text() {
  timeout 5 xclip -selection clipboard -o 2>/dev/null
}

# calculate_by_clicks WINDOW Q L: types Q and L into their boxes of the main
# window WINDOW, each after a click into it, and clicks 計算. Prints the id of
# the results list that opens.
calculate_by_clicks() {
  local main=$1
  click "$main" 2940 495 # Q: 615 x 270 twips at (2640, 360)
  xdotool type --delay 60 "$2"
  click "$main" 2940 855 # L, 360 twips below
  xdotool type --delay 60 "$3"
  click "$main" 2107 3787 # 計算: 1095 x 615 twips at (1560, 3480)
  find_window 計算結果一覧
}
# end_by_clicks WINDOW PID: clicks 終了 of the main window WINDOW; succeeds
# when the program PID ends.
end_by_clicks() {
  click "$1" 3307 3787 # 終了, beside 計算
  local _
  for _ in $(seq 100); do kill -0 "$2" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
