#!/usr/bin/env bash
# Installs what is missing, builds ZORBIK and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBIK_TESTS=OFF
cmake --build build/release -j"$(nproc)"
exec build/release/src/app/zorbik
