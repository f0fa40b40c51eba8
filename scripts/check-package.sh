#!/usr/bin/env bash
# Builds the Debian package (of the build folder given, else of a Release
# build of its own), unpacks it into a scratch root and runs what it installed
# there: zorbik-convert's version and the example of its manual page. Then
# lintian (no errors allowed) and desktop-file-validate.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
zorbik_install_missing lintian desktop-file-utils python3-xlrd
deb=$(bash scripts/package.sh "$@")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
bin="$root/usr/bin"

"$bin/zorbik-convert" --version | grep -qx "zorbik-convert $(dpkg-deb -f "$deb" Version)"
if ldd "$bin/zorbik" "$bin/zorbik-convert" | grep "not found"; then exit 1; fi

# The manual page's example: a 128-byte header, then records of 64 bytes
# with a 20-byte name and a 16-bit number.
zcat "$root/usr/share/man/man1/zorbik-convert.1.gz" | sed -n '/^# customer.layout/,/^\.fi/p' | sed '$d' > "$root/layout"
/usr/bin/python3 - "$root/customer.dat" <<'PY'
import struct, sys
records = [(b"Maier", 12), (b"Huber", 250), (b"Weber", 1024)]
data = bytes(128) + b"".join(n.ljust(20) + struct.pack("<H", v) + bytes(42) for n, v in records)
open(sys.argv[1], "wb").write(data)
PY
"$bin/zorbik-convert" --layout "$root/layout" "$root/customer.dat" "$root/customer.xls"
/usr/bin/python3 - "$root/customer.xls" <<'PY'
import sys, xlrd
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
rows = [[str(sheet.cell_value(r, 0)).rstrip(), sheet.cell_value(r, 1)] for r in range(sheet.nrows)]
assert rows == [["Maier", 12], ["Huber", 250], ["Weber", 1024]], rows
PY

desktop-file-validate "$root/usr/share/applications/zorbik.desktop"
lint=0
lintian --fail-on error "$deb" > "$root/lintian.log" 2>&1 || lint=1
grep -v "running with root privileges" "$root/lintian.log" || true
[ "$lint" -eq 0 ]
echo "package: $deb unpacked, run and checked"
