#!/usr/bin/env bash
# Builds the calculation core, its tests and sekora-cli for 64-bit Windows
# with MinGW-w64, and runs the tests and the command-line checks under Wine,
# in a fresh Wine prefix inside the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 googletest

build=build/windows
export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
# No .NET or HTML engine is needed: Wine would only offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_dir=/usr/lib/wine

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

# A fresh prefix, made once; one server, kept running, serves every test
# program.
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
"$wine_dir/wineserver" -p
trap '"$wine_dir/wineserver" -k || true' EXIT
"$wine_dir/wine64" wineboot --init >/dev/null 2>&1
ctest --preset windows -j"$(nproc)"
