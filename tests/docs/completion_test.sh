#!/usr/bin/env bash
# The bash completion of sekora-cli, as bash-completion loads it: options
# (every one that --help names), the values of --shape, and files by
# extension for --batch, --out and --report.
# Usage: completion_test.sh COMPLETION_FILE SEKORA_CLI
set -u
completion=$1
cli=$2
bash_completion=/usr/share/bash-completion/bash_completion
[ -f "$bash_completion" ] || { echo "skipped: bash-completion is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

# complete WORDS...: what completing the last word of `sekora-cli WORDS...`
# offers, one per line, sorted.
complete_words() {
  bash -c '
    source "$1"
    source "$2"
    shift 2
    COMP_WORDS=(sekora-cli "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    _sekora_cli sekora-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}"' completion "$bash_completion" "$completion" "$@" |
    sort
}

check "--sha completes to --shape" [ "$(complete_words --sha)" = --shape ]
check "--shape values" [ "$(complete_words --shape '')" = "$(printf 'both\nbox\npipe')" ]
check "--shape b" [ "$(complete_words --shape b)" = "$(printf 'both\nbox')" ]
for option in $("$cli" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u); do
  check "$option completes" grep -qx -- "$option" <<<"$(complete_words "$option")"
done

cd "$work" || exit 1
mkdir folder
touch table.csv notes.txt sheet.pdf sheet.png sheet.svg
check "--batch offers tables" [ "$(complete_words --batch '')" = "$(printf 'folder\ntable.csv')" ]
check "--report offers PDFs" [ "$(complete_words --batch table.csv --report '')" = \
  "$(printf 'folder\nsheet.pdf')" ]
check "--out offers sheet files" [ "$(complete_words --q 1 --l 2 --sheet 1 --out '')" = \
  "$(printf 'folder\nsheet.pdf\nsheet.png\nsheet.svg')" ]
check "--out with --batch offers tables" [ "$(complete_words --batch table.csv --out '')" = \
  "$(printf 'folder\ntable.csv')" ]
check "--dir offers folders" [ "$(complete_words --dir '')" = "folder" ]

echo "completion: $passed passed, $failed failed"
[ "$failed" = 0 ]
