#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual display, in the test prefix.
#   wine-run.sh --prefix-only      create the prefix (once) and stop
#   wine-run.sh prog.exe [args]    run prog.exe; its exit code is ours
# WINEPREFIX must name the prefix (the build tree's), WINEARCH the Wine (wine-arch.sh).
# A display is taken from TERVANE_DISPLAY when set (a virtual display the caller made),
# else on-virtual-display.sh makes one.
# Every Wine process of the prefix is ended afterwards, whatever happened.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-arch.sh"

run_on_display() {
  if [ -n "${TERVANE_DISPLAY:-}" ]; then
    DISPLAY=$TERVANE_DISPLAY "$@"
  else
    "$here/on-virtual-display.sh" "$@"
  fi
}

"$here/wine-prefix.sh" || exit 1
[ "${1:-}" = "--prefix-only" ] && exit 0

cleanup() { wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1 || true; }
trap cleanup EXIT
run_on_display wine "$@"
