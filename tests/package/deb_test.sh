#!/usr/bin/env bash
# The Debian packages, installed and removed as an operator would. The service's: dpkg -i gives
# the binary, the man page, the unit and its options, and a system user; the unit's
# ExecStart (by hand where systemd is not running) gives a service that answers; dpkg -r
# leaves no process and no file but the configuration; dpkg -P takes that and the user too.
# The desktop program's (when it was built): the program, its menu entry and icon.
# Needs root (it changes the machine); skipped otherwise. Usage: deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing a package needs root"; exit 77
fi
if dpkg-query -W -f='${Status}' tervane-service 2>/dev/null | grep -q "install ok installed"; then
  echo "skipped: a tervane-service package is installed on this machine already"; exit 77
fi
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tervane-service_*_amd64.deb)
desktop=$(ls "$build"/tervane_*_amd64.deb 2>/dev/null || true)
service_pid=""
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
  dpkg -P tervane tervane-service >/dev/null 2>&1 || true
}
trap cleanup EXIT

dpkg -i "$deb" $desktop >/dev/null
if [ -n "$desktop" ]; then
  for f in /usr/bin/tervane /usr/share/applications/tervane.desktop \
           /usr/share/icons/hicolor/32x32/apps/tervane.png; do
    [ -e "$f" ] || fail "$f not installed"
  done
  readelf -S /usr/bin/tervane | grep -q '\.symtab' && fail "the program ships with symbols"
  dpkg -r tervane >/dev/null
  [ -e /usr/bin/tervane ] && fail "the program outlived its removal"
fi
for f in /usr/bin/tervane-service /usr/bin/tervane-pair-host /usr/share/man/man1/tervane-service.1.gz \
         /usr/lib/systemd/system/tervane-service.service /etc/default/tervane-service; do
  [ -e "$f" ] || fail "$f not installed"
done
getent passwd tervane-service >/dev/null || fail "no system user"
[ "$(getent passwd tervane-service | cut -d: -f7)" = /usr/sbin/nologin ] || fail "the user has a shell"
readelf -S /usr/bin/tervane-service | grep -q '\.symtab' && fail "the binary ships with symbols"
zcat /usr/share/man/man1/tervane-service.1.gz | grep -qF 'max\-pipelines' || fail "man page lacks the options"

# The unit's own command line, with its options file, as its user; on a free port.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
sed -i "s/127.0.0.1:58470/127.0.0.1:$port/" /etc/default/tervane-service
exec_start=$(sed -n 's/^ExecStart=//p' /usr/lib/systemd/system/tervane-service.service)
if [ -d /run/systemd/system ]; then
  systemctl restart tervane-service.service
else
  # shellcheck disable=SC1091
  (set -a; . /etc/default/tervane-service; set +a
   exec setpriv --reuid=tervane-service --regid=tervane-service --init-groups \
     sh -c "exec $exec_start") &
  service_pid=$!
fi
answer=""
for _ in $(seq 100); do
  answer=$(curl -s --data-urlencode 'text=Le chat est noir.' -d 'source=fr&target=en&format=text&v=1' \
           "http://127.0.0.1:$port/translate" || true)
  [ -n "$answer" ] && break
  sleep 0.1
done
[ "$answer" = '"The cat is black."' ] || fail "the installed service answered '$answer'"
listener=$(ss -ltnpH "sport = :$port" | grep -o 'pid=[0-9]*' | head -1 | cut -d= -f2)
user=$(ps -o user= -p "$listener" | tr -d ' ')
[ "$user" = tervane-service ] || fail "the service runs as '$user'"

if [ -n "$service_pid" ]; then kill "$service_pid"; wait "$service_pid" 2>/dev/null || true; service_pid=""; fi
dpkg -r tervane-service >/dev/null
pgrep -u tervane-service >/dev/null && fail "a service process outlived the removal"
for f in /usr/bin/tervane-service /usr/bin/tervane-pair-host /usr/share/man/man1/tervane-service.1.gz \
         /usr/lib/systemd/system/tervane-service.service; do
  [ -e "$f" ] && fail "$f left after removal"
done
[ -e /etc/default/tervane-service ] || fail "the configuration went with a plain removal"
dpkg -P tervane-service >/dev/null
[ -e /etc/default/tervane-service ] && fail "the configuration outlived the purge"
getent passwd tervane-service >/dev/null && fail "the user outlived the purge"
echo "ok: installed, answered as its own user, removed, purged"
