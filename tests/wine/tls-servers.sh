#!/bin/sh
# Two TLS servers for the Windows tests, certified for 127.0.0.1 (tls-server.py): "good"
# with a certificate from the CA DIR/trusted.pem, "bad" with one from a CA nobody trusts. `start DIR` prints the two ports; `stop DIR` ends them.
set -eu
dir=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ "$1" = stop ]; then
  kill $(cat "$dir"/*.pid 2>/dev/null) 2>/dev/null || true
  rm -rf "$dir"
  exit 0
fi
rm -rf "$dir"; mkdir -p "$dir"; cd "$dir"
for ca in trusted stranger; do
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout $ca.key -out $ca.pem \
    -subj "/CN=Tervane test CA $ca" 2>/dev/null
done
openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj /CN=127.0.0.1 2>/dev/null
# Wine matches the host against the names of the certificate, not its addresses.
printf 'subjectAltName=IP:127.0.0.1,DNS:127.0.0.1\n' > ext
openssl x509 -req -in server.csr -CA trusted.pem -CAkey trusted.key -CAcreateserial -days 2 \
  -extfile ext -out good.pem 2>/dev/null
openssl x509 -req -in server.csr -CA stranger.pem -CAkey stranger.key -CAcreateserial -days 2 \
  -extfile ext -out bad.pem 2>/dev/null
ports=""
for name in good bad; do
  python3 "$here/tls-server.py" $name.pem server.key $name.port >/dev/null 2>&1 &
  echo $! > $name.pid
  for _ in $(seq 100); do [ -s $name.port ] && break; sleep 0.1; done
  ports="$ports $(cat $name.port)"
done
echo $ports
