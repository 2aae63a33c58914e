#!/usr/bin/env bash
# Shared set-up of play.sh and test.sh: installs the Debian packages the game needs when any is
# missing, then configures and builds with CMake. Usage: tools/setup.sh BUILD_DIR [CMAKE_ARGS...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"
shift

packages=(
  build-essential cmake pkg-config
  libsfml-dev liblua5.2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps libx11-dev
  librsvg2-bin
  fonts-dejavu-core fonts-play
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
  fi
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$root/$build_dir" "$@"
cmake --build "$root/$build_dir" -j "$(nproc)"
