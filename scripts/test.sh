#!/usr/bin/env bash
# Runs every test: the formatting check, native unit and service tests, then the Windows
# tests and the end-to-end scenarios under Wine on virtual displays. Exits non-zero if any
# failed.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
status=0
scripts/format.sh --check || status=1
scripts/build.sh || exit 1
ctest --preset native || status=1
ctest --preset win32 || status=1
exit $status
