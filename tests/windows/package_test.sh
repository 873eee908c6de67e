#!/usr/bin/env bash
# What the Windows zip holds: one folder; the two programs, the one a GUI
# program and the other a console program, each with the icon and the
# version Explorer shows; every DLL a program or DLL of the package imports,
# and no DLL that nothing imports; the Qt plugins Qt loads and no others;
# Qt's Japanese texts, the shipped data, the licences; no fonts.
# Usage: package_test.sh ZIP VERSION
set -u
export LC_ALL=C.UTF-8
zip=$(realpath "$1")
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shopt -s nullglob
objdump=x86_64-w64-mingw32-objdump
# What Windows itself provides: the system DLLs, as Wine implements them,
# and the API sets (api-ms-win-*), names Windows resolves to its own DLLs.
system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

# Windows reads a name as UTF-8 only when the zip marks it so (flag 0x800),
# else in its own code page: 矩寸法.wmf would not be found.
unmarked=$(perl -0777 -ne '
  my $zip = $_;
  my ($count, $offset) = unpack("x10 v x4 V", substr($zip, rindex($zip, "PK\x05\x06"), 22));
  for my $entry (1 .. $count) {
    my ($flags, $name_length, $extra_length, $comment_length) =
      unpack("x8 v x18 v v v", substr($zip, $offset, 46));
    my $name = substr($zip, $offset + 46, $name_length);
    print "$name " if $name =~ /[\x80-\xff]/ && !($flags & 0x800);
    $offset += 46 + $name_length + $extra_length + $comment_length;
  }' "$zip")
check "Japanese names are marked as UTF-8${unmarked:+ (not: $unmarked)}" [ -z "$unmarked" ]

unzip -q "$zip" -d "$work"
check "the zip holds one folder, Sekora-$version-windows-x64" \
  [ "$(ls "$work")" = "Sekora-$version-windows-x64" ]
app=$work/Sekora-$version-windows-x64

expected=(sekora.exe sekora-cli.exe BOX.TXT KAN.TXT 矩寸法.wmf 円寸法.wmf 寸法.wmf LICENSE
  使用許諾契約書.txt translations/qtbase_ja.qm platforms/qwindows.dll
  licenses/Qt/LGPL-3.txt licenses/Qt/GPL-3.txt licenses/Qt/copyright.txt licenses/Qt/README.txt
  licenses/MinGW-w64/libstdc++-libgcc.txt licenses/MinGW-w64/winpthreads.txt)
missing=()
for file in "${expected[@]}"; do [ -s "$app/$file" ] || missing+=("$file"); done
check "it holds ${missing[*]:-every expected file}" [ ${#missing[@]} = 0 ]
check "no Keisan.txt is shipped" [ ! -e "$app/Keisan.txt" ]
check "no font is shipped" [ -z "$(find "$app" -iname '*.tt[fc]' -o -iname '*.otf')" ]
check "Qt's notice names its Debian source" grep -qE "qt6-base=[0-9.]+\+dfsg-[0-9]+" \
  "$app/licenses/Qt/README.txt"

subsystem() { "$objdump" -p "$1" | awk '/^Subsystem/{print $2}'; }
check "sekora.exe is a GUI program: no console window" [ "$(subsystem "$app/sekora.exe")" = 00000002 ]
check "sekora-cli.exe is a console program" [ "$(subsystem "$app/sekora-cli.exe")" = 00000003 ]

# Icon and version, as Explorer reads them from the resources.
for program in sekora.exe sekora-cli.exe; do
  wrestool -x -t 14 "$app/$program" -o "$work/$program.ico" 2>/dev/null
  check "$program has the icon from 16 to 256 pixels" \
    bash -c "icotool -l '$work/$program.ico' | grep -q 'width=16 ' &&
             icotool -l '$work/$program.ico' | grep -q 'width=256 '"
  # The version resource's strings, each key followed by its value.
  wrestool -x --raw -t 16 "$app/$program" 2>/dev/null | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
    tr '\0' '\n' | grep -v '^$' >"$work/$program.version"
  value_of() { awk -v key="$1" 'found {print; exit} $0 ~ key "$" {found = 1}' "$work/$program.version"; }
  check "$program says it is Sekora $version" \
    [ "$(value_of ProductName)/$(value_of ProductVersion)" = "Sekora/$version" ]
  check "$program asks for no administrator rights" \
    bash -c "wrestool -x --raw -t 24 '$app/$program' | grep -qF 'level=\"asInvoker\"'"
done

# Imports: every DLL named is in the folder or part of Windows; every DLL of
# the folder is named by something in it.
imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'; }
in_folder() { [ -n "$(find "$2" -maxdepth 1 -iname "$1" -print -quit)" ]; }
unresolved=()
: >"$work/imported"
while read -r pe; do
  for dll in $(imports "$pe"); do
    echo "$dll" >>"$work/imported"
    in_folder "$dll" "$app" || in_folder "$dll" "$system_dlls" || [[ $dll == api-ms-win-* ]] ||
      unresolved+=("${pe#"$app"/}:$dll")
  done
done < <(find "$app" -iname '*.exe' -o -iname '*.dll')
check "every imported DLL is shipped or part of Windows${unresolved:+ (not: ${unresolved[*]})}" \
  [ ${#unresolved[@]} = 0 ]
unused=()
for dll in "$app"/*.dll; do
  name=$(basename "$dll" | tr 'A-Z' 'a-z')
  grep -qx "$name" "$work/imported" || unused+=("$name")
done
check "every shipped DLL is imported${unused:+ (not: ${unused[*]})}" [ ${#unused[@]} = 0 ]
check "the DLLs are Qt's four and the MinGW runtime's three" \
  [ "$(cd "$app" && ls *.dll | sort | tr '\n' ' ')" = \
    "Qt6Core.dll Qt6Gui.dll Qt6PrintSupport.dll Qt6Widgets.dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll " ]
# Qt loads the Windows platform and the Windows styles; nothing else is a
# plugin, nothing is left loose below the folder.
check "the plugins are the Windows platform and styles" \
  [ "$(cd "$app" && find . -mindepth 2 -iname '*.dll' | sort | tr '\n' ' ')" = \
    "./platforms/qwindows.dll ./styles/qwindowsvistastyle.dll " ]

echo "Windows zip contents: $passed passed, $failed failed"
[ "$failed" = 0 ]
