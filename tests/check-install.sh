#!/usr/bin/env bash
# Installs the built game into a scratch prefix with `cmake --install` and checks what lands
# there: the game, its data without any player's files, the font links to fonts-play, the menu
# entry, metainfo, icons at every size, the manual page and the package documents, and the
# translations: a catalogue per language, which the menu entry and the metainfo carry too.
# Usage: check-install.sh BUILD_DIR METAINFO_NAME "LANGUAGE..."
set -euo pipefail
build="$1"
metainfo="$2"
languages="$3"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null
data="$prefix/share/games/quellix"

for file in games/quellix share/applications/quellix.desktop "share/metainfo/$metainfo" \
  share/icons/hicolor/scalable/apps/quellix.svg share/man/man6/quellix.6.gz \
  share/doc/quellix/copyright share/doc/quellix/changelog.gz share/lintian/overrides/quellix \
  share/games/quellix/Installed.txt share/games/quellix/Levels/Level1.lua \
  share/games/quellix/Scripts/HUDElements.lua share/games/quellix/Images/Tank.png \
  share/games/quellix/Audio/MenuTheme.ogg; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/games/quellix" ] || fail "games/quellix cannot be run"
for folder in Images Audio Levels Scripts; do
  count=$(find "$data/$folder" -type f | wc -l)
  [ "$count" -gt 0 ] || fail "$folder is empty"
done
# Only the game's own files: no players, no half-made pictures, no test leftovers.
stray="$(find "$data" -name User -o -name '*.part' -o -name '.*' -o -name stderr.txt)"
[ -z "$stray" ] || fail "stray files installed: $stray"
for face in MenuTitle MenuButton; do
  link="$data/Fonts/$face.ttf"
  [ -L "$link" ] || fail "$face.ttf is not a link"
  case "$(readlink "$link")" in /*) fail "$face.ttf links by an absolute path" ;; esac
  [ "$(readlink -f "$link")" = "$(readlink -f "/usr/share/fonts/truetype/play/Play-$([ $face = MenuTitle ] && echo Bold || echo Regular).ttf")" ] \
    || fail "$face.ttf does not lead to fonts-play's file: $(readlink "$link")"
done
for size in 32 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/quellix.png"
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "$width x $height" = "$size x $size" ] || fail "the ${size}px icon is $width x $height"
done
grep -q 'xlink:href="Glyphs.svg' "$prefix/share/icons/hicolor/scalable/apps/quellix.svg" &&
  fail "the scalable icon still refers to Glyphs.svg"
desktop="$prefix/share/applications/quellix.desktop"
info="$prefix/share/metainfo/$metainfo"
grep -q '^Name\[de\]=' "$desktop" || fail "the menu entry has no German name (Name[de])"
grep -q '<translation type="gettext">quellix</translation>' "$info" ||
  fail "the metainfo does not say where its translations are"
for language in $languages; do
  [ -f "$prefix/share/locale/$language/LC_MESSAGES/quellix.mo" ] ||
    fail "the $language catalogue is not installed"
  grep -q "^Comment\[$language\]=" "$desktop" || fail "the menu entry has no $language comment"
  grep -q "<summary xml:lang=\"$language\">" "$info" || fail "the metainfo has no $language summary"
done
gzip -t "$prefix/share/man/man6/quellix.6.gz" || fail "the manual page is not gzip"
zcat "$prefix/share/man/man6/quellix.6.gz" | grep -q '@' && fail "the manual page has unfilled fields"
"$prefix/games/quellix" --version >/dev/null || fail "the installed game does not answer --version"

echo "$failures failures"
[ "$failures" -eq 0 ]
