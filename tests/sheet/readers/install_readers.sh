#!/usr/bin/env bash
# Makes the peer readers ready: LibreOffice Calc and Node.js from Debian when
# they are missing (on first use; LibreOffice is large, so only the tests
# fetch it), then SheetJS from npm as package-lock.json pins it.
#
#     install_readers.sh NPM_DIR
#
# NPM_DIR receives package.json, package-lock.json and node_modules.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
npm_dir="$1"

missing=()
command -v soffice > /dev/null || missing+=(libreoffice-calc-nogui)
command -v node > /dev/null || missing+=(nodejs)
command -v npm > /dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo -n"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mkdir -p "$npm_dir"
cp "$here/package.json" "$here/package-lock.json" "$npm_dir/"
cd "$npm_dir"
npm ci --no-audit --no-fund --loglevel=error
node -e "require('xlsx')" && echo "SheetJS $(node -p "require('xlsx').version") ready"
soffice --version
