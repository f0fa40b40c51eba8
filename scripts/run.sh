#!/usr/bin/env bash
# Installs what is missing, builds ZORBIK and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBIK_TESTS=OFF
cmake --build build/run -j"$(nproc)"
exec build/run/src/app/zorbik
