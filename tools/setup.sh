#!/usr/bin/env bash
# Shared set-up of play.sh and test.sh: installs the Debian packages the game needs when any is
# missing, then configures and builds with CMake. Usage: tools/setup.sh BUILD_DIR [CMAKE_ARGS...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"
shift

packages=(
  build-essential cmake pkg-config
  libsfml-dev libopenal-dev liblua5.2-dev libfreetype-dev gettext libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps libx11-dev libxtst-dev
  desktop-file-utils appstream
  librsvg2-bin librsvg2-common libpugixml-dev
  fonts-dejavu-core fonts-play
)

"$root/tools/install-missing.sh" "${packages[@]}"

cmake -S "$root" -B "$root/$build_dir" "$@"
cmake --build "$root/$build_dir" -j "$(nproc)"
