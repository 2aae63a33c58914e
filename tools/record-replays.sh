#!/usr/bin/env bash
# Records again the runs of the shipped levels that the test suite replays (tests/replays/*.replay).
# A change meant to alter play (a level's layout, a speed, the automatic player) makes the suite's
# replays end differently from their recordings; once the change is right, this records them anew
# against the game as it now is. Review and commit the new files with the change.
#
#   tools/record-replays.sh [BUILD_DIR]     (default build; it builds the game first)
#
# The runs, all played by the automatic player:
#   level1-human.replay  level 1 at a person's pace: frames of uneven length, as a screen gives
#       them, late ones and the odd hitch (tests/human_pace.cpp); the first seed whose run clears
#       the level is kept;
#   demo-levels-1-3.replay  the demo at fixed steps through levels 1 to 3, as
#       quellix --demo --fixed-step --record FILE makes it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-build}"
"$root/tools/setup.sh" "$build_dir" >/dev/null
build="$root/$build_dir"

run() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x720x24 -noreset" "$@"
  else
    "$@"
  fi
}

# Everything is recorded aside first, so a failure leaves the old recordings as they were.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$root/data"
for level in 1; do
  recorded=
  for seed in $(seq 1 20); do
    if run "$build/tests/human_pace" "$level" "$scratch/level$level-human.replay" "$seed" 0 \
      2>/dev/null | grep -v '^Generated at'; then
      recorded=yes
      break
    fi
  done
  if [ -z "$recorded" ]; then
    echo "record-replays: no run of level $level cleared it; the old recordings are kept" >&2
    exit 1
  fi
done
if ! run "$build/quellix" --demo --fixed-step --exit-after-level 3 \
  --record "$scratch/demo-levels-1-3.replay" 2>/dev/null | grep -v '^Generated at'; then
  echo "record-replays: the demo did not clear levels 1 to 3; the old recordings are kept" >&2
  exit 1
fi
mkdir -p "$root/tests/replays"
for file in "$scratch"/*.replay; do
  install -m 644 "$file" "$root/tests/replays/"
done
echo "record-replays: tests/replays/ recorded anew"
