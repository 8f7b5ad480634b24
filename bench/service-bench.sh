#!/usr/bin/env bash
# Benchmark of tervane-service (apertium engine, both runners) against apertium-apy and against a cold
# `apertium` command per request, on the same machine, in the same run, with the same
# sentences: single-client p50/p99 latency and 8-client throughput (wrk) for French to
# Spanish (one pair) and French to English (two pairs chained), and resident memory with
# both warm; then bench/split-write.py: the service's answer time for a client that writes
# a request's head and body in two sends without TCP_NODELAY (WinHTTP under Wine), beside
# one that writes once. Prints Markdown tables. Not a test: nothing here passes or fails.
#
# Usage: bench/service-bench.sh [seconds per wrk run, default 10]
# Needs: build/native/service/tervane-service (cmake --build --preset native), wrk,
# apertium-apy, apertium-fr-es, apertium-eng-spa.
set -euo pipefail

SECONDS_PER_RUN=${1:-10}
COLD_RUNS=${COLD_RUNS:-20}
source "$(dirname "$0")/bench-common.sh"

# Sum of VmRSS (KiB) of a process and all its descendants.
tree_rss() {
  local total=0 pid child
  for pid in "$@"; do
    total=$((total + $(awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)))
    for child in $(ps -o pid= --ppid "$pid"); do total=$((total + $(tree_rss "$child"))); done
  done
  echo "$total"
}

# The service with a process per stage, and beside it with its default runner (one pair host
# per pipeline); the pair check at start is left out, as it would run during the first runs.
start_servers --apertium-runner processes
HOST_PORT=$(free_port)
setsid "$SERVICE" --listen "127.0.0.1:$HOST_PORT" --check-pairs off \
  2>"$WORK/service-host.log" &
PIDS+=($!); HOST_PID=$!
wait_ok "http://127.0.0.1:$HOST_PORT/health"

svc_form() { echo "&source=fr&target=$1&format=text&v=1"; }
# Warm every pipeline on every side before measuring.
for port in "$SVC_PORT" "$HOST_PORT"; do
  for target in es en; do
    for _ in 1 2 3 4; do
      curl -sf -o /dev/null --data-urlencode "text=Le chat est noir." \
        -d "source=fr&target=$target&format=text&v=1" "http://127.0.0.1:$port/translate"
    done
  done
done
for _ in 1 2 3 4; do
  curl -sf -o /dev/null -d 'langpair=fra|spa&q=Le+chat' "http://127.0.0.1:$APY_PORT/translate"
  curl -sf -o /dev/null -d 'langpairs=fra|spa|eng&q=Le+chat' "http://127.0.0.1:$APY_PORT/translateChain"
done

# --- wrk runs ----------------------------------------------------------------------------
# run_wrk LABEL CONNECTIONS URL PATH PREFIX SUFFIX -> "p50 p99 rps errors"
run_wrk() {
  local connections=$2 url=$3 threads=1
  [ "$connections" -gt 1 ] && threads=2
  BENCH_PATH=$4 BENCH_PREFIX=$5 BENCH_SUFFIX=$6 \
    wrk -t"$threads" -c"$connections" -d"${SECONDS_PER_RUN}s" --latency -s "$LUA" "$url" \
    >"$WORK/wrk-$1-$connections.txt"
  local file="$WORK/wrk-$1-$connections.txt"
  local p50 p99 rps errors
  p50=$(awk '$1=="50%" {print $2}' "$file")
  p99=$(awk '$1=="99%" {print $2}' "$file")
  rps=$(awk '/Requests\/sec/ {print $2}' "$file")
  errors=$(awk '/Non-2xx/ {print $5} /Socket errors/ {print "sock"}' "$file" | paste -sd' ')
  echo "$p50 $p99 $rps ${errors:-0}"
}

declare -A RESULT
for pair in es en; do
  svc_url="http://127.0.0.1:$SVC_PORT"
  apy_url="http://127.0.0.1:$APY_PORT"
  if [ "$pair" = es ]; then
    apy_path=/translate; apy_prefix='langpair=fra%7Cspa&markUnknown=no&q='
  else
    apy_path=/translateChain; apy_prefix='langpairs=fra%7Cspa%7Ceng&markUnknown=no&q='
  fi
  for c in 1 8; do
    RESULT[svc-$pair-$c]=$(run_wrk "svc-$pair" $c "$svc_url" /translate "text=" "$(svc_form $pair)")
    RESULT[host-$pair-$c]=$(run_wrk "host-$pair" $c "http://127.0.0.1:$HOST_PORT" /translate \
      "text=" "$(svc_form $pair)")
    RESULT[apy-$pair-$c]=$(run_wrk "apy-$pair" $c "$apy_url" "$apy_path" "$apy_prefix" "")
  done
done

SVC_RSS=$(tree_rss "$SVC_PID")
HOST_RSS=$(tree_rss "$HOST_PID")
SPLIT_TABLE=$(python3 "$ROOT/bench/split-write.py" "$SVC_PORT")
APY_RSS=$(tree_rss "$APY_PID")

# --- cold apertium command per request ----------------------------------------------------
cold_once() { # pair label; one sentence through fresh processes
  local sentence=$1
  if [ "$2" = es ]; then printf '%s' "$sentence" | apertium -u fr-es >/dev/null
  else printf '%s' "$sentence" | apertium -u fr-es | apertium -u spa-eng >/dev/null; fi
}
mapfile -t SENTENCES < "$BENCH_SENTENCES"
cold_latency() { # prints "p50 p99" in ms over COLD_RUNS sequential runs
  local pair=$1 i start end
  : >"$WORK/cold-$pair.txt"
  for i in $(seq 1 "$COLD_RUNS"); do
    start=$(date +%s%N)
    cold_once "${SENTENCES[$((i % ${#SENTENCES[@]}))]}" "$pair"
    end=$(date +%s%N)
    echo $(((end - start) / 1000)) >>"$WORK/cold-$pair.txt"
  done
  sort -n "$WORK/cold-$pair.txt" | awk '{a[NR]=$1} END {
    p50=a[int((NR+1)*0.50)]; i=int(NR*0.99+0.999); if (i>NR) i=NR; if (i<1) i=1;
    printf "%.2fms %.2fms\n", p50/1000, a[i]/1000 }'
}
cold_throughput() { # 8 clients in parallel for SECONDS_PER_RUN seconds; requests/sec
  local pair=$1 k
  local until=$(( $(date +%s) + SECONDS_PER_RUN ))
  for k in $(seq 1 8); do
    ( n=0; while [ "$(date +%s)" -lt "$until" ]; do
        cold_once "${SENTENCES[$(((n + k) % ${#SENTENCES[@]}))]}" "$pair"; n=$((n + 1)); done
      echo "$n" >"$WORK/cold-count-$pair-$k" ) &
  done
  wait
  cat "$WORK"/cold-count-"$pair"-* | awk -v s="$SECONDS_PER_RUN" '{n+=$1} END {printf "%.2f\n", n/s}'
}
for pair in es en; do
  RESULT[cold-$pair-1]="$(cold_latency $pair) - 0"
  cold_tp=$(cold_throughput $pair)
  RESULT[cold-$pair-8]="- - $cold_tp 0"
done

# --- table -------------------------------------------------------------------------------
field() { echo "${RESULT[$1]}" | awk -v i="$2" '{print $i}'; }
machine
echo "${SECONDS_PER_RUN}s per wrk run; $(wc -l <"$BENCH_SENTENCES") French sentences in turn."
echo
echo "| Route | Server | p50 (1 client) | p99 (1 client) | req/s (8 clients) | non-2xx |"
echo "|---|---|---|---|---|---|"
for pair in es en; do
  route="French to Spanish (fr-es)"; [ "$pair" = en ] && route="French to English (fr-es, spa-eng)"
  for who in svc host apy cold; do
    case $who in
      svc) name="tervane-service (apertium, processes)";;
      host) name="tervane-service (apertium, inprocess)";;
      apy) name="apertium-apy";; cold) name="apertium command per request";;
    esac
    echo "| $route | $name | $(field "$who-$pair-1" 1) | $(field "$who-$pair-1" 2) |" \
         "$(field "$who-$pair-8" 3) | $(field "$who-$pair-8" 4) |"
  done
done
echo
echo "| Resident memory, both pairs warm | KiB (process and its pipelines) |"
echo "|---|---|"
echo "| tervane-service (processes) | $SVC_RSS |"
echo "| tervane-service (inprocess) | $HOST_RSS |"
echo "| apertium-apy | $APY_RSS |"
echo
echo "$SPLIT_TABLE"
