#!/usr/bin/env bash
# Installs what is missing and builds the Debian package of ZORBIK
# (build/package/zorbik_VERSION_ARCH.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing dpkg-dev file
cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DZORBIK_TESTS=OFF > /dev/null
cmake --build build/package -j"$(nproc)" --target package > /dev/null
ls build/package/zorbik_*.deb
