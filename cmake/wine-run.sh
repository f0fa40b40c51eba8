#!/bin/sh
# The emulator of the Windows build: runs a Windows program under Wine in
# the build folder's own Wine prefix.
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# A new Wine server starts its services apart from the program's output:
# a caller that reads the output to its end (a test) would otherwise wait
# for services that outlive the program. The server ends a minute after
# its last program.
export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d
shift
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=wine64
if wineserver -p60 < /dev/null > /dev/null 2>&1; then
  "$wine64" wineboot < /dev/null > /dev/null 2>&1
fi
# Now and then Wine cannot start a program while its server starts for
# several at once (exit code 127, which no program of ours returns): try again.
for attempt in 1 2 3; do
  "$wine64" "$@"
  status=$?
  [ "$status" -ne 127 ] && exit "$status"
done
exit "$status"
