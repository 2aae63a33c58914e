#!/usr/bin/env bash
# The build's check of a language's catalogue (cmake/CheckCatalogue.cmake) passes a complete one
# and fails one that leaves a text out, leaves it untranslated or fuzzy, or breaks a placeholder,
# without leaving a compiled catalogue behind.
# Usage: check-catalogue.sh CMAKE MSGCMP MSGFMT CHECK_SCRIPT POT PO
set -uo pipefail
cmake="$1" msgcmp="$2" msgfmt="$3" script="$4" pot="$5" po="$6"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
mo="$scratch/out/LC_MESSAGES/quellix.mo"

check() {
  rm -f "$mo"
  "$cmake" -DMSGCMP="$msgcmp" -DMSGFMT="$msgfmt" -DPO="$1" -DPOT="$pot" -DMO="$mo" \
    -P "$script" >"$scratch/log" 2>&1
}

check "$po" || { echo "FAIL: the complete catalogue is refused:"; cat "$scratch/log"; failures=$((failures + 1)); }
[ -f "$mo" ] || { echo "FAIL: the complete catalogue is not compiled"; failures=$((failures + 1)); }

# Each a copy of the catalogue with one fault, on the entry of "Play" or of "Level %d".
awk -v RS= -v ORS='\n\n' '!/(^|\n)msgid "Play"\n/' "$po" >"$scratch/left-out.po"
sed '/^msgid "Play"$/{n;s/^msgstr .*/msgstr ""/}' "$po" >"$scratch/untranslated.po"
sed 's/^msgid "Play"$/#, fuzzy\nmsgid "Play"/' "$po" >"$scratch/fuzzy.po"
sed '/^msgid "Level %d"$/{n;s/%d/%s/}' "$po" >"$scratch/placeholder.po"
for fault in left-out untranslated fuzzy placeholder; do
  if cmp -s "$po" "$scratch/$fault.po"; then
    echo "FAIL: the $fault copy has no fault (is \"Play\" or \"Level %d\" still a text of the game?)"
    failures=$((failures + 1))
  elif check "$scratch/$fault.po"; then
    echo "FAIL: a catalogue with a $fault text passes"
    failures=$((failures + 1))
  elif [ -f "$mo" ]; then
    echo "FAIL: a catalogue with a $fault text is compiled anyway"
    failures=$((failures + 1))
  fi
done
echo "$failures failures"
[ "$failures" -eq 0 ]
