#!/usr/bin/env bash
# Builds a Release window_bench of its own (build/bench-window) and runs it
# on the offscreen platform; prints each figure as the median of its runs.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build/bench-window -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/bench-window -j2 --target window_bench > /dev/null
QT_QPA_PLATFORM=offscreen exec build/bench-window/bench/window/window_bench "$@"
