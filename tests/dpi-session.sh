#!/usr/bin/env bash
# dpi-session.sh DPI ARCH PROGRAM...: runs the layout tests of each test
# program in a Wine prefix of its own whose screen has DPI dots an inch, on a
# display of its own that is as large at that DPI as the others are at 96
# (scripts/wine-env). The prefix is made once and kept for the next run.
set -euo pipefail
dpi=$1 RUN_ARCH=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
WINE_ROOT="$(dirname "$WINEPREFIX")/dpi$dpi"
DPI=$dpi
. "$root/scripts/wine-env"
export TEST_DPI=$dpi
status=0
for program; do
  wine "$program" --gtest_filter='Layout.*' || status=1
done
exit $status
