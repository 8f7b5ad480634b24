#!/usr/bin/env bash
# What a start of tervane-service costs (the default runner, every installed pair): CPU time
# (user + system, the service and every process it started) from its start until it answers
# /health and is stopped again, for a first start with no pair checked yet, for a start after
# every pair has been checked (results kept in the state directory), and with checks off;
# then what the first request of a pair costs with its check beside a later one. Prints a
# Markdown table. Not a test: nothing here passes or fails.
#
# Usage: bench/start-bench.sh
# Needs: build/native/service/tervane-service, build/native/service/tervane-pair-host,
# Apertium pairs (apertium-fr-es at least).
set -euo pipefail
source "$(dirname "$0")/bench-common.sh"
export XDG_STATE_HOME="$WORK/state"

# row LABEL [flags...]: prints the table's row of a start, /health (and FIRST_USE's request),
# and SIGTERM: CPU seconds and wall seconds.
row() {
  local label=$1; shift
  local port; port=$(free_port)
  /usr/bin/time -f '%U %S %e' -o "$WORK/time" \
    "$SERVICE" --listen "127.0.0.1:$port" --log-file - "$@" 2>>"$WORK/service.log" &
  local pid=$!
  wait_ok "http://127.0.0.1:$port/health"
  [ -z "${FIRST_USE:-}" ] || request "$port" "$FIRST_USE" >/dev/null
  pkill -TERM -P "$pid" # the service, under time
  wait "$pid" || true
  tail -1 "$WORK/time" | awk -v label="$label" '{printf "| %s | %.2f | %.2f |\n", label, $1 + $2, $3}'
}

request() { # port, target: prints the seconds one French request takes
  curl -s -o /dev/null -w '%{time_total}' --data-urlencode "q=Le chat est noir et la maison est grande." \
    --data "source=fr&target=$2&format=text&v=1" "http://127.0.0.1:$1/translate"
}

# Every pair checked once, to fill the record: each mode's first use through APy's face.
fill_record() {
  local port; port=$(free_port)
  "$SERVICE" --listen "127.0.0.1:$port" --log-file - 2>>"$WORK/service.log" &
  local pid=$!
  wait_ok "http://127.0.0.1:$port/health"
  for mode in $(curl -s "http://127.0.0.1:$port/listPairs" |
    python3 -c 'import json,sys; [print(p["sourceLanguage"]+"|"+p["targetLanguage"]) for p in json.load(sys.stdin)["responseData"]]'); do
    curl -s -o /dev/null --max-time 30 --data-urlencode "q=casa" --data-urlencode "langpair=$mode" \
      "http://127.0.0.1:$port/translate" || true
  done
  kill "$pid"
  wait "$pid" || true
}

machine
echo "$(ls /usr/share/apertium/modes/*.mode | wc -l) modes installed"
echo
echo "| start | CPU s | wall s |"
echo "|---|---|---|"
row "checks off" --check-pairs off
row "nothing checked yet"
fill_record
row "every pair checked before ($(wc -l <"$XDG_STATE_HOME/tervane-service/pair-checks") lines kept)"
rm -rf "$XDG_STATE_HOME"
FIRST_USE=es row "nothing checked yet, then fr>es once (its check and the request)"
FIRST_USE=es row "fr>es checked before, then fr>es once"
