#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# when any of them is missing. Sourced by run.sh and test.sh.
set -euo pipefail

# What building and running the program needs.
ZORBIK_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev fonts-dejavu-core
  libxlsxwriter-dev libsqlite3-dev
)
# What the tests need on top; the fuzzer's clang and the peer readers are
# installed by scripts/test.sh.
ZORBIK_TEST_PACKAGES=(
  libgtest-dev
  python3 python3-xlrd python3-openpyxl sqlite3
  shapelib python3-dbf python3-dbfread
  gnucobol3 fp-compiler # the compilers alone: Debian's fpc adds its IDE, docs and every unit set
)

# Installs the given Debian packages (none given: nothing to do).
zorbik_apt_install() {
  [ $# -eq 0 ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
    [ -t 0 ] || sudo="sudo -n" # no password prompt where nobody can answer it
  fi
  echo "Installing: $*"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}

# Installs those of the project's packages and of the given ones that are
# not installed yet.
zorbik_install_missing() {
  local missing=() p
  for p in "${ZORBIK_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  zorbik_apt_install "${missing[@]}"
}
