#!/usr/bin/env bash
# The main job. On a display: the Linux desktop program (build/native/gtk/tervane), which
# starts the translation service (offline, Apertium) when none answers and ends it when it
# ends; it runs until you choose Exit. `scripts/run.sh --wine` runs the Windows program
# under Wine instead, with the service beside it. Without a display the main job runs as a
# demonstration on a virtual one: a French sentence selected in xterm, the hotkey pressed,
# the English translation printed and a screenshot of the balloon saved.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--wine" ]; then
  scripts/install-deps.sh
  scripts/build.sh >/dev/null
  service=build/native/service/tervane-service
  # The 32-bit program as it ships, or its 64-bit build where the kernel runs no 32-bit programs.
  windows=$(scripts/windows-preset.sh)
  export WINEDEBUG=${WINEDEBUG:--all} WINEARCH=$windows
  source scripts/wine-arch.sh
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    # A prefix of its own, managed by the desktop's window manager; the tests' prefix
    # (build/$windows/wineprefix) is set up for a virtual display and its settings are wiped.
    export WINEPREFIX=${XDG_DATA_HOME:-$HOME/.local/share}/tervane/wineprefix-$windows
    scripts/wine-prefix.sh --managed
    service_pid=""
    if ! curl -sf http://127.0.0.1:58470/health >/dev/null; then
      "$service" & service_pid=$!
    fi
    trap '[ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
    wine "build/$windows/app/tervane.exe"
  else
    export WINEPREFIX=$PWD/build/$windows/wineprefix
    python3 tests/e2e/tervane_e2e.py --service "$service" --build-dir "build/$windows"
  fi
  exit 0
fi

# The Linux program alone needs GTK, Apertium and the compilers: no Wine, mingw or NSIS.
scripts/install-deps.sh --linux
cmake --preset native >/dev/null
cmake --build --preset native --target tervane tervane-service >/dev/null
if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  exec build/native/gtk/tervane
else
  scripts/install-deps.sh --demo
  scripts/on-virtual-display.sh python3 tests/gtk/demo.py
fi
