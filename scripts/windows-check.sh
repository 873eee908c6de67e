#!/usr/bin/env bash
# Builds Sekora for 64-bit Windows with MinGW-w64 and the Qt cross-built by
# scripts/build-qt-windows.sh (built first when it is not in the cache), and
# checks it under Wine:
#   1. every test of the calculation core, the sheet, the figures and
#      sekora-cli, in a fresh Wine prefix inside the build folder;
#   2. the packages (scripts/windows-package.sh): what the zip holds, the zip
#      unpacked and used with real clicks, the installer installing,
#      running and uninstalling, each in a fresh Wine prefix of its own.
# The Windows results are compared with the Linux sekora-cli's, built here
# with the ci preset.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 \
  googletest icoutils nsis zip unzip xclip
bash scripts/build-qt-windows.sh
qt=$(bash scripts/build-qt-windows.sh --print)

build=build/windows
export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
# No .NET or HTML engine is needed: Wine would only offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_dir=/usr/lib/wine

cmake --preset windows -DSEKORA_WINDOWS_QT="$qt" >/dev/null
cmake --build --preset windows -j"$(nproc)"

# A fresh prefix, made once; one server, kept running, serves every test
# program.
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
"$wine_dir/wineserver" -p
trap '"$wine_dir/wineserver" -k || true' EXIT
"$wine_dir/wine64" wineboot --init >/dev/null 2>&1
# Test programs that Wine failed to start, and that were started again.
rm -f "$build/wine-run.log"
status=0
ctest --preset windows -j"$(nproc)" || status=$?
if [ -s "$build/wine-run.log" ]; then
  echo "Wine did not start these test programs at the first attempt:"
  cat "$build/wine-run.log"
fi
[ "$status" = 0 ] || exit "$status"
"$wine_dir/wineserver" -k || true
trap - EXIT
unset WINEPREFIX

bash scripts/windows-package.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$build/Sekora-$version-windows-x64.zip
setup=$build/Sekora-$version-setup.exe

# The Linux tool whose results the Windows programs must give.
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$(nproc)" --target sekora-cli
linux_cli=build/ci/bin/sekora-cli

bash tests/windows/package_test.sh "$zip" "$version"
bash tests/windows/portable_test.sh "$zip" "$linux_cli" data
bash tests/windows/installer_test.sh "$setup" "$zip" "$linux_cli" data
