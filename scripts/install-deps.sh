#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Tervane needs.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PKGS_NATIVE="python3 cmake g++ clang-format-14 make ninja-build pkg-config libgtest-dev googletest libgmock-dev \
  libcpp-httplib-dev nlohmann-json3-dev libssl-dev zlib1g-dev curl dpkg-dev iproute2 procps openssl \
  libcld2-dev"
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
# The Linux desktop program and its end-to-end scenarios (xterm holds the selected text,
# xclip reads the selections; a session bus, GObject introspection for Python and gdbus
# stand in for a notification area).
PKGS_GTK="libgtk-3-dev libkeybinder-3.0-dev libayatana-appindicator3-dev xvfb xauth xdotool \
  x11-utils xterm xclip imagemagick fonts-dejavu-core dbus-daemon python3-gi libglib2.0-bin"

ALL="$PKGS_NATIVE $PKGS_WIN $PKGS_SERVICE $PKGS_BENCH $PKGS_GTK"

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

if [ ${#missing[@]} -eq 0 ]; then
  install_test_clients
  exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_test_clients
