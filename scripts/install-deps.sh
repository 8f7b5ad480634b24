#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tervane need.
# Idempotent: when everything is present it only checks and returns.
#
#   scripts/install-deps.sh           everything: the Linux program, the service, the Windows
#                                     program (mingw, Wine with i386, NSIS), every test's tools
#   scripts/install-deps.sh --linux   only what building and running the Linux program and
#                                     its service need (scripts/run.sh)
#   scripts/install-deps.sh --demo    the virtual display and the tools of the demonstration
#                                     that scripts/run.sh gives without a display
set -euo pipefail
MODE=${1:-all}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# Building the native preset (its unit tests are part of the configuration) and the Debian
# packages (cpack -G DEB).
PKGS_BUILD="python3 cmake g++ make pkg-config libgtest-dev googletest libgmock-dev \
  libcpp-httplib-dev nlohmann-json3-dev libssl-dev zlib1g-dev dpkg-dev libcld2-dev libhiredis-dev"
PKGS_NATIVE="$PKGS_BUILD clang-format-14 ninja-build curl iproute2 procps openssl haproxy prometheus redis-server yamllint"
# The 64-bit toolchain and Wine serve machines whose kernel runs no 32-bit programs
# (scripts/windows-preset.sh).
PKGS_WIN="g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
  mingw-w64-i686-dev wine wine32:i386 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wine64 xvfb xauth xdotool x11-utils imagemagick fonts-wine fonts-wqy-microhei fonts-dejavu-core \
  fonts-liberation2 nsis"
# The Apertium language pairs: the service translates offline among their languages (its
# Debian package recommends them, packaging/CMakeLists.txt).
PKGS_PAIRS="apertium-afr-nld apertium-arg-cat apertium-bel-rus apertium-cat-ita \
  apertium-dan-nor apertium-en-gl apertium-eng-cat apertium-eng-spa apertium-eo-ca apertium-eo-en apertium-eo-es \
  apertium-eo-fr apertium-es-gl apertium-es-pt apertium-es-ro apertium-fr-es apertium-fra-cat apertium-hbs-eng \
  apertium-hbs-mkd apertium-hbs-slv apertium-ind-zlm apertium-isl-eng apertium-isl-swe apertium-mkd-bul \
  apertium-mkd-eng apertium-nno-nob apertium-oc-ca apertium-oc-es apertium-oci-fra apertium-por-cat apertium-pt-gl \
  apertium-rus-ukr apertium-spa-arg apertium-spa-cat apertium-spa-ita apertium-swe-dan apertium-swe-nor"
PKGS_SERVICE="apertium apertium-apy $PKGS_PAIRS"
# The pair host (service/apertium/host): a pair's stages through Apertium's own libraries.
# libcg3's API reads no Apertium stream, so cg-proc still runs as a process. jemalloc holds
# the pairs' dictionaries in a quarter less memory than glibc's malloc.
PKGS_SERVICE="$PKGS_SERVICE lttoolbox-dev apertium-dev libcg3-dev apertium-lex-tools-dev libjemalloc-dev"
PKGS_BENCH="wrk clang libclang-rt-14-dev"
# The Linux desktop program: GTK 3 (X11 and Wayland), keybinder for X11's hotkeys, the
# indicator, gtk-layer-shell for the balloon on Wayland, libwayland and wayland-scanner for
# the data-control and virtual keyboard protocols, xkbcommon for the virtual keyboard's
# keymap (xdpyinfo: scripts/run.sh asks whether the X display answers).
PKGS_DESKTOP="libgtk-3-dev libkeybinder-3.0-dev libayatana-appindicator3-dev \
  libgtk-layer-shell-dev libwayland-dev libxkbcommon-dev libxtst-dev x11-utils"
# The demonstration on a virtual display (xterm holds the selected text, xclip reads the
# selections, ImageMagick takes the screenshot).
PKGS_DEMO="xvfb xauth xdotool x11-utils xterm xclip imagemagick fonts-dejavu-core"
# The desktop program's scenarios: a session bus, GObject introspection for Python and gdbus
# stand in for a notification area and a shortcuts portal; sway's headless backend,
# wl-clipboard, wtype and grim make a real Wayland session; AT-SPI presses a button there.
PKGS_GTK="$PKGS_DESKTOP $PKGS_DEMO dbus-daemon python3-gi libglib2.0-bin \
  sway wl-clipboard wtype grim zenity at-spi2-core gir1.2-atspi-2.0"

case "$MODE" in
  all) ALL="$PKGS_NATIVE $PKGS_WIN $PKGS_SERVICE $PKGS_BENCH $PKGS_GTK" ;;
  --linux) ALL="$PKGS_BUILD $PKGS_SERVICE $PKGS_DESKTOP" ;;
  --demo) ALL="$PKGS_DEMO" ;;
  *) echo "usage: scripts/install-deps.sh [--linux | --demo]" >&2; exit 2 ;;
esac

missing=()
for p in $ALL; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# A LibreTranslate client that no one here wrote, for the service's LibreTranslate face
# (tests/service/service_libretranslate_face_test.cpp): npm's "libretranslate" package, in a
# folder of its own (Node 18 or later: it calls fetch).
TEST_CLIENTS=/opt/tervane-test-clients
install_test_clients() {
  if [ -f "$TEST_CLIENTS/node_modules/libretranslate/package.json" ]; then return 0; fi
  if ! command -v npm >/dev/null; then
    $SUDO apt-get install -y -qq --no-install-recommends nodejs npm
  fi
  $SUDO npm install --prefix "$TEST_CLIENTS" --no-audit --no-fund libretranslate@1.0.1
}

# A mirror in the middle of a sync serves index files of the wrong size for a minute or two:
# apt-get update is tried again rather than the whole run failing on it.
update_package_lists() {
  local attempt
  for attempt in 1 2 3; do
    if $SUDO apt-get update -qq; then return 0; fi
    [ "$attempt" -lt 3 ] || break
    echo "apt-get update failed (attempt $attempt of 3; a mirror may be syncing):" \
         "trying again in $((attempt * 15)) s" >&2
    sleep $((attempt * 15))
  done
  echo "apt-get update kept failing: installing from the package lists as they are" >&2
}

if [ ${#missing[@]} -gt 0 ]; then
  # Only the Windows program's Wine needs the i386 architecture.
  if [ "$MODE" = all ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  update_package_lists
  if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    # 32-bit Wine needs i386 libraries of exactly the versions of the machine's own: an i386
    # index the mirror failed to give leaves them uninstallable. Without 32-bit Wine the
    # Windows tests run on the 64-bit build (scripts/windows-preset.sh), so the rest goes on.
    rest=()
    for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
    [ ${#rest[@]} -lt ${#missing[@]} ] || exit 1
    echo "32-bit Wine (wine32:i386) cannot be installed from these package lists: installing" \
         "the rest; the Windows tests will run on the 64-bit build" >&2
    $SUDO apt-get install -y -qq --no-install-recommends "${rest[@]}"
  fi
fi
if [ "$MODE" = all ]; then install_test_clients; fi
