# Sourced by the launcher scripts. listening_port NAME PID LOG: waits up to a minute for
# the server NAME (process PID, its standard error in LOG) to print "NAME: listening on
# 127.0.0.1:PORT" and prints PORT; prints what the server said and fails when it did not.
listening_port() {
  local name=$1 pid=$2 log=$3 port=
  for _ in $(seq 600); do
    port=$(sed -n "s/^$name: listening on 127\\.0\\.0\\.1:\\([0-9]*\\).*/\\1/p" "$log")
    [ -n "$port" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "$name did not start:" >&2; cat "$log" >&2; return 1; }
  echo "$port"
}
