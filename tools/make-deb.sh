#!/usr/bin/env bash
# Builds the Debian package dist/quellix_VERSION_ARCH.deb with CPack, in a fresh build-deb/.
# Installs what is missing first (through tools/setup.sh, as root or with sudo), then builds a
# Release with Debian's hardening flags and the prefix /usr, so the game looks for its data in
# /usr/share/games/quellix. The package depends on the libraries dpkg-shlibdeps finds in the game
# and on fonts-play, whose fonts it links to.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-deb"

# dpkg-shlibdeps (dpkg-dev) computes the library dependencies; CPack finds the programs with file;
# gettext compiles the translations and merges them into the menu entry and the metainfo.
"$root/tools/install-missing.sh" dpkg-dev file gettext

eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
rm -rf "$build"
"$root/tools/setup.sh" build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUELLIX_TESTS=OFF -DQUELLIX_BENCH=OFF

(cd "$build" && cpack -G DEB)
mkdir -p "$root/dist"
deb="$(cd "$build" && ls quellix_*.deb)"
cp "$build/$deb" "$root/dist/$deb"
echo "Built dist/$deb"
