#!/usr/bin/env bash
# The benchmark. Times the record loop on memory (build/recordloop), then
# builds a Release zorbik-convert of its own (build/bench),
# writes the benchmark sources into bench/work (about 1 GiB with the
# outputs) and times zorbik-convert against a plain copy of its output,
# the same conversion in Python with xlwt and in SheetJS; then the .csv,
# .xlsx and .sqlite targets on a million records against Python's csv,
# SheetJS, openpyxl and sqlite3's importer (bench/formats.py: about 2 GiB
# of free space, and about 20 minutes with 7 runs).
#
#   bash bench/run.sh [RUNS]     RUNS: runs per figure, the median counts (7)
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh
zorbik_install_missing python3 python3-xlrd python3-xlwt python3-openpyxl sqlite3 time
# Node.js may come from elsewhere than Debian: ask for the commands.
node_missing=()
command -v node > /dev/null || node_missing+=(nodejs)
command -v npm > /dev/null || node_missing+=(npm)
zorbik_apt_install "${node_missing[@]}"
[ -d bench/node_modules/xlsx ] || (cd bench && npm ci --no-audit --no-fund --silent)

echo "Building zorbik-convert (Release) in build/bench ..."
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DZORBIK_GUI=OFF -DZORBIK_TESTS=OFF > /dev/null
cmake --build build/bench -j2 --target zorbik-convert > /dev/null

echo "Timing the record loop and the marked-row search on memory (build/recordloop) ..."
cmake -S bench/recordloop -B build/recordloop -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/recordloop -j2 > /dev/null
build/recordloop/recordloop || echo "(a goal was missed; on a busy machine the ratios move)"

echo "Writing the sources into bench/work ..."
/usr/bin/python3 bench/generate.py bench/work

echo "Measuring (this takes about a minute) ..."
/usr/bin/python3 bench/measure.py --convert build/bench/cli/zorbik-convert --work bench/work --runs "${1:-7}"

echo "Far-apart fields and the preview (2 GiB sparse sources) ..."
/usr/bin/python3 bench/features.py --convert build/bench/cli/zorbik-convert --work bench/work --runs "${1:-7}"

echo "The target formats on 1,000,000 records ..."
exec /usr/bin/python3 bench/formats.py --convert build/bench/cli/zorbik-convert --work bench/work --runs "${1:-7}"
