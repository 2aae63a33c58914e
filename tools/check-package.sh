#!/usr/bin/env bash
# Checks the built package as a player would meet it, on a fresh minimal Debian 12: makes a root
# with debootstrap (--variant=minbase), installs dist/quellix_*.deb there with apt-get, which must
# bring every library the game needs, then, as a normal user under Xvfb, starts `quellix` from the
# PATH, registers a name on the menu, starts play and quits with Escape. Passes when the players'
# files are in ~/.local/share/quellix/User and nothing was written below /usr.
#
# Needs root, debootstrap and a Debian mirror; not part of the test suite. Usage:
#   tools/check-package.sh [--root-tar FILE] [--mirror URL] [--keep DIR]
#     --root-tar FILE  start from a tar of a minimal bookworm root instead of running debootstrap
#     --mirror URL     the mirror for debootstrap (default http://deb.debian.org/debian)
#     --keep DIR       build the root in DIR and leave it there (default: a temporary folder)
# Screenshots of the menu and of play are left in dist/check/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
root_tar=""
mirror="http://deb.debian.org/debian"
keep=""
while [ $# -gt 0 ]; do
  case "$1" in
    --root-tar) root_tar="$2"; shift 2 ;;
    --mirror) mirror="$2"; shift 2 ;;
    --keep) keep="$2"; shift 2 ;;
    *) echo "usage: $0 [--root-tar FILE] [--mirror URL] [--keep DIR]" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "check-package.sh needs root (debootstrap, chroot)" >&2; exit 2; }
shopt -s nullglob
debs=("$root"/dist/quellix_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one dist/quellix_*.deb (tools/make-deb.sh makes it)" >&2; exit 2; }
deb="${debs[0]}"

passed=0
failed=0
check() { # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then
    echo "PASS: $what"
    passed=$((passed + 1))
  else
    echo "FAIL: $what"
    failed=$((failed + 1))
  fi
}

if [ -n "$keep" ]; then
  chroot_dir="$keep"
  mkdir -p "$chroot_dir"
else
  chroot_dir="$(mktemp -d /var/tmp/quellix-check.XXXXXX)"
fi
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[$i]}" 2>/dev/null || true
  done
  [ -n "$keep" ] || rm -rf --one-file-system "$chroot_dir"
}
trap cleanup EXIT

echo "== Making a minimal Debian 12 root in $chroot_dir"
if [ -n "$root_tar" ]; then
  tar -C "$chroot_dir" -xf "$root_tar"
else
  "$root/tools/install-missing.sh" debootstrap
  debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror" >/dev/null
fi
for fs in proc sys dev dev/pts; do
  mkdir -p "$chroot_dir/$fs"
  mount --bind "/$fs" "$chroot_dir/$fs"
  mounted+=("$chroot_dir/$fs")
done
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
in_root() { chroot "$chroot_dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  DEBIAN_FRONTEND=noninteractive "$@"; }
as_player() { chroot "$chroot_dir" runuser -l player -c "$1"; }

echo "== Installing $(basename "$deb") with apt-get"
cp "$deb" "$chroot_dir/tmp/"
in_root apt-get update -q >/dev/null
in_root apt-get install -y -q "/tmp/$(basename "$deb")" >"$chroot_dir/tmp/apt.log" 2>&1 ||
  { cat "$chroot_dir/tmp/apt.log"; exit 1; }
echo "apt-get set up $(grep -c '^Setting up' "$chroot_dir/tmp/apt.log") packages:" \
  "$(sed -n 's/^Setting up \([^: ]*\).*/\1/p' "$chroot_dir/tmp/apt.log" | sort | tr '\n' ' ')"
check "the game is installed at /usr/games/quellix" test -x "$chroot_dir/usr/games/quellix"
missing="$(in_root ldd /usr/games/quellix | grep 'not found' || true)"
[ -z "$missing" ] || echo "$missing"
check "every library the game links to was installed with it" test -z "$missing"
check "the font links lead to the files of fonts-play" \
  in_root test -f /usr/share/games/quellix/Fonts/MenuTitle.ttf -a -f /usr/share/games/quellix/Fonts/MenuButton.ttf

# The tools that play the game; installed before the stamp, so they do not count as writes.
in_root apt-get install -y -q --no-install-recommends xvfb xauth xdotool x11-apps >/dev/null 2>&1
in_root useradd -m -s /bin/bash player
sleep 1
touch "$chroot_dir/tmp/before-play"
sleep 1

check "a normal user finds quellix on the PATH" \
  test "$(as_player 'command -v quellix')" = /usr/games/quellix
version="$(as_player 'quellix --version')"
echo "quellix --version: $version"
check "--version answers" test "$version" = "Quellix $(dpkg-deb -f "$deb" Version)"

cat >"$chroot_dir/tmp/play.sh" <<'EOF'
#!/bin/bash
# Plays as the user: title, name page, a name, Play, a moment of play, Escape.
users="$HOME/.local/share/quellix/User"
quellix 2>/tmp/quellix-stderr.txt &
game=$!
timeout 30 xdotool search --sync --onlyvisible --name Gravelmoth >/dev/null || exit 10
xdotool search --name Gravelmoth windowfocus --sync
for _ in $(seq 100); do [ -d "$users" ] && break; xdotool key shift; sleep 0.2; done
sleep 1.5
xwd -root -silent -out /tmp/name-page.xwd
xdotool mousemove 450 216 click 1
sleep 0.5
xdotool type --delay 80 Player
xdotool key Return
for _ in $(seq 50); do [ -f "$users/Player.bin" ] && break; sleep 0.2; done
sleep 1
xwd -root -silent -out /tmp/welcome.xwd
xdotool mousemove 640 350 click 1
sleep 3
xdotool keydown Right; sleep 0.8; xdotool keyup Right
sleep 0.5
xwd -root -silent -out /tmp/play.xwd
xdotool key Escape
wait $game
EOF
chmod 755 "$chroot_dir/tmp/play.sh"
# A display number no X server of this machine uses (the root shares the machine's sockets).
display=150
while [ -e "/tmp/.X$display-lock" ] || grep -q "X11-unix/X$display\$" /proc/net/unix; do
  display=$((display + 1))
done
echo "== Playing as the user 'player' under Xvfb (display :$display)"
status=0
as_player "xvfb-run -n $display -s '-screen 0 1280x720x24 -noreset' /tmp/play.sh" || status=$?
errors="$chroot_dir/tmp/quellix-stderr.txt"
echo "the game's error stream ($(wc -l <"$errors") lines; the first 12):"
head -n 12 "$errors" | sed 's/^/  | /'
check "the game ended with status 0 after Escape (status $status)" test "$status" -eq 0
users="$chroot_dir/home/player/.local/share/quellix/User"
check "the list of players is ~/.local/share/quellix/User/UserData.bin, naming Player" \
  test "$(cat "$users/UserData.bin" 2>/dev/null)" = "Player"
check "the player's file is ~/.local/share/quellix/User/Player.bin with a new player's values" \
  test "$(cat "$users/Player.bin" 2>/dev/null)" = "$(printf '5\n0\n1\n1')"
written="$(find "$chroot_dir/usr" -newer "$chroot_dir/tmp/before-play" 2>/dev/null || true)"
[ -z "$written" ] || echo "$written"
check "nothing was written below /usr" test -z "$written"
check "no players' folder in the installed data" test ! -e "$chroot_dir/usr/share/games/quellix/User"

mkdir -p "$root/dist/check"
cp "$chroot_dir"/tmp/*.xwd "$root/dist/check/" 2>/dev/null || true
echo "screenshots (xwd): dist/check/"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
