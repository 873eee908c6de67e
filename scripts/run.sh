#!/usr/bin/env bash
# Builds Sekora and starts it. Without a display it says so and shows the
# command-line tool instead, with Q = 1.5 m3/s and L = 20 m.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"

bin=build/release/bin
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/sekora"
fi
echo "No display found: showing sekora-cli instead (sekora-cli --q 1.5 --l 20)."
echo "画面がないため、sekora-cli で計算します。"
"$bin/sekora-cli" --q 1.5 --l 20
