#!/usr/bin/env bash
# Cross-builds the Qt that Sekora's Windows program needs, from Debian's own
# source package of the Qt the Linux build uses (qt6-base), with MinGW-w64.
#
#   build-qt-windows.sh          builds into the cache unless it is there
#   build-qt-windows.sh --print  prints the cache folder (the Qt prefix)
#
# The result lives outside the repository, in
# ${SEKORA_CACHE:-~/.cache/sekora}/qt-<version>-mingw64, and is reused when
# it is complete (a stamp file is written last). Only what Sekora links is
# built: Core, Gui, Widgets and PrintSupport, the Windows platform plugin and
# the Windows styles; no SQL, network, D-Bus, OpenGL, tests or examples.
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

# Source packages come from the Debian archive the machine already uses: a
# deb-src twin of its sources file.
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

toolchain=$PWD/cmake/mingw-w64-x86_64-qt.cmake
jobs=$(nproc)

echo "Building Qt $qt_version for Windows into $prefix"
rm -rf "$prefix" "$work/build-base"
start=$(date +%s)
cmake -S "$base_src" -B "$work/build-base" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
  -DFEATURE_vulkan=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF >"$work/configure-base.log"
ninja -C "$work/build-base" -j"$jobs" >"$work/build-base.log"
ninja -C "$work/build-base" install >/dev/null
end=$(date +%s)

rm -rf "$work/build-base"
echo "qtbase built in $((end - start)) s" >"$stamp"
echo "Qt $qt_version for Windows built in $((end - start)) s: $prefix"
