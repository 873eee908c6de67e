#!/usr/bin/env bash
# Builds the Debian package with cpack and checks it as a Debian developer
# would: lintian, what it holds and depends on, hardening, manual pages,
# AppStream data and desktop entry, and that a second build in another folder
# gives the same bytes. Then installs it with apt as a user would, runs the
# programs from PATH, completes sekora-cli's options in bash, and removes it
# again. Last, a command-line-only build with another data folder
# (-DCMAKE_INSTALL_DATADIR=share/games) is installed and run.
# Installing needs root (or sudo); without either it is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh desktop-file-utils lintian appstream
# Every time stamp of the package is the last commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

make_package() {  # make_package BUILD_DIR: prints the path of the .deb
  rm -f "$1"/sekora_*.deb
  (cd "$1" && cpack -G DEB >/dev/null)
  ls "$PWD/$1"/sekora_*.deb
}

cmake --preset ci >/dev/null
cmake --build --preset ci -j"$(nproc)"
deb=$(make_package build/ci)
echo "Package: $deb"

failed=0
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name" >&2; failed=1; fi
}
lacks() { ! grep -q "$@"; }  # lacks GREP_ARGUMENTS...: grep finds nothing
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# lintian prints every tag down to the pedantic ones; errors and warnings fail.
lintian_status=0
lintian --pedantic --info --fail-on error,warning "$deb" >"$work/lintian" 2>&1 || lintian_status=$?
cat "$work/lintian"
check "lintian: no error or warning" [ "$lintian_status" = 0 ]

contents=$(dpkg-deb -c "$deb")
for f in usr/bin/sekora usr/bin/sekora-cli usr/libexec/sekora/sekora-cli-sheet \
  usr/share/sekora/BOX.TXT usr/share/sekora/KAN.TXT usr/share/sekora/矩寸法.wmf \
  usr/share/sekora/円寸法.wmf usr/share/sekora/寸法.wmf usr/share/sekora/使用許諾契約書.txt \
  usr/share/doc/sekora/copyright usr/share/doc/sekora/changelog.gz \
  usr/share/man/man1/sekora.1.gz usr/share/man/man1/sekora-cli.1.gz \
  usr/share/man/ja/man1/sekora.1.gz usr/share/man/ja/man1/sekora-cli.1.gz \
  usr/share/applications/org.example.sekora.desktop usr/share/metainfo/org.example.sekora.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/sekora.svg usr/share/icons/hicolor/48x48/apps/sekora.png \
  usr/share/icons/hicolor/128x128/apps/sekora.png usr/share/icons/hicolor/256x256/apps/sekora.png \
  usr/share/bash-completion/completions/sekora-cli usr/share/lintian/overrides/sekora \
  usr/share/locale/en/LC_MESSAGES/sekora.mo; do
  check "package holds /$f" grep -qF " ./$f" <<<"$contents"
done
check "the licence only in the copyright file" lacks LICENSE <<<"$contents"
check "only sekora and sekora-cli on PATH" \
  [ "$(grep -o ' \./usr/bin/[^ ]*$' <<<"$contents" | sed 's| ./usr/bin/||' | xargs)" = "sekora sekora-cli" ]
check "compressed with xz" bash -c "ar t '$deb' | grep -qx data.tar.xz"

tree=$work/tree
dpkg-deb -x "$deb" "$tree"
programs=("$tree"/usr/bin/sekora "$tree"/usr/bin/sekora-cli "$tree"/usr/libexec/sekora/sekora-cli-sheet)

# Depends names the package of every library a program links: without
# dpkg-shlibdeps cpack would leave them out and the programs would not start.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{ print $1 }')
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for lib in $(objdump -p "${programs[@]}" | awk '/NEEDED/ { print $2 }' | sort -u); do
  package=$(dpkg -S "*/$multiarch/$lib" 2>/dev/null | head -n 1 | cut -d: -f1)
  check "depends on ${package:-the package of $lib} for $lib" grep -qxF "${package:-?}" <<<"$depends"
done
for d in qt6-qpa-plugins fonts-ipafont-mincho fonts-ipafont-gothic; do
  check "depends on $d" grep -qxF "$d" <<<"$depends"
done
check "does not depend on Qt SVG" lacks -x libqt6svg6 <<<"$depends"
check "recommends qt6-translations-l10n" \
  [ "$(dpkg-deb -f "$deb" Recommends)" = qt6-translations-l10n ]

# Debian's hardening, and nothing of the compiler's left in the programs.
# Every source is compiled with the flags; a program has checked calls only
# where the compiler knows a buffer's size (lintian's override says why
# sekora has none).
commands=$(grep '"command"' build/ci/compile_commands.json)
for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Werror=format-security; do
  check "every source compiled with $flag" [ "$(grep -cF -- " $flag " <<<"$commands")" = "$(wc -l <<<"$commands")" ]
done
check "checked calls in sekora-cli" bash -c "readelf -W --dyn-syms '${programs[1]}' | grep -q '__[a-z]*_chk'"
for program in "${programs[@]}"; do
  name=${program##*/}
  check "$name has no .comment section" bash -c "! readelf -S '$program' | grep -qF .comment"
  check "$name: position-independent" bash -c "readelf -h '$program' | grep -q 'Type: *DYN'"
  check "$name: read-only relocations" bash -c "readelf -l '$program' | grep -q GNU_RELRO"
  check "$name: bound at start-up" bash -c "readelf -d '$program' | grep -q 'FLAGS.*NOW'"
  check "$name: stack protector" bash -c "readelf -W --dyn-syms '$program' | grep -q __stack_chk_fail"
done

# The manual pages render and describe every option; the AppStream data and
# the desktop entry validate.
pages=()
for page in "$tree"/usr/share/man/man1/*.gz "$tree"/usr/share/man/ja/man1/*.gz; do
  gunzip -c "$page" >"${page%.gz}"
  pages+=("${page%.gz}")
done
check "manual pages" bash tests/docs/man_pages_test.sh build/ci/bin/sekora-cli "${pages[@]}"
check "AppStream metainfo validates" appstreamcli validate --no-net --pedantic \
  "$tree"/usr/share/metainfo/org.example.sekora.metainfo.xml
check "desktop entry validates" desktop-file-validate \
  "$tree"/usr/share/applications/org.example.sekora.desktop

# The same package from a second build in another folder. Its tests are
# left out: they are not packaged, and the first build has run them.
repro=build/ci-repro
cmake --preset ci -B "$repro" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$repro" -j"$(nproc)"
deb2=$(make_package "$repro")
if ! check "a second build in $repro gives the same package" cmp -s "$deb" "$deb2"; then
  dpkg-deb -x "$deb2" "$work/tree2"
  diff -r "$tree" "$work/tree2" | head -n 20 >&2 || true
fi

# Installing, running and removing need root.
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
home=$work/home
mkdir -p "$home"
check "sekora-cli on PATH" [ "$(command -v sekora-cli)" = /usr/bin/sekora-cli ]
check "the helper is not on PATH" bash -c "! command -v sekora-cli-sheet"
rows=$(HOME=$home env -u XDG_DATA_HOME sekora-cli --q 1.5 --l 20 | wc -l)
check "sekora-cli from PATH prints 66 rows" [ "$rows" = 66 ]
check "sekora-cli from PATH speaks English in the C locale" \
  bash -c "env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C sekora-cli --q x 2>&1 | grep -q 'the value of --q is not a number'"
check "Keisan.txt in the user folder" [ -f "$home/.local/share/sekora/Keisan.txt" ]
HOME=$home env -u XDG_DATA_HOME -u DISPLAY sekora-cli --q 1.5 --l 20 --sheet 8 \
  --out "$work/sheet.pdf" >/dev/null
check "sekora-cli draws a sheet through its helper" [ -s "$work/sheet.pdf" ]
check "menu entry installed" [ -f /usr/share/applications/org.example.sekora.desktop ]
check "sekora --version" [ "$(sekora --version)" = "sekora $(dpkg-deb -f "$deb" Version)" ]
check "man sekora-cli in English" \
  [ "$(man -L C -w sekora-cli)" = /usr/share/man/man1/sekora-cli.1.gz ]
check "man sekora-cli in Japanese" \
  [ "$(man -L ja -w sekora-cli)" = /usr/share/man/ja/man1/sekora-cli.1.gz ]
check "man sekora-cli renders in Japanese" bash -c "man -L ja sekora-cli 2>&1 | grep -q 函渠"
# bash-completion finds the completion where it looks, and it completes.
completed=$(bash -c 'source /usr/share/bash-completion/bash_completion
  __load_completion sekora-cli || exit 1
  COMP_WORDS=(sekora-cli --sha); COMP_CWORD=1; COMP_LINE="sekora-cli --sha"; COMP_POINT=16
  _sekora_cli sekora-cli --sha sekora-cli
  echo "${COMPREPLY[*]}"')
check "bash completes --sha to --shape" [ "$completed" = --shape ]

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get remove -y -qq sekora >/dev/null
check "removed from the package list" bash -c "! dpkg-query -W -f='\${Status}' sekora 2>/dev/null | grep -q 'ok installed'"
check "programs removed" bash -c "[ ! -e /usr/bin/sekora ] && [ ! -e /usr/bin/sekora-cli ]"
check "helper removed" [ ! -e /usr/libexec/sekora ]
check "data removed" [ ! -e /usr/share/sekora ]
check "menu entry removed" [ ! -e /usr/share/applications/org.example.sekora.desktop ]
check "manual pages removed" [ ! -e /usr/share/man/ja/man1/sekora-cli.1.gz ]

# Without the GUI and with the data in share/games: the installed
# sekora-cli finds its data there, and nothing of the desktop is installed.
nogui=build/cli-games
cmake -S . -B "$nogui" -DCMAKE_BUILD_TYPE=Release -DSEKORA_WERROR=ON -DSEKORA_BUILD_GUI=OFF \
  -DBUILD_TESTING=OFF -DCMAKE_INSTALL_DATADIR=share/games >/dev/null
cmake --build "$nogui" -j"$(nproc)"
check "command-line-only install in share/games" bash tests/install/install_test.sh "$nogui" \
  "$(dpkg-deb -f "$deb" Version)" OFF bin share/games/sekora libexec/sekora share share/man \
  org.example.sekora
exit "$failed"
