#!/usr/bin/env bash
# Builds the Debian package with cpack, checks what it holds, installs it
# with apt as a user would, runs sekora-cli from PATH, and removes it again.
# Installing needs root (or sudo); without either only the contents are checked.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh dpkg-dev desktop-file-utils
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$(nproc)"
rm -f build/ci/sekora_*.deb
(cd build/ci && cpack -G DEB >/dev/null)
deb=$(ls "$PWD"/build/ci/sekora_*.deb)
echo "Package: $deb"

failed=0
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name" >&2; failed=1; fi
}

contents=$(dpkg-deb -c "$deb")
for f in usr/bin/sekora usr/bin/sekora-cli usr/share/sekora/BOX.TXT usr/share/sekora/KAN.TXT \
  usr/share/sekora/矩寸法.wmf usr/share/sekora/円寸法.wmf usr/share/sekora/寸法.wmf \
  usr/share/sekora/使用許諾契約書.txt usr/share/sekora/LICENSE usr/share/doc/sekora/copyright \
  usr/share/applications/sekora.desktop usr/share/icons/hicolor/scalable/apps/sekora.svg; do
  check "package holds /$f" grep -qF " ./$f" <<<"$contents"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 qt6-qpa-plugins fonts-ipafont-mincho fonts-ipafont-gothic; do
  check "depends on $d" grep -qF "$d" <<<"$depends"
done
check "does not depend on Qt SVG" test -z "$(grep -F libqt6svg <<<"$depends" || true)"
check "desktop entry is valid" desktop-file-validate data/sekora.desktop

as_root=()
if [ "$(id -u)" != 0 ]; then
  if ! sudo -n true 2>/dev/null; then
    echo "package-check: not root and no sudo; install and removal skipped"
    exit "$failed"
  fi
  as_root=(sudo)
fi
if dpkg-query -W -f='${Status}' sekora 2>/dev/null | grep -q "install ok installed"; then
  echo "package-check: a sekora package is installed already; install and removal skipped" >&2
  exit "$failed"
fi

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "$deb" >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
check "sekora-cli on PATH" [ "$(command -v sekora-cli)" = /usr/bin/sekora-cli ]
rows=$(HOME=$home env -u XDG_DATA_HOME sekora-cli --q 1.5 --l 20 | wc -l)
check "sekora-cli from PATH prints 66 rows" [ "$rows" = 66 ]
check "Keisan.txt in the user folder" [ -f "$home/.local/share/sekora/Keisan.txt" ]
check "menu entry installed" [ -f /usr/share/applications/sekora.desktop ]
check "sekora --version" [ "$(sekora --version)" = "sekora $(dpkg-deb -f "$deb" Version)" ]

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get remove -y -qq sekora >/dev/null
check "removed from the package list" bash -c "! dpkg-query -W -f='\${Status}' sekora 2>/dev/null | grep -q 'ok installed'"
check "programs removed" bash -c "[ ! -e /usr/bin/sekora ] && [ ! -e /usr/bin/sekora-cli ]"
check "data removed" [ ! -e /usr/share/sekora ]
check "menu entry removed" [ ! -e /usr/share/applications/sekora.desktop ]
exit "$failed"
