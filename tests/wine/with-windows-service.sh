#!/usr/bin/env bash
# Runs a command against the Windows build of the translation service under Wine: starts
# the native LibreTranslate fake on a free loopback port and one Wine server for the run,
# and gives the command the service's command line in TERVANE_SERVICE_COMMAND (its log on
# standard error, the libretranslate engine asking the fake).
#   with-windows-service.sh <tervane-service.exe> <fake_libretranslate> <command> [args...]
# WINEPREFIX must name the test prefix. Every Wine process of it is ended afterwards.
set -uo pipefail
source "$(dirname "$0")/listening-port.sh"
source "$(dirname "$0")/../../scripts/wine-arch.sh"
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
exe=$1
fake=$2
shift 2
[ -f "$exe" ] || { echo "no $exe: build the win32 or win64 preset" >&2; exit 1; }
[ -x "$fake" ] || { echo "no $fake: build the native preset" >&2; exit 1; }

log=$(mktemp)
"$fake" --listen 127.0.0.1:0 2>"$log" &
pid=$!
cleanup() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1 || true
  rm -f "$log"
}
trap cleanup EXIT
port=$(listening_port fake_libretranslate "$pid" "$log") || exit 1

# The tests end each service with a signal to its process group. So the Wine session (its
# server and the helper processes the first program starts) is begun here, outside those
# groups, and lives until the end of the run; it also makes each later start quick.
wineserver -p
wine "$exe" --help >/dev/null 2>&1
export TERVANE_SERVICE_COMMAND="wine $exe --log-file - --engine libretranslate --libretranslate-url http://127.0.0.1:$port"
"$@"
