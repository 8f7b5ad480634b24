#!/usr/bin/env bash
# Configures and builds both presets: native (library, unit tests, translation service)
# and win32 (tervane.exe and the Windows tests). Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native win32; do
  cmake --preset "$preset" -DTERVANE_WERROR=ON >/dev/null
  cmake --build --preset "$preset"
done
