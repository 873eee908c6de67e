#!/usr/bin/env bash
# Builds Sekora for 64-bit Windows with MinGW-w64 and the Qt that
# scripts/build-qt-windows.sh cross-builds, and packages it twice:
#
#   build/windows/Sekora-<version>-windows-x64.zip  one folder that runs where
#       it is unpacked, with everything beside sekora.exe
#   build/windows/Sekora-<version>-setup.exe        an installer (per machine,
#       into Program Files, in the layout bin\ and share\sekora\)
#
# The DLLs shipped are those the programs import, followed through the
# DLLs they import in turn, and the Qt plugins of the Qt modules among them,
# as windeployqt chooses them; a DLL that is neither shipped nor part of
# Windows stops the packaging.
set -euo pipefail
shopt -s inherit_errexit nullglob
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  googletest icoutils librsvg2-bin nsis libarchive-tools wine64
bash scripts/build-qt-windows.sh
qt=$(bash scripts/build-qt-windows.sh --print)

build=build/windows
cmake --preset windows -DSEKORA_WINDOWS_QT="$qt" >/dev/null
cmake --build --preset windows --target sekora sekora-cli -j"$(nproc)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

objdump=x86_64-w64-mingw32-objdump
compiler=x86_64-w64-mingw32-g++-posix
runtime_dirs=(
  "$(dirname "$("$compiler" -print-file-name=libstdc++-6.dll)")"
  "$(dirname "$("$compiler" -print-file-name=libwinpthread-1.dll)")"
)
# What Windows itself provides: the system DLLs, as Wine implements them,
# and the API sets (api-ms-win-*), names Windows resolves to its own DLLs.
system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

imports() { # imports PE_FILE: the DLL names it imports, one a line
  "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}
find_in() { # find_in NAME DIR...: the file NAME in the first DIR holding it, any case
  local name=$1 dir
  shift
  for dir in "$@"; do
    find "$dir" -maxdepth 1 -iname "$name" -print -quit
  done | head -n 1
}
part_of_windows() { [[ ${1,,} == api-ms-win-* ]] || [ -n "$(find_in "$1" "$system_dlls")" ]; }
# The Qt plugins a Qt module loads (what windeployqt ships for it), as paths
# below Qt's plugins folder.
plugins_of() {
  case $1 in
    Qt6Gui.dll) echo platforms/qwindows.dll ;;
    Qt6Widgets.dll) (cd "$qt/plugins" && ls styles/*.dll) ;;
  esac
}

# The installed layout: bin\ with the programs and everything they load,
# share\sekora\ with the catalogues, figures and licences.
stage=$build/package
installed=$stage/installed
rm -rf "$stage"
cmake --install "$build" --prefix "$installed" >/dev/null
bin=$installed/bin

# Follows the imports from the programs and the plugins, copying each DLL
# found in Qt or the MinGW runtime beside the programs.
pending=("$bin/sekora.exe" "$bin/sekora-cli.exe")
while [ ${#pending[@]} -gt 0 ]; do
  file=${pending[0]}
  pending=("${pending[@]:1}")
  for name in $(imports "$file"); do
    [ -n "$(find_in "$name" "$bin")" ] && continue
    dll=$(find_in "$name" "$qt/bin" "${runtime_dirs[@]}")
    if [ -n "$dll" ]; then
      cp "$dll" "$bin/"
      pending+=("$bin/$(basename "$dll")")
      for plugin in $(plugins_of "$(basename "$dll")"); do
        mkdir -p "$bin/$(dirname "$plugin")"
        cp "$qt/plugins/$plugin" "$bin/$plugin"
        pending+=("$bin/$plugin")
      done
    elif ! part_of_windows "$name"; then
      echo "windows-package: $(basename "$file") needs $name, which is neither in Qt, nor in the MinGW runtime, nor part of Windows" >&2
      exit 1
    fi
  done
done
# Qt's own texts in Japanese (buttons of message boxes, the file and printer
# dialogs), from Debian's qt6-translations-l10n: the same on every system.
mkdir -p "$bin/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$bin/translations/"
x86_64-w64-mingw32-strip --strip-unneeded "$bin"/*.exe "$bin"/*.dll "$bin"/*/*.dll

# The licences of what is shipped besides Sekora: Qt (LGPL-3, which builds on
# the GPL-3) with where its source comes from, and the MinGW runtime.
licenses=$installed/share/sekora/licenses
mkdir -p "$licenses/Qt" "$licenses/MinGW-w64"
cp /usr/share/common-licenses/LGPL-3 "$licenses/Qt/LGPL-3.txt"
cp /usr/share/common-licenses/GPL-3 "$licenses/Qt/GPL-3.txt"
cp /usr/share/doc/libqt6core6/copyright "$licenses/Qt/copyright.txt"
sed "s/@QT_SOURCE_VERSION@/$(cat "$qt/qt-source-version")/g" packaging/windows/Qt-README.txt \
  >"$licenses/Qt/README.txt"
cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright \
  "$licenses/MinGW-w64/libstdc++-libgcc.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$licenses/MinGW-w64/winpthreads.txt"

# The zip: one folder, everything beside the programs.
name=Sekora-$version-windows-x64
portable=$stage/$name
mkdir -p "$portable"
cp -r "$bin"/. "$installed/share/sekora"/. "$portable/"
zip_file=$build/$name.zip
rm -f "$zip_file"
# Names marked as UTF-8, so that Windows unpacks 矩寸法.wmf under its name
# whatever its code page.
(cd "$stage" && bsdtar --format zip --options zip:hdrcharset=UTF-8 -cf "../$name.zip" "$name")

# The installer, from the installed layout: the files it installs and the
# uninstaller removes, listed one by one, so that uninstalling removes
# nothing else.
install_list=$stage/install-files.nsh
uninstall_list=$stage/uninstall-files.nsh
folder_of() { # folder_of DIR: DIR of the staged layout as the installer names it
  local relative=${1#"$installed"}
  echo "\$INSTDIR${relative//\//\\}"
}
: >"$install_list"
: >"$uninstall_list"
while read -r dir; do
  echo "SetOutPath \"$(folder_of "$dir")\"" >>"$install_list"
  for file in "$dir"/*; do
    [ -f "$file" ] || continue
    echo "File \"$(realpath "$file")\"" >>"$install_list"
    echo "Delete \"$(folder_of "$dir")\\$(basename "$file")\"" >>"$uninstall_list"
  done
done < <(find "$installed" -type d | sort)
while read -r dir; do
  echo "RMDir \"$(folder_of "$dir")\"" >>"$uninstall_list"
done < <(find "$installed" -mindepth 1 -type d | sort -r)

# The licence page shows the Japanese terms of use; the page wants UTF-16
# with Windows line ends.
sed 's/$/\r/' data/使用許諾契約書.txt | iconv -f UTF-8 -t UTF-16 >"$stage/terms.txt"
setup=$build/Sekora-$version-setup.exe
makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DOUTFILE="$(realpath "$build")/Sekora-$version-setup.exe" \
  -DICON="$(realpath "$build/icon/sekora.ico")" -DTERMS="$(realpath "$stage/terms.txt")" \
  -DINSTALL_LIST="$(realpath "$install_list")" -DUNINSTALL_LIST="$(realpath "$uninstall_list")" \
  -DINSTALLED_SIZE_KB="$(du -sk "$installed" | cut -f1)" \
  packaging/windows/installer.nsi
echo "$zip_file ($(du -h "$zip_file" | cut -f1))"
echo "$setup ($(du -h "$setup" | cut -f1))"
