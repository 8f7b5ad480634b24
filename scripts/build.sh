#!/usr/bin/env bash
# Configures and builds the presets, warnings as errors: native (library, unit tests,
# translation service), win32 (tervane.exe as it ships, its installer and the Windows
# tests), and win64 (the same, 64-bit) where Wine can run only that (windows-preset.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
presets="native win32"
[ "$(scripts/windows-preset.sh)" = win64 ] && presets="$presets win64"
for preset in $presets; do
  cmake --preset "$preset" -DTERVANE_WERROR=ON >/dev/null
  cmake --build --preset "$preset"
done
