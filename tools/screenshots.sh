#!/bin/sh
# Makes docs/screenshots/main.png, list.png and preview.png: builds the
# screenshot renderer and runs it on a virtual X display, with the shipped
# catalogues and figures.
# Usage: tools/screenshots.sh [BUILD_DIR]   (default: build-screenshots)
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build-screenshots}
out=$repo/docs/screenshots

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSEKORA_BUILD_GUI=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target sekora-screenshots
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
  "$build/bin/sekora-screenshots" "$out"
echo "screenshots written to $out"
