# Shared by the benchmark scripts (sourced): the service and apertium-apy started side by
# side on free ports, each in its own process group, ended on exit.
# Needs: build/native/service/tervane-service, wrk, apertium-apy, apertium-fr-es.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SERVICE="$ROOT/build/native/service/tervane-service"
export BENCH_SENTENCES="$ROOT/bench/sentences.fr.txt"
LUA="$ROOT/bench/wrk-translate.lua"
WORK=$(mktemp -d)
PIDS=()

cleanup() {
  for pid in "${PIDS[@]}"; do kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT

[ -x "$SERVICE" ] || { echo "build the service first: $SERVICE" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is missing (scripts/install-deps.sh)" >&2; exit 1; }

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

wait_ok() { # url, then curl args
  local url=$1; shift
  for _ in $(seq 1 300); do
    if curl -sf -o /dev/null "$@" "$url"; then return 0; fi
    sleep 0.2
  done
  echo "no answer from $url" >&2; return 1
}

# start_servers [service flags...]: sets SVC_PORT SVC_PID APY_PORT APY_PID
start_servers() {
  SVC_PORT=$(free_port)
  setsid "$SERVICE" --listen "127.0.0.1:$SVC_PORT" "$@" 2>"$WORK/service.log" &
  PIDS+=($!); SVC_PID=$!
  APY_PORT=$(free_port)
  # Same bound on pipelines per pair as the service's default (2).
  setsid apertium-apy -p "$APY_PORT" -l /dev/null -i 2 /usr/share/apertium/modes \
    >"$WORK/apy.log" 2>&1 &
  PIDS+=($!); APY_PID=$!
  wait_ok "http://127.0.0.1:$SVC_PORT/health"
  wait_ok "http://127.0.0.1:$APY_PORT/listPairs"
}

# The first words of every result: the machine and the run.
machine() {
  echo -n "Machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.1f GiB", $2/1048576}' /proc/meminfo); "
}
