#!/usr/bin/env bash
# The manual pages render with man without a warning, and every option that
# `sekora-cli --help` names is described in each page of sekora-cli (English
# and Japanese). Usage: man_pages_test.sh SEKORA_CLI PAGE...
set -u
cli=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

"$cli" --help >"$work/help"
options=$(grep -o -- '--[a-z][a-z0-9-]*' "$work/help" | sort -u)
check "--help names options" [ "$(wc -w <<<"$options")" -ge 20 ]

for page in "$@"; do
  name=${page#"${page%/*/*/*}/"}
  # Wide lines, so that no option is broken at a line's end.
  MANWIDTH=250 man --warnings -E UTF-8 -l "$page" >"$work/text" 2>"$work/warnings"
  check "$name renders" [ $? = 0 ]
  check "$name renders without a warning" [ ! -s "$work/warnings" ]
  [ -s "$work/warnings" ] && cat "$work/warnings" >&2
  if [[ $page == */sekora-cli.1 ]]; then
    for option in $options; do
      check "$name describes $option" grep -qE -- "(^|[^a-z-])$option([^a-z0-9-]|\$)" "$work/text"
    done
    check "$name lists exit status 2" grep -qE '^ +2 ' "$work/text"
    check "$name describes XDG_DATA_HOME" grep -q 'XDG_DATA_HOME' "$work/text"
    for column in name z1 z2 alpha box_ratio circle_ratio shape; do
      check "$name describes the batch table's column $column" grep -qw "$column" "$work/text"
    done
  else
    check "$name describes --version" grep -qE -- '--version' "$work/text"
  fi
done

echo "man pages: $passed passed, $failed failed"
[ "$failed" = 0 ]
