#!/usr/bin/env bash
# dpi-session.sh DPI ARCH PROGRAM...: runs the layout tests of each test
# program in a Wine prefix of its own whose screen has DPI dots an inch, on the
# display of the caller's Wine environment (scripts/wine-env). The prefix is
# made once and kept for the next run.
set -euo pipefail
dpi=$1 RUN_ARCH=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
WINE_ROOT="$(dirname "$WINEPREFIX")/dpi$dpi"
KEEP_DISPLAY=1
. "$root/scripts/wine-env"
# The server reads the setting when it starts.
if ! grep -q "^\"LogPixels\"=dword:$(printf %08x "$dpi")" "$WINEPREFIX/user.reg"; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -k
  wineserver -w
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
export TEST_DPI=$dpi
status=0
for program; do
  wine "$program" --gtest_filter='Layout.*' || status=1
done
exit $status
