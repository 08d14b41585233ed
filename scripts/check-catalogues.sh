#!/usr/bin/env bash
# Fails when a catalogue in po/ is no valid .po file (its access keys
# included), or lacks the translation of a text that the program marks for
# translation with N_: every text is in every language.
set -euo pipefail
cd "$(dirname "$0")/.."
pot=$(mktemp --suffix=.pot)
trap 'rm -f "$pot"' EXIT
mapfile -t sources < <(find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
# Only N_ marks a text; "\r" stands in a text that shows two lines in a box.
xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=N_ \
  -o "$pot" "${sources[@]}" 2> >(grep -v "should not contain the '\\\\r'" >&2)
shopt -s nullglob
catalogues=(po/*.po)
[ ${#catalogues[@]} -gt 0 ] || { echo "no catalogue in po/" >&2; exit 1; }
for po in "${catalogues[@]}"; do
  msgfmt --check --check-accelerators='&' -o /dev/null "$po"
  msgcmp "$po" "$pot"
done
echo "${#catalogues[@]} catalogue(s) hold all $(( $(grep -c '^msgid ' "$pot") - 1 )) texts"
