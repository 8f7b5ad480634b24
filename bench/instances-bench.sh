#!/usr/bin/env bash
# Throughput through haproxy: French to Spanish translations answered 200 per second (wrk,
# two threads) with one instance of the service straight, then through haproxy in front of
# one and of two instances on this machine, then two whose limits are shared through a Redis
# (each request from a forwarded client with a key, so that every one takes from the shared
# counters). haproxy runs the configuration the package ships
# (packaging/haproxy/tervane-service.cfg) with its ports moved to free ones. Prints a
# Markdown table. Not a test.
#
# Usage: bench/instances-bench.sh [seconds per run, default 10] [connections, default 16]
# Needs: the native build, wrk, haproxy, redis-server (and its redis-cli), apertium-fr-es.
set -euo pipefail

SECONDS_PER_RUN=${1:-10}
CONNECTIONS=${2:-16}
source "$(dirname "$0")/bench-common.sh"
for tool in haproxy redis-server; do
  command -v $tool >/dev/null || { echo "$tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
KEY=k-bench-instances
echo "$KEY" >"$WORK/keys"

# start_instance PORT [flags...]
start_instance() {
  local port=$1; shift
  setsid "$SERVICE" --listen "127.0.0.1:$port" --allow-remote --trusted-proxy 127.0.0.1 \
    --api-keys "$WORK/keys" "$@" 2>>"$WORK/instance-$port.log" &
  PIDS+=($!)
  wait_ok "http://127.0.0.1:$port/health"
  for _ in 1 2 3 4; do # both pipelines warm
    curl -sf -o /dev/null --data-urlencode "text=Le chat est noir." \
      -d "source=fr&target=es&format=text&v=1" "http://127.0.0.1:$port/translate"
  done
}

# start_haproxy PROXY_PORT INSTANCE_PORT... : the shipped configuration, its servers those.
start_haproxy() {
  local proxy=$1; shift
  local config="$WORK/haproxy-$proxy.cfg"
  sed -e "s/^\(    bind \):58470/\1127.0.0.1:$proxy/" -e '/^    server /d' \
    "$ROOT/packaging/haproxy/tervane-service.cfg" >"$config"
  local n=0
  for port in "$@"; do
    n=$((n + 1))
    echo "    server instance$n 127.0.0.1:$port check" >>"$config"
  done
  setsid haproxy -db -f "$config" >"$WORK/haproxy-$proxy.log" 2>&1 &
  PIDS+=($!)
  wait_ok "http://127.0.0.1:$proxy/health"
}

# run URL [wrk flags...] -> "ok/s non-2xx/s"
run() {
  local url=$1; shift
  local file="$WORK/wrk.txt"
  wrk -t2 -c"$CONNECTIONS" -d"${SECONDS_PER_RUN}s" --timeout 10s -s "$LUA" "$@" "$url" \
    >"$file" 2>&1 || true
  awk -v s="$SECONDS_PER_RUN" '
    /requests in/ { total = $1 }
    /Non-2xx/ { bad = $5 }
    END { printf "%.0f %.0f\n", (total - bad) / s, bad / s }' "$file"
}

ONE=$(free_port); TWO=$(free_port); THREE=$(free_port); FOUR=$(free_port)
start_instance "$ONE"
start_instance "$TWO"
P1=$(free_port); P2=$(free_port)
start_haproxy "$P1" "$ONE"
start_haproxy "$P2" "$ONE" "$TWO"
declare -A RESULT
RESULT[direct]=$(run "http://127.0.0.1:$ONE")
RESULT[proxy1]=$(run "http://127.0.0.1:$P1")
RESULT[proxy2]=$(run "http://127.0.0.1:$P2")

REDIS_PORT=$(free_port)
setsid redis-server --port "$REDIS_PORT" --bind 127.0.0.1 --save "" --appendonly no \
  >"$WORK/redis.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 1 50); do grep -q "Ready to accept" "$WORK/redis.log" && break; sleep 0.1; done
shared=(--rate-limit 1000000/min --rate-limit-storage "redis://127.0.0.1:$REDIS_PORT/0")
start_instance "$THREE" "${shared[@]}"
start_instance "$FOUR" "${shared[@]}"
P3=$(free_port)
start_haproxy "$P3" "$THREE" "$FOUR"
# Another machine, as haproxy forwards it: its key and its address counted in the Redis.
RESULT[redis]=$(run "http://127.0.0.1:$P3" -H "X-Forwarded-For: 192.0.2.7" \
  -H "Authorization: Bearer $KEY")
# The proof that they were: the buckets the instances keep there (the address's and the key's).
BUCKETS=$(redis-cli -p "$REDIS_PORT" --scan --pattern 'tervane:rate:*' | wc -l)

machine
echo "load average before the runs: $LOAD_BEFORE; $SECONDS_PER_RUN s per run, $CONNECTIONS connections"
echo
echo "| Path | Instances | Translations/s (200) | Non-2xx/s |"
echo "|---|---|---|---|"
row() { read -r ok bad <<<"$3"; echo "| $1 | $2 | $ok | $bad |"; }
row "straight to the instance" 1 "${RESULT[direct]}"
row "through haproxy" 1 "${RESULT[proxy1]}"
row "through haproxy" 2 "${RESULT[proxy2]}"
row "through haproxy, a forwarded client's key and address counted in Redis ($BUCKETS buckets)" 2 "${RESULT[redis]}"
