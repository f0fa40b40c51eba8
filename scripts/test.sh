#!/usr/bin/env bash
# Installs what is missing, builds a normal and an AddressSanitizer +
# UndefinedBehaviorSanitizer configuration and runs every test in both.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for config in release asan; do
  if [ "$config" = asan ]; then
    flags=(-DCMAKE_BUILD_TYPE=Debug -DZORBIK_SANITIZE=ON)
    # Other programs reading our files learn nothing new from a sanitizer build.
    select=(-LE peers)
  else
    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    select=()
  fi
  echo "== $config: build"
  cmake -S . -B "build/$config" "${flags[@]}" > /dev/null
  cmake --build "build/$config" -j"$jobs"
  echo "== $config: test"
  ctest --test-dir "build/$config" --output-on-failure -j"$jobs" "${select[@]}" || status=1
done
exit $status
