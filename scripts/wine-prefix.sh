#!/usr/bin/env bash
# Creates the Wine prefix named by WINEPREFIX, once; concurrent callers wait for the first.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tervane-ready" ]; then
  rm -rf "$WINEPREFIX"
  WINEARCH=win32 wineboot --init >/dev/null 2>&1
  # Virtual displays have no window manager: Wine draws the window frames itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine prefix creation failed: $WINEPREFIX" >&2; exit 1; }
  touch "$WINEPREFIX/.tervane-ready"
fi
