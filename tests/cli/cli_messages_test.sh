#!/usr/bin/env bash
# sekora-cli's messages and --help by locale: English in the C locale and in
# English locales, Japanese in any other, as gettext chooses; results, files
# and sheets the same in every locale, a decimal-comma one included.
# Usage: cli_messages_test.sh SEKORA_CLI DATA_DIR
set -u
cli=$1
data=$2
source "$(dirname "$0")/cli_checks.sh"

# in_locale VARIABLE=VALUE... -- ARGS...: runs the tool in that environment
# only (the language variables of the caller are dropped).
in_locale() {
  local settings=()
  while [ "$1" != -- ]; do settings+=("$1"); shift; done
  shift
  env -u LC_ALL -u LC_MESSAGES -u LANG -u LANGUAGE -u DISPLAY "${settings[@]}" \
    $runner "$cli" "$@" >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
}
lacks_japanese() { ! LC_ALL=C.UTF-8 grep -qP '[\x{3000}-\x{9FFF}\x{FF00}-\x{FFEF}]' "$1"; }

# A command line without --l, in each kind of locale.
english=("LANG=C" "LANG=POSIX" "LANG=C.UTF-8" "LANG=en_US.UTF-8" "LC_ALL=C LANG=ja_JP.UTF-8"
  "LANG=ja_JP.UTF-8 LANGUAGE=en" "LC_MESSAGES=en_GB.UTF-8 LANG=ja_JP.UTF-8")
japanese=("LANG=ja_JP.UTF-8" "LANG=de_DE.UTF-8" "LANG=en_US.UTF-8 LANGUAGE=ja")
for settings in "${english[@]}"; do
  # shellcheck disable=SC2086 # the settings are words
  in_locale $settings -- --q 1.5
  check "$settings: the error in English" grep -qx -- 'sekora-cli: give --l, the culvert length; see sekora-cli --help' \
    "$work/err"
done
for settings in "${japanese[@]}"; do
  # shellcheck disable=SC2086
  in_locale $settings -- --q 1.5
  check "$settings: the error in Japanese" grep -qx -- \
    'sekora-cli: --l（延長）を指定してください（sekora-cli --help で使い方を表示します）' "$work/err"
done

# --help: the same options in both languages.
in_locale LANG=C -- --help
cp "$work/out" "$work/help-en"
check "--help in English" grep -q '^Usage:' "$work/help-en"
check "--help in English holds no Japanese" lacks_japanese "$work/help-en"
in_locale LANG=ja_JP.UTF-8 -- --help
cp "$work/out" "$work/help-ja"
check "--help in Japanese" grep -q '^使い方:' "$work/help-ja"
options() { grep -o -- '--[a-z][a-z0-9-]*' "$1" | sort -u; }
check "--help names the same options in both languages" \
  [ "$(options "$work/help-en")" = "$(options "$work/help-ja")" ]
check "--help names every option" [ "$(options "$work/help-en" | wc -l)" -ge 22 ]

# The results in every locale. A German locale, compiled here when the
# system has its sources, writes numbers with a decimal comma wherever a
# program lets the locale format them.
locales=$work/locales
mkdir -p "$locales"
german=(LANG=de_DE.UTF-8)
if localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8" 2>/dev/null; then
  german+=(LOCPATH="$locales")
fi
mkdir -p "$work/d"
cp "$data/BOX.TXT" "$data/KAN.TXT" "$data"/*.wmf "$work/d/"
printf 'name,q,l\nA,1.5,20\nB,0.8,12\n' >"$work/table.csv"
results() {  # results NAME SETTINGS...: runs every output in that locale into $work/NAME
  local name=$1
  shift
  mkdir -p "$work/$name"
  in_locale "$@" -- --q 1.5 --l 20 --z1 0.25 --dir "$work/d"
  cp "$work/out" "$work/$name/rows"
  cp "$work/d/Keisan.txt" "$work/$name/Keisan.txt"
  in_locale "$@" -- --q 1.5 --l 20 --z1 0.25 --dir "$work/d" --json
  cp "$work/out" "$work/$name/json"
  in_locale "$@" -- --batch "$work/table.csv" --dir "$work/d" --out "$work/$name/batch.csv"
  cp "$work/out" "$work/$name/batch"
  if [ -z "$runner" ] && [ -x "$(dirname "$cli")/sekora-cli-sheet" ]; then
    in_locale "$@" -- --q 1.5 --l 20 --z1 0.25 --dir "$work/d" --sheet 8 --out "$work/$name/sheet.svg"
    in_locale "$@" -- --q 1.5 --l 20 --z1 0.25 --dir "$work/d" --sheet 8 --out "$work/$name/sheet.png"
    # A refused row: the helper's message, after Qt has set the locale.
    in_locale "$@" -- --q 1.5 --l 20 --dir "$work/d" --sheet 1 --out "$work/$name/refused.pdf"
    cp "$work/err" "$work/$name/refused"
  fi
}
results c LANG=C
results ja LANG=ja_JP.UTF-8
results de "${german[@]}"
for file in rows Keisan.txt json batch batch.csv sheet.svg sheet.png; do
  [ -e "$work/c/$file" ] || continue
  check "$file is the same in every locale" \
    bash -c "cmp -s '$work/c/$file' '$work/ja/$file' && cmp -s '$work/c/$file' '$work/de/$file'"
done
if [ -e "$work/c/refused" ]; then
  check "the helper's message in English" \
    grep -qx 'sekora-cli: no sheet for rows whose calculation failed: 1' "$work/c/refused"
  check "the helper's message in Japanese" \
    grep -qx 'sekora-cli: 計算結果がエラーの為表示できません（行 1）' "$work/ja/refused"
fi

finish "messages"
