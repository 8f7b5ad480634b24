#!/usr/bin/env bash
# Runs a command (a Windows test through wine-run.sh) with Wine drawing at a DPI:
#   at-dpi.sh <dpi> <command...>
# The prefix's LogPixels is set and its Wine session ended, so that the next start draws at
# that DPI; the command learns the DPI from TERVANE_TEST_DPI. WINEPREFIX names a prefix of
# these tests' own, so that the other tests' prefix always draws at 96 DPI.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
dpi=$1
shift
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
source "$scripts/wine-arch.sh"
export WINEDEBUG=${WINEDEBUG:--all}
"$scripts/wine-prefix.sh" || exit 1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
  { echo "cannot set LogPixels in $WINEPREFIX" >&2; exit 1; }
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
export TERVANE_TEST_DPI=$dpi
exec "$@"
