#!/usr/bin/env bash
# Builds the core, zorbik-convert and their tests for another system and runs
# the tests there through CTest's emulator:
#   bash scripts/cross.sh windows   # MinGW-w64, tests under Wine
#   bash scripts/cross.sh arm64     # aarch64 Linux, tests under qemu-aarch64
# Installs the cross compiler and the emulator when they are missing. The
# build is build/windows or build/arm64; the tests that need Linux itself
# (FIFOs, /dev, a file size limit, file descriptors) are left out there.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
# Debian has no MinGW builds of libxlsxwriter and SQLite: the Windows build
# writes .xls and CSV only.
case "${1:-}" in
  windows) toolchain=mingw-w64-x86_64; packages=(g++-mingw-w64-x86-64-posix wine wine64); formats=OFF ;;
  arm64) toolchain=aarch64-linux-gnu; packages=(g++-aarch64-linux-gnu qemu-user); formats=OFF ;;
  *) echo "usage: cross.sh windows|arm64" >&2; exit 2 ;;
esac
zorbik_install_missing googletest python3-xlrd "${packages[@]}"
build="build/$1"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$toolchain.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZORBIK_GUI=OFF -DZORBIK_WERROR=ON -DZORBIK_LIBRARY_FORMATS="$formats" > /dev/null
if [ "$1" = windows ]; then
  # The Wine server of the build's prefix (cmake/wine-run.sh) ends with the stage.
  trap 'WINEPREFIX="$PWD/$build/wine" wineserver -k 2> /dev/null || true' EXIT
fi
cmake --build "$build" -j"$(nproc)"
# The slow peer readers (LibreOffice, SheetJS) learn nothing new here.
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE peers
