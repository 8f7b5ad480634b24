#!/usr/bin/env bash
# Fuzzes the form parser, the /translate form checks, the HTTP head parser, the answer
# encoder and Apertium's stream format with libFuzzer (clang, AddressSanitizer, UndefinedBehaviorSanitizer) for a bounded
# time. Not part of the test run. Usage: bench/fuzz.sh [seconds, default 60]
# Needs clang and libclang-rt-14-dev (scripts/install-deps.sh).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_TO_RUN=${1:-60}
OUT="$ROOT/build/fuzz"
mkdir -p "$OUT/corpus"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT" \
  "$ROOT/bench/fuzz_protocol.cpp" \
  "$ROOT/protocol/ServiceProtocol.cpp" \
  "$ROOT/protocol/Languages.cpp" \
  "$ROOT/service/http/RequestForm.cpp" \
  "$ROOT/protocol/Utf8.cpp" \
  "$ROOT/service/http/HttpMessage.cpp" \
  "$ROOT/service/apertium/ApertiumText.cpp" \
  -o "$OUT/fuzz_protocol"

# Seeds: what the program sends, and the shapes that broke parsers before.
printf 'text=Le+chat+%%22noir%%22%%0A%%0Ax&source=fr&target=zh-tw&format=text&v=1' >"$OUT/corpus/form"
printf 'text=%%&source=fr' >"$OUT/corpus/cut-escape"
printf 'POST /translate HTTP/1.1\r\nContent-Length: 5\r\n\r\n' >"$OUT/corpus/head"
printf 'Un "deux"\r\n \r\n\r\ntrois\rquatre' >"$OUT/corpus/answer"
# Every character Apertium's stream reserves, alone, doubled, at the ends, between words and
# beside breaks; and the texts that once stalled or corrupted a pair.
i=0
for c in '^' '$' '@' '*' '/' '<' '>' '{' '}' '[' ']' '\' '~' '#' '+' '|'; do
  i=$((i + 1))
  printf '%s' "$c" >"$OUT/corpus/special-$i-alone"
  printf '%s%s x%sy %s\n\n%s.%s' "$c" "$c" "$c" "$c" "$c" "$c" >"$OUT/corpus/special-$i-mixed"
done
printf 'Bonjour ^' >"$OUT/corpus/caret-end"
printf 'Hello ~test x~y 3~4 one.' >"$OUT/corpus/tilde"
printf 'fichier non pris en charge\n\n.[]' >"$OUT/corpus/no-final-stop"

cd "$OUT"
./fuzz_protocol -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -print_final_stats=1 corpus \
  2>&1 | tail -n 15
