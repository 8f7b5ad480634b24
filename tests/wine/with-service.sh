#!/usr/bin/env bash
# Runs a command with the native translation service listening on a free loopback port;
# the command finds its address in TERVANE_SERVICE_URL. The service ends with the command.
#   with-service.sh <tervane-service> <command> [args...]
set -uo pipefail
source "$(dirname "$0")/listening-port.sh"
service=$1
shift
[ -x "$service" ] || { echo "no translation service at $service: build the native preset" >&2; exit 1; }
log=$(mktemp)
"$service" --listen 127.0.0.1:0 2>"$log" &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -f "$log"' EXIT
port=$(listening_port tervane-service "$pid" "$log") || exit 1
TERVANE_SERVICE_URL="http://127.0.0.1:$port/translate" "$@"
