# Shared by the sekora-cli end-to-end scripts, which source it after setting
# `cli` (the tool) and `data` (the shipped data folder). SEKORA_RUNNER, when
# set, runs a tool built for another system (wine64 for a Windows build).
runner=${SEKORA_RUNNER:-}
# The checks read the tool's messages in Japanese, the language of every
# locale but C and English ones. (A Windows build, which has no English
# messages, runs in Wine's own locale.)
if [ -z "$runner" ]; then
  unset LC_ALL LC_MESSAGES LANGUAGE
  export LANG=ja_JP.UTF-8
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

# run ARGS...: runs the tool without a display, leaving its output, errors
# and status in files.
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY $runner "$cli" "$@" >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
}
status() { cat "$work/status"; }
err_has() { grep -qF -- "$1" "$work/err"; }

# finish TITLE: the closing count line and the script's status.
finish() {
  echo "$1: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}

# header_clear PDF: on every page the topmost line of words (the header)
# stands wholly above every other word, so nothing is printed over it.
header_clear() {
  pdftotext -bbox "$1" - | awk -F'"' '
    function check() {
      bottom = 0
      for (i = 1; i <= n; i++) if (tops[i] < header + 1 && bottoms[i] > bottom) bottom = bottoms[i]
      for (i = 1; i <= n; i++) if (tops[i] >= header + 1 && tops[i] < bottom) bad++
    }
    /<page / { if (pages++) check(); n = 0; header = 1e9 }
    /<word / { n++; tops[n] = $4 + 0; bottoms[n] = $8 + 0; if ($4 + 0 < header) header = $4 + 0 }
    END { if (pages) check(); exit (bad > 0 || pages == 0) }'
}
