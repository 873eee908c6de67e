#!/usr/bin/env bash
# Installs the Debian 12 packages Sekora needs to build, run and test.
# Packages already present are not fetched again.
set -euo pipefail

# dpkg-dev and file are what cpack needs to make the Debian package with
# its Depends; gettext compiles sekora-cli's English messages; man-db,
# bash-completion and locales let the tests read the manual pages, complete
# sekora-cli's options and run it in other locales as a user would.
packages=(
  g++ cmake make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-translations-l10n
  fonts-ipafont-mincho fonts-ipafont-gothic
  xvfb xauth openbox xdotool x11-utils poppler-utils librsvg2-bin qpdf
  dpkg-dev file gettext man-db bash-completion locales
)
# Extra packages a caller asks for (e.g. clang for the sanitizer build).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
