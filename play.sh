#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quellix; options go to the game (--windowed...).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/tools/setup.sh" build -DCMAKE_BUILD_TYPE=Release
cd "$root/data"
exec "$root/build/quellix" "$@"
