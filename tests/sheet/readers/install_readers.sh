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

source "$here/../../../scripts/deps.sh"
# Asked by command: Node.js may come from elsewhere than Debian.
missing=()
command -v soffice > /dev/null || missing+=(libreoffice-calc-nogui)
command -v node > /dev/null || missing+=(nodejs)
command -v npm > /dev/null || missing+=(npm)
zorbik_apt_install "${missing[@]}"

mkdir -p "$npm_dir"
cp "$here/package.json" "$here/package-lock.json" "$npm_dir/"
cd "$npm_dir"
npm ci --no-audit --no-fund --loglevel=error
node -e "require('xlsx')" && echo "SheetJS $(node -p "require('xlsx').version") ready"
soffice --version
