#!/usr/bin/env bash
# Parity check: the service's translations against the `apertium` command's, one run of the
# command per text of the corpus (tests/service/parity/<source>.txt), chained for a route
# of several pairs. Prints, per direction, how many texts are identical and the first
# differences, for both runners (a process per stage, and the in-process pair host; set
# TERVANE_PARITY_RUNNER=processes or inprocess for one). Usage:
#   bench/parity.sh [source:target ...]   (default: fr:es fr:en es:pt)
#   bench/parity.sh --every-pair          every installed pair's host against `apertium -u`
# Needs the native build (cmake --build --preset native).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
TESTS="$ROOT/build/native/tests/service/tervane_service_tests"
[ -x "$TESTS" ] || { echo "build the service tests first: $TESTS" >&2; exit 1; }
if [ "${1:-}" = --every-pair ]; then
  "$TESTS" --gtest_filter='Installed/PairHostParity.*' --gtest_brief=1 |
    grep -v '^\[\|^$\|^Running main' || true
  exit 0
fi
if [ $# -gt 0 ]; then export TERVANE_PARITY="$*"; fi
"$TESTS" --gtest_filter='Runners/Parity.*' --gtest_brief=1 | grep -v '^\[\|^$\|^Running main' || true
