#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix: a silent install, its
# files, shortcut and entry in the list of installed programs; the installed
# programs calculating into %LOCALAPPDATA%\Sekora (Wine's Program Files is
# writable, yet nothing may be written there); a silent uninstall that
# removes the program and keeps the user's data.
# Usage: installer_test.sh SETUP ZIP LINUX_SEKORA_CLI DATA_DIR
set -u
setup=$(realpath "$1")
zip=$(realpath "$2")
linux_cli=$(realpath "$3")
data=$(realpath "$4")
work=$(mktemp -d)
source "$(dirname "$0")/wine_session.sh"
trap 'end_session; rm -rf "$work"' EXIT

start_display || exit 1
new_prefix "$work/prefix" || { echo "no Wine prefix" >&2; exit 1; }
drive=$WINEPREFIX/drive_c
program="$drive/Program Files/Sekora"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Sekora.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sekora'
user_data=$(ls -d "$drive"/users/*/AppData/Local | grep -v /Public/ | head -n 1)/Sekora
version=$(basename "$setup" | sed 's/^Sekora-\(.*\)-setup\.exe$/\1/')

"$wine" "$setup" /S >/dev/null 2>&1
"$wineserver" -w
check "the programs are in Program Files\\Sekora\\bin" \
  files_exist "$program/bin/sekora.exe" "$program/bin/sekora-cli.exe"
check "the catalogues are in share\\sekora" [ -f "$program/share/sekora/BOX.TXT" ]

# The installation holds the zip's files, the programs' in bin\, the data and
# the licences in share\sekora\, and the uninstaller.
unzip -q "$zip" -d "$work/zip"
portable=$(ls -d "$work"/zip/Sekora-*)
same_files=true
while read -r file; do
  cmp -s "$portable/$file" "$program/bin/$file" ||
    cmp -s "$portable/$file" "$program/share/sekora/$file" ||
    { echo "not installed: $file" >&2; same_files=false; }
done < <(cd "$portable" && find . -type f | sed 's|^\./||')
check "every file of the zip is installed" $same_files
check "nothing else is installed but the uninstaller" \
  [ "$(find "$program" -type f | wc -l)" = "$(($(find "$portable" -type f | wc -l) + 1))" ]
check "uninstall.exe is there" [ -f "$program/uninstall.exe" ]
# Installing again uninstalls the earlier installation first: one remains.
find "$program" -type f | sort >"$work/installed-once"
"$wine" "$setup" /S >/dev/null 2>&1
"$wineserver" -w
find "$program" -type f | sort >"$work/installed-twice"
check "installing again replaces the earlier installation" \
  cmp -s "$work/installed-once" "$work/installed-twice"

check "the Start menu has Sekora for every user" [ -f "$shortcut" ]
check "the shortcut starts bin\\sekora.exe" \
  bash -c "iconv -f UTF-16LE -t UTF-8 '$shortcut' 2>/dev/null | grep -qF 'Sekora\\bin\\sekora.exe' ||
           grep -aqF 'Sekora\\bin\\sekora.exe' '$shortcut'"
"$wine" reg query "$uninstall_key" 2>/dev/null | tr -d '\r' >"$work/registry"
registry_has() { grep -qE "^ +$1 +REG_[A-Z]+ +$2\$" "$work/registry"; }
check "installed programs: the name" registry_has DisplayName "Sekora"
check "installed programs: the version" registry_has DisplayVersion "$version"
check "installed programs: the publisher" registry_has Publisher "The Sekora developers"
check "installed programs: the uninstaller" \
  registry_has UninstallString '"C:\\Program Files\\Sekora\\uninstall.exe"'
check "installed programs: the silent uninstaller" \
  registry_has QuietUninstallString '"C:\\Program Files\\Sekora\\uninstall.exe" /S'
check "installed programs: the icon" \
  registry_has DisplayIcon 'C:\\Program Files\\Sekora\\bin\\sekora.exe,0'
check "installed programs: the size" registry_has EstimatedSize '0x[0-9a-f]+'

# The installed programs keep the user's files in %LOCALAPPDATA%\Sekora and
# write nothing into Program Files, writable as Wine's is.
listing() { (cd "$program" && find . -printf '%p %s %T@\n' | sort); }
listing >"$work/before"
mkdir "$work/linux"
cp "$data"/BOX.TXT "$data"/KAN.TXT "$work/linux/"
env -u DISPLAY "$linux_cli" --q 1.5 --l 20 --dir "$work/linux" >"$work/linux/rows"
(cd "$drive" && "$wine" "$program/bin/sekora-cli.exe" --q 1.5 --l 20 >"$work/rows" 2>"$work/cli.log")
check "the installed sekora-cli.exe lists Linux's rows" cmp -s "$work/rows" "$work/linux/rows"
check "its Keisan.txt is in %LOCALAPPDATA%\\Sekora, Linux's byte for byte" \
  cmp -s "$user_data/Keisan.txt" "$work/linux/Keisan.txt"
check "the first run copied the catalogues there" \
  same_files "$data" "$user_data" BOX.TXT KAN.TXT

env -u DISPLAY "$linux_cli" --q 2.5 --l 20 --dir "$work/linux" >/dev/null
(cd "$drive" && "$wine" "$program/bin/sekora.exe" >"$work/gui.log" 2>&1) &
gui=$!
main=$(find_window Sekora)
check "the installed sekora.exe opens its main window" [ -n "$main" ]
if [ -n "$main" ]; then
  list=$(calculate_by_clicks "$main" 2.5 20)
  check "計算 in the installed program opens the results list" [ -n "$list" ]
  check "its Keisan.txt is Linux's for Q 2.5, L 20, in %LOCALAPPDATA%\\Sekora" \
    cmp -s "$user_data/Keisan.txt" "$work/linux/Keisan.txt"
  check "終了 ends the installed program" end_by_clicks "$main" "$gui"
fi
"$wineserver" -w
listing >"$work/after"
check "nothing was written into Program Files" cmp -s "$work/before" "$work/after"

"$wine" "$program/uninstall.exe" /S >/dev/null 2>&1
"$wineserver" -w
# The uninstaller runs as a copy of itself, which may still be ending.
for _ in $(seq 50); do [ -e "$program" ] || break; sleep 0.2; done
check "uninstalling removes the program folder" [ ! -e "$program" ]
check "uninstalling removes the shortcut" [ ! -e "$shortcut" ]
check "uninstalling removes the entry of installed programs" \
  bash -c "! '$wine' reg query '$uninstall_key' >/dev/null 2>&1"
check "uninstalling keeps the user's Keisan.txt and catalogues" \
  files_exist "$user_data/Keisan.txt" "$user_data/BOX.TXT" "$user_data/KAN.TXT"

finish "Windows installer under Wine"
