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
windows=$(scripts/windows-preset.sh)
if [ "$windows" = win64 ]; then
  echo "This machine runs no 32-bit Wine (its kernel runs no 32-bit programs, or wine32 is" \
       "not installed): the Windows tests run on the 64-bit build (win64 preset) in 64-bit Wine." >&2
fi
ctest --preset "$windows" || status=1
exit $status
