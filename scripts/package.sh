#!/usr/bin/env bash
# Installs what is missing and builds the Debian package of ZORBIK:
#   bash scripts/package.sh          # a Release build in build/package
#   bash scripts/package.sh BUILD    # the package of an existing build folder
# Prints the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing dpkg-dev file
build=${1:-build/package}
if [ $# -eq 0 ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZORBIK_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j"$(nproc)" --target package > /dev/null
ls "$build"/zorbik_*.deb
