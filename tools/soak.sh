#!/usr/bin/env bash
# Soak test: plays the real game for a long while with random input and watches its memory.
#
#   tools/soak.sh [SECONDS]          (default 600; not part of CI)
#
# Needs a built game (build/quellix, or the binary named by $QUELLIX_BIN) and Xvfb and xdotool;
# it builds nothing. It runs the game under its own virtual display, in a scratch copy of data/
# with one registered player, gets into play (a key ends the title, a click on "Play"), then
# holds random arrow keys for random times and now and then clicks somewhere. Escape is never
# sent; when the program ends anyway (game over ends it with status 0) it is started again and
# played on. Every few seconds it reads the game's resident memory (VmRSS).
#
# At the end it prints the mean resident size of the first and the last minute, the number of
# restarts and crashes (an exit status other than 0, or a signal), and exits with 1 on any crash
# or when the last minute's mean exceeds the first minute's by more than 20 %.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
duration="${1:-600}"
binary="${QUELLIX_BIN:-$root/build/quellix}"
sample_every=3 # seconds between memory samples
window=60      # seconds averaged at the start and at the end
width=1280 height=720

if ! [[ "$duration" =~ ^[0-9]+$ ]] || [ "$duration" -lt 1 ]; then
  echo "usage: tools/soak.sh [SECONDS]" >&2
  exit 2
fi
if [ ! -x "$binary" ]; then
  echo "soak: $binary does not exist; build the game first (./play.sh or ./test.sh)" >&2
  exit 2
fi
for tool in Xvfb xdotool xwd; do
  if ! command -v "$tool" >/dev/null; then
    echo "soak: $tool is needed (Debian packages xvfb, xdotool, x11-apps)" >&2
    exit 2
  fi
done

scratch="$(mktemp -d /tmp/quellix-soak.XXXXXX)"
xvfb_pid="" game_pid=""
crashes=0 game_overs=0 restarts=0 keep_scratch=0

# shellcheck disable=SC2317 # run by the trap
cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  if [ "$keep_scratch" = 1 ]; then
    echo "soak: the game's folder and error logs are kept in $scratch"
  else
    rm -rf "$scratch"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The game's folder: the built data without anyone's saves, and one registered player.
mkdir -p "$scratch/game"
for entry in "$root/data"/*; do
  [ "$(basename "$entry")" = User ] || cp -r "$entry" "$scratch/game/"
done
mkdir -p "$scratch/game/User"
printf 'Soak\n' >"$scratch/game/User/UserData.bin"
printf '5\n0\n1\n1' >"$scratch/game/User/Soak.bin"

# A display of our own; Xvfb picks a free number and tells it through the file.
Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$scratch/display" \
  >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
if [ ! -s "$scratch/display" ]; then
  echo "soak: Xvfb did not start" >&2
  exit 1
fi
DISPLAY=":$(head -n 1 "$scratch/display")"
export DISPLAY

now_ms() { echo $(($(date +%s%N) / 1000000)); }
elapsed_ms() { echo $(($(now_ms) - started)); }
xdo() { xdotool "$@" >/dev/null 2>&1; }
screen_sum() { xwd -root -silent 2>/dev/null | md5sum | cut -d' ' -f1; }

# The menu is the only screen where a pointer over "Play" changes the picture and moving it away
# brings the same picture back: the title fades, the loading screen ignores the pointer, and the
# game moves by itself.
in_menu() {
  xdo mousemove 1 1
  sleep 0.15
  local away over back
  away="$(screen_sum)"
  xdo mousemove $((width / 2)) 350
  sleep 0.15
  over="$(screen_sum)"
  xdo mousemove 1 1
  sleep 0.15
  back="$(screen_sum)"
  [ "$away" = "$back" ] && [ "$away" != "$over" ]
}

start_game() {
  (cd "$scratch/game" && exec env ALSOFT_CONF="$root/tests/openal-null.conf" "$binary") \
    2>>"$scratch/stderr.txt" &
  game_pid=$!
  if ! timeout 30 xdotool search --sync --onlyvisible --name Gravelmoth >/dev/null 2>&1; then
    echo "soak: the game's window did not appear" >&2
    kill -0 "$game_pid" 2>/dev/null || reap
    return 1
  fi
  xdo search --name Gravelmoth windowfocus --sync
  local deadline=$(($(date +%s) + 60))
  while [ "$(date +%s)" -lt "$deadline" ] && kill -0 "$game_pid" 2>/dev/null; do
    xdo key shift
    if in_menu; then
      xdo mousemove $((width / 2)) 350 click 1 mousemove 1 1
      sleep 0.5
      if ! in_menu; then
        return 0
      fi
    fi
  done
  echo "soak: could not get into the game" >&2
  kill -0 "$game_pid" 2>/dev/null || reap
  return 1
}

# Called once the game is no longer running: counts how it ended.
reap() {
  wait "$game_pid"
  local status=$?
  game_pid=""
  if [ "$status" -eq 0 ]; then
    game_overs=$((game_overs + 1))
    echo "soak: $(($(elapsed_ms) / 1000)) s: the game ended by itself (game over)"
  else
    crashes=$((crashes + 1))
    keep_scratch=1
    echo "soak: $(($(elapsed_ms) / 1000)) s: the game crashed (status $status)" >&2
    tail -n 20 "$scratch/stderr.txt" >&2
  fi
}

sample_memory() {
  local kb
  kb="$(awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null)"
  [ -n "$kb" ] && echo "$(elapsed_ms) $kb" >>"$scratch/rss.txt"
}

echo "soak: $duration s of random play on display $DISPLAY with $binary"
: >"$scratch/rss.txt"
started="$(now_ms)"
start_game || exit 1
started="$(now_ms)"
next_sample=0
stuck=0
keys=(Left Right Up Down)
while [ "$(elapsed_ms)" -lt $((duration * 1000)) ]; do
  if ! kill -0 "$game_pid" 2>/dev/null; then
    reap
    restarts=$((restarts + 1))
    echo "soak: starting the game again"
    if ! start_game; then
      stuck=1
      break
    fi
    continue
  fi
  if [ "$(elapsed_ms)" -ge "$next_sample" ]; then
    sample_memory
    next_sample=$(($(elapsed_ms) + sample_every * 1000))
  fi
  if [ $((RANDOM % 8)) -eq 0 ]; then
    xdo mousemove $((RANDOM % width)) $((RANDOM % height)) click 1
  else
    key="${keys[RANDOM % ${#keys[@]}]}"
    xdo keydown "$key"
    sleep "$(printf '0.%03d' $((50 + RANDOM % 900)))"
    xdo keyup "$key"
  fi
done
if [ "$stuck" -eq 0 ]; then
  if kill -0 "$game_pid" 2>/dev/null; then
    sample_memory
  else
    reap
  fi
fi

# Mean resident size of the samples in [from, to) milliseconds, in KiB.
mean_rss() {
  awk -v from="$1" -v to="$2" '$1 >= from && $1 < to { sum += $2; n++ }
    END { if (n) printf "%.0f %d\n", sum / n, n; else print "0 0" }' "$scratch/rss.txt"
}
end="$(elapsed_ms)"
read -r first first_n < <(mean_rss 0 $((window * 1000)))
read -r last last_n < <(mean_rss $((end - window * 1000)) $((end + 1)))

echo "soak: ran $((end / 1000)) s, $(wc -l <"$scratch/rss.txt") memory samples"
echo "soak: first minute mean VmRSS: $((first / 1024)) MiB ($first KiB, $first_n samples)"
echo "soak: last minute mean VmRSS:  $((last / 1024)) MiB ($last KiB, $last_n samples)"
echo "soak: restarts: $restarts (after $game_overs game over(s) and $crashes crash(es))"

failed=0
if [ "$stuck" -eq 1 ]; then
  echo "soak: FAILED: after a restart the game could not be played again"
  failed=1
fi
if [ "$crashes" -gt 0 ]; then
  echo "soak: FAILED: the game crashed $crashes time(s)"
  failed=1
fi
if [ "$first_n" -eq 0 ] || [ "$last_n" -eq 0 ]; then
  echo "soak: FAILED: no memory samples"
  failed=1
elif [ $((last * 100)) -gt $((first * 120)) ]; then
  echo "soak: FAILED: the last minute's memory is more than 20 % above the first minute's"
  failed=1
fi
[ "$failed" -eq 0 ] && echo "soak: passed"
exit "$failed"
