#!/usr/bin/env bash
# Installs what is missing, builds ZORBIK and starts the window: with the
# sample table and its marks, or with the FILE [MARKS] given.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBIK_TESTS=OFF
cmake --build build/run -j"$(nproc)"
# Without arguments, the sample table opens with its marks.
[ $# -gt 0 ] || set -- resources/sample/customers.dat resources/sample/customers.zlayout
exec build/run/src/app/zorbik "$@"
