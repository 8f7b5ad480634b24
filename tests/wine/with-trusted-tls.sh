#!/usr/bin/env bash
# Runs a command with the loopback TLS servers of tls-servers.sh ("good" and "bad"; their
# ports in TERVANE_TLS_PORTS) and the CA of the good one trusted by the Wine prefix that
# WINEPREFIX names:
#   with-trusted-tls.sh <command> [args...]
# Windows' own roots do not come with Wine, so the test's throwaway CA is put among the
# prefix's trusted roots (the current user's Root store, through the registry: trust-ca-reg.py).
# WINEPREFIX names a prefix of these tests' own, made here, so that no other test trusts it.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-arch.sh"
export WINEDEBUG=${WINEDEBUG:--all}
"$here/../../scripts/wine-prefix.sh" || exit 1
dir=$(mktemp -d)
trap '"$here/tls-servers.sh" stop "$dir"; wineserver -k >/dev/null 2>&1' EXIT
TERVANE_TLS_PORTS=$("$here/tls-servers.sh" start "$dir") || exit 1
export TERVANE_TLS_PORTS
python3 "$here/trust-ca-reg.py" "$dir/trusted.pem" "$dir/trusted.reg" &&
  wine reg import "Z:$dir/trusted.reg" >/dev/null 2>&1 ||
  { echo "cannot trust the test CA in $WINEPREFIX" >&2; exit 1; }
"$@"
