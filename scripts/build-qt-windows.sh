#!/usr/bin/env bash
# Cross-builds the Qt that Sekora's Windows programs need, from Debian's own
# source package of the Qt the Linux build uses (qt6-base), with MinGW-w64.
#
#   build-qt-windows.sh          builds into the cache unless it is there
#   build-qt-windows.sh --fetch  only installs the packages and fetches the
#                                source (the build then needs neither apt
#                                nor the network)
#   build-qt-windows.sh --print  prints the cache folder (the Qt prefix)
#
# The result lives outside the repository, in
# ${SEKORA_CACHE:-~/.cache/sekora}/qt-<version>-mingw64, and is reused when
# it is complete (a stamp file is written last). Only what Sekora uses is
# built: Core, Gui, Widgets and PrintSupport, the Windows platform plugin and
# the Windows styles; no SQL, network, D-Bus, OpenGL, tests or examples, and
# none of the widgets, dialogs and text formats the program never shows.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null | sed 's/+.*//' || true)
qt_version=${qt_version:-6.4.2}
cache=${SEKORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/sekora}
prefix=$cache/qt-$qt_version-mingw64
stamp=$prefix/.sekora-complete

if [ "${1:-}" = --print ]; then
  echo "$prefix"
  exit 0
fi
if [ -f "$stamp" ]; then
  echo "Qt $qt_version for Windows: $prefix (cached)"
  exit 0
fi

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix ninja-build qt6-base-dev-tools \
  dpkg-dev xz-utils

# The source package comes from the Debian archive the machine already uses:
# a deb-src twin of its sources file.
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
src_list=/etc/apt/sources.list.d/debian-src.sources
if [ ! -f "$src_list" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    "${as_root[@]}" tee "$src_list" >/dev/null
  "${as_root[@]}" apt-get update -qq
fi

work=$cache/qt-$qt_version-src
mkdir -p "$work"
fetch_source() { # fetch_source PACKAGE -> prints the unpacked folder
  local pkg=$1
  local tarball
  tarball=$(ls "$work"/"${pkg}"_*.orig.tar.xz 2>/dev/null | head -n 1 || true)
  if [ -z "$tarball" ]; then
    (cd "$work" && apt-get source --download-only -qq "$pkg" >/dev/null)
    tarball=$(ls "$work"/"${pkg}"_*.orig.tar.xz | head -n 1)
  fi
  local dir=$work/$pkg
  if [ ! -d "$dir" ]; then
    rm -rf "$dir.tmp"
    mkdir -p "$dir.tmp"
    tar -xf "$tarball" -C "$dir.tmp" --strip-components=1
    mv "$dir.tmp" "$dir"
  fi
  echo "$dir"
}
base_src=$(fetch_source qt6-base)
[ "${1:-}" = --fetch ] && exit 0

# Modules, plugins and features left out. Debian's repacked source has no
# wintab.h, which tablet events need; and with OpenGL off, 6.4's Windows
# plugin still refers to the dynamic-GL context unless that is off too.
# Without FreeType and DirectWrite, text is drawn by GDI, Windows' classic
# font engine (6.4's printer engine refers to the DirectWrite engine, which
# Gui builds only together with Direct2D); the offscreen platform, which
# needs FreeType, goes.
# Widgets, dialogs and formats no window of Sekora shows go, except where the
# printer dialog, the file dialog or the Windows style needs them.
features_off=(
  sql network dbus opengl vulkan testlib concurrent xml direct2d
  jpeg gif ico tabletevent dynamicgl freetype directwrite
  process sharedmemory systemsemaphore commandlineparser
  jalalicalendar hijricalendar islamiccivilcalendar
  transposeproxymodel concatenatetablesproxymodel
  textodfwriter textmarkdownreader textmarkdownwriter movie
  systemtrayicon sessionmanager undocommand undostack undogroup
  imageformat_ppm imageformat_xbm
  commandlinkbutton splashscreen lcdnumber fontcombobox toolbox dockwidget
  mdiarea dial graphicsview graphicseffect keysequenceedit colordialog
  fontdialog errormessage wizard datawidgetmapper columnview
  undoview textbrowser tablewidget treewidget
  printpreviewwidget printpreviewdialog
)
bundled=(zlib pcre2 harfbuzz png doubleconversion)

toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)
flags=()
for f in "${features_off[@]}"; do flags+=("-DFEATURE_$f=OFF"); done
for f in "${bundled[@]}"; do flags+=("-DFEATURE_system_$f=OFF"); done

echo "Building Qt $qt_version for Windows into $prefix"
rm -rf "$prefix" "$work/build-base"
start=$(date +%s)
# -Os: Qt's speed is not what Sekora waits for, and its DLLs are what the
# packages mostly hold.
cmake -S "$base_src" -B "$work/build-base" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_optimize_size=ON "${flags[@]}" >"$work/configure-base.log"
ninja -C "$work/build-base" -j"$jobs" >"$work/build-base.log"
ninja -C "$work/build-base" install >/dev/null
end=$(date +%s)

rm -rf "$work/build-base"
# The source's Debian version, for the licence notice of the packages.
sed -n 's/^Version: //p' "$work"/qt6-base_*.dsc | head -n 1 >"$prefix/qt-source-version"
echo "qtbase built in $((end - start)) s" >"$stamp"
echo "Qt $qt_version for Windows built in $((end - start)) s: $prefix"
