#!/usr/bin/env bash
# Overload run: successful French to Spanish translations per second (answers 200, counted
# by wrk) at 8, 64 and 256 connections, for tervane-service (its defaults: 8 running, 32
# waiting, 64 connections) and apertium-apy (-i 2) on the same machine in the same run.
# A refused or failed request does not count. Then the same offline load at 8 connections on a
# service whose remote engine hangs (apertium,libretranslate, the LibreTranslate fake answering
# nothing), ten requests to it kept waiting all the run, beside the same service healthy.
# Prints Markdown tables. Not a test.
#
# Usage: bench/overload-bench.sh [seconds per run, default 10]
set -euo pipefail

SECONDS_PER_RUN=${1:-10}
source "$(dirname "$0")/bench-common.sh"
start_servers

for _ in 1 2 3 4; do # warm both pipelines of both servers
  curl -sf -o /dev/null --data-urlencode "text=Le chat est noir." \
    -d "source=fr&target=es&format=text&v=1" "http://127.0.0.1:$SVC_PORT/translate"
  curl -sf -o /dev/null -d 'langpair=fra|spa&q=Le+chat' "http://127.0.0.1:$APY_PORT/translate"
done

# overload_run URL PATH PREFIX SUFFIX CONNECTIONS -> "ok/s refused/s errors"
overload_run() {
  local file="$WORK/overload.txt"
  BENCH_PATH=$2 BENCH_PREFIX=$3 BENCH_SUFFIX=$4 \
    wrk -t2 -c"$5" -d"${SECONDS_PER_RUN}s" --timeout 10s -s "$LUA" "$1" >"$file" 2>&1 || true
  awk -v s="$SECONDS_PER_RUN" '
    /requests in/ { total = $1 }
    /Non-2xx/ { bad = $5 }
    /Socket errors/ { errors = $0; sub(/.*Socket errors: */, "", errors) }
    END { printf "%.0f %.0f %s\n", (total - bad) / s, bad / s, errors == "" ? "none" : errors }' "$file"
}

svc_url="http://127.0.0.1:$SVC_PORT"
apy_url="http://127.0.0.1:$APY_PORT"
declare -A RESULT
for c in 8 64 256; do
  RESULT[svc-$c]=$(overload_run "$svc_url" /translate "text=" "&source=fr&target=es&format=text&v=1" $c)
  RESULT[apy-$c]=$(overload_run "$apy_url" /translate 'langpair=fra%7Cspa&markUnknown=no&q=' "" $c)
done

# The hung-remote case: a second service, Apertium with the fake behind it.
FAKE="$ROOT/build/native/tests/service/fake_libretranslate"
[ -x "$FAKE" ] || { echo "build the native preset first: $FAKE" >&2; exit 1; }
FAKE_PORT=$(free_port)
setsid "$FAKE" --listen "127.0.0.1:$FAKE_PORT" 2>"$WORK/fake.log" &
PIDS+=($!)
ROW_PORT=$(free_port)
setsid "$SERVICE" --listen "127.0.0.1:$ROW_PORT" --engine apertium,libretranslate \
  --libretranslate-url "http://127.0.0.1:$FAKE_PORT" 2>"$WORK/row.log" &
PIDS+=($!)
row_url="http://127.0.0.1:$ROW_PORT"
wait_ok "$row_url/health"
for _ in 1 2 3 4; do
  curl -sf -o /dev/null --data-urlencode "text=Le chat est noir." \
    -d "source=fr&target=es&format=text&v=1" "$row_url/translate"
done
healthy=$(overload_run "$row_url" /translate "text=" "&source=fr&target=es&format=text&v=1" 8)
# Ten clients asking the hung engine ("[hang]": the fake never answers), each again as soon
# as its request times out, for the whole run and a little more.
hangers=()
for _ in $(seq 1 10); do
  (end=$((SECONDS + SECONDS_PER_RUN + 2))
   while [ "$SECONDS" -lt "$end" ]; do
     curl -s -o /dev/null --max-time 30 --data-urlencode "text=Der Hund [hang]" \
       -d "source=de&target=en&format=text&v=1" "$row_url/translate" || true
   done) &
  hangers+=($!)
  PIDS+=($!)
done
sleep 1
hung=$(overload_run "$row_url" /translate "text=" "&source=fr&target=es&format=text&v=1" 8)
wait "${hangers[@]}" 2>/dev/null || true

machine
echo "${SECONDS_PER_RUN}s per run; French to Spanish, $(wc -l <"$BENCH_SENTENCES") sentences in turn."
echo
echo "| Server | Connections | Translations/s (200) | Refused/s (non-2xx) | Socket errors |"
echo "|---|---|---|---|---|"
for who in svc apy; do
  name="tervane-service"; [ "$who" = apy ] && name="apertium-apy"
  for c in 8 64 256; do
    read -r ok refused errors <<<"${RESULT[$who-$c]}"
    echo "| $name | $c | $ok | $refused | $errors |"
  done
done
echo
echo "Offline French to Spanish at 8 connections, --engine apertium,libretranslate:"
echo
echo "| Remote engine | Translations/s (200) | Refused/s (non-2xx) | Socket errors |"
echo "|---|---|---|---|"
read -r ok refused errors <<<"$healthy"
echo "| healthy, idle | $ok | $refused | $errors |"
read -r ok refused errors <<<"$hung"
echo "| hung, 10 requests waiting on it | $ok | $refused | $errors |"
echo
echo "Service log, busy summaries: $(grep -c 'busy: refused' "$WORK/service.log") lines;" \
     "log size $(wc -c <"$WORK/service.log") bytes"
