#!/usr/bin/env bash
# Installs what is missing, builds a normal and an AddressSanitizer +
# UndefinedBehaviorSanitizer configuration and runs every test in both, fuzzes
# for a while, then builds and tests the core and zorbik-convert for Windows
# (under Wine) and aarch64 (under qemu), compares their targets with the
# native ones and checks the Debian package. Prints the time of each stage.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing "${ZORBIK_TEST_PACKAGES[@]}"

# The peer readers of the "peers" tests: LibreOffice Calc and Node.js from
# Debian, SheetJS from npm as package-lock.json pins it. The tests themselves
# never install anything; they skip a reader that is missing.
readers=tests/sheet/readers
missing=()
command -v soffice > /dev/null || missing+=(libreoffice-calc-nogui)
# Calc writes dBASE tables through the database drivers.
dpkg-query -W -f='${Status}' libreoffice-base-drivers 2>/dev/null | grep -q "install ok installed" ||
  missing+=(libreoffice-base-drivers)
command -v node > /dev/null || missing+=(nodejs)
command -v npm > /dev/null || missing+=(npm)
zorbik_apt_install "${missing[@]}"
[ -d "$readers/node_modules/xlsx" ] || (cd "$readers" && npm ci --no-audit --no-fund --loglevel=error)

# The fuzzer needs clang: the newest clang++ there is, or Debian's.
clang=$(compgen -c | grep -xE 'clang\+\+(-[0-9]+)?' | sort -t- -k2,2n -u | tail -n 1 || true)
if [ -z "$clang" ]; then
  zorbik_apt_install clang
  clang=clang++
fi
zorbik_install_missing "libclang-rt-$("$clang" -dumpversion | cut -d. -f1)-dev" ||
  echo "fuzz: no libclang-rt package for $clang; the fuzzer may not link"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
stage_times=()
stage_start=0
# Notes the time since the last stage ended, under the given name.
stage_done() {
  stage_times+=("$(printf '%-9s %4d s' "$1" $((SECONDS - stage_start)))")
  stage_start=$SECONDS
}
stage_done setup
for config in release asan; do
  if [ "$config" = asan ]; then
    flags=(-DCMAKE_BUILD_TYPE=Debug -DZORBIK_SANITIZE=ON)
    # Other programs reading our files learn nothing new from a sanitizer build.
    select=(-LE "peers|formats")
  else
    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    select=()
  fi
  echo "== $config: build"
  cmake -S . -B "build/$config" -DZORBIK_WERROR=ON "${flags[@]}" > /dev/null
  cmake --build "build/$config" -j"$jobs"
  echo "== $config: test"
  ctest --test-dir "build/$config" --output-on-failure -j"$jobs" "${select[@]}" || status=1
  stage_done "$config"
done

# ---- fuzz: random layouts and source bytes through validation, edge columns
# and conversion, and random copybooks through their reader, under
# AddressSanitizer and UndefinedBehaviorSanitizer, for a bounded time each. A
# crash leaves its input in build/fuzz/; once it is mended, that input
# belongs in the target's corpus (fuzz/corpus/, fuzz/copybook-corpus/).
fuzz_seconds=${ZORBIK_FUZZ_SECONDS:-60}
echo "== fuzz: build"
if cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
     -DZORBIK_SANITIZE=ON -DZORBIK_FUZZ=ON -DZORBIK_GUI=OFF -DZORBIK_TESTS=OFF > /dev/null &&
   cmake --build build/fuzz -j"$jobs" --target zorbik_convert_fuzzer zorbik_copybook_fuzzer; then
  for target_corpus in convert:corpus copybook:copybook-corpus; do
    target=${target_corpus%%:*} corpus=fuzz/${target_corpus#*:}
    echo "== fuzz $target: ${fuzz_seconds} s"
    fuzz_new=$(mktemp -d)
    if build/fuzz/fuzz/zorbik_${target}_fuzzer -max_total_time="$fuzz_seconds" -max_len=8192 -timeout=10 \
         -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build/fuzz/ "$fuzz_new" "$corpus" \
         > "build/fuzz/$target.log" 2>&1; then
      grep -E '^(Done|stat::(number_of_executed_units|new_units_added|peak_rss_mb))' "build/fuzz/$target.log" || true
    else
      tail -n 60 "build/fuzz/$target.log"
      echo "fuzz $target: FAILED; the input is in build/fuzz/ (crash-*, leak-*, timeout-* or oom-*)"
      status=1
    fi
    rm -rf "$fuzz_new"
  done
else
  echo "fuzz: the fuzzer did not build"
  status=1
fi
stage_done fuzz

# ---- other systems: the same core and command tests built for Windows and
# aarch64 and run under their emulators; then each build's zorbik-convert
# converts every input of the fuzz corpus, and the worksheets must be the
# native ones, byte for byte. Then the Debian package, unpacked and run.
for system in windows arm64; do
  echo "== $system: build and test"
  bash scripts/cross.sh "$system" || status=1
  stage_done "$system"
done
echo "== compare targets"
/usr/bin/python3 scripts/compare-targets.py build/release build/windows build/arm64 || status=1
stage_done compare
echo "== package"
bash scripts/check-package.sh build/release || status=1
stage_done package

echo "== time of each stage"
printf '%s\n' "${stage_times[@]}"
echo "total     $(printf '%4d' "$SECONDS") s"
exit $status
