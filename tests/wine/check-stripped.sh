#!/bin/sh
# Fails when a shipped executable still carries symbols: debugging sections or a symbol
# table. Usage: check-stripped.sh OBJDUMP FILE...
set -eu
objdump=$1
shift
status=0
for file in "$@"; do
    debug=$("$objdump" -h "$file" | grep -cE '\.(debug|stab)' || true)
    symbols=$("$objdump" -t "$file" | grep -cE '^\[ *[0-9]+\]' || true)
    echo "$file: $(stat -c %s "$file") bytes, $debug debugging sections, $symbols symbols"
    if [ "$debug" -ne 0 ] || [ "$symbols" -ne 0 ]; then
        status=1
    fi
done
exit $status
