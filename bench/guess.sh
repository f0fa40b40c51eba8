#!/usr/bin/env bash
# The finder's benchmark: scores `zorbik-convert --guess` on the evaluation
# corpus of two seeds (seed 1 is the one the finder was tuned on, seed 2 was
# kept apart) and times it on a 10 MiB and a 2 GiB source, which it writes
# into bench/work (git-ignored; about 2 GiB of free space needed while it
# runs) and removes afterwards.
#
#   bash bench/guess.sh [RUNS]     RUNS: runs per time, the median counts (7)
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh
zorbik_install_missing python3 shapelib util-linux time gnucobol3

echo "Building zorbik-convert (Release) in build/bench ..."
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DZORBIK_GUI=OFF -DZORBIK_TESTS=OFF > /dev/null
cmake --build build/bench -j2 --target zorbik-convert > /dev/null
convert=build/bench/cli/zorbik-convert

for seed in 1 2; do
  /usr/bin/python3 bench/guess_corpus.py --convert "$convert" --seed "$seed"
done
exec /usr/bin/python3 bench/guess_speed.py --convert "$convert" --work bench/work --runs "${1:-7}"
