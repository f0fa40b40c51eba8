#!/usr/bin/env bash
# The benchmark. Builds a Release zorbik-convert of its own (build/bench),
# writes the benchmark sources into bench/work (about 1 GiB with the
# outputs) and times zorbik-convert against a plain copy of its output,
# the same conversion in Python with xlwt and in SheetJS.
#
#   bash bench/run.sh [RUNS]     RUNS: runs per figure, the median counts (7)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make python3 python3-xlrd python3-xlwt time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
command -v node > /dev/null && command -v npm > /dev/null || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[ -d bench/node_modules/xlsx ] || (cd bench && npm ci --no-audit --no-fund --silent)

echo "Building zorbik-convert (Release) in build/bench ..."
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DZORBIK_GUI=OFF -DZORBIK_TESTS=OFF > /dev/null
cmake --build build/bench -j2 --target zorbik-convert > /dev/null

echo "Writing the sources into bench/work ..."
/usr/bin/python3 bench/generate.py bench/work

echo "Measuring (this takes about a minute) ..."
exec /usr/bin/python3 bench/measure.py --convert build/bench/cli/zorbik-convert --work bench/work --runs "${1:-7}"
