#!/usr/bin/env bash
# Creates the Wine prefix named by WINEPREFIX, once; concurrent callers wait for the first.
# WINEARCH says which Wine (wine-arch.sh). The tests' prefixes are for a virtual display
# without a window manager; `--managed` makes one for a desktop, whose window manager frames
# and places Wine's windows.
managed=""
[ "${1:-}" = "--managed" ] && managed=1
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-arch.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
# The marker names what the prefix holds; a prefix made by an older script is made anew.
ready="$WINEPREFIX/.tervane-ready-4"
if [ ! -f "$ready" ]; then
  # 32-bit Wine needs a kernel that runs 32-bit programs; some kernels boot with that off.
  if [ "$WINEARCH" = win32 ] && ! "$here/runs-32-bit.sh"; then
    echo "this machine's kernel runs no 32-bit programs itself (its 32-bit emulation is off," \
         "or an emulator stands in for it), and 32-bit Wine needs that: boot with" \
         "ia32_emulation=on, or use the win64 preset (scripts/test.sh and scripts/run.sh" \
         "do so by themselves on such a machine)" >&2
    exit 1
  fi
  rm -rf "$WINEPREFIX"
  wine wineboot --init >/dev/null 2>&1
  # Virtual displays have no window manager: Wine draws the window frames itself and does
  # not wait for a manager's answer when a window is shown or hidden.
  if [ -z "$managed" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  fi
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine prefix creation failed: $WINEPREFIX" >&2; exit 1; }
  # Wine's own metric-compatible Tahoma and MS Sans Serif (Debian's fonts-wine), which
  # Debian's Wine does not look for where the package puts them: without them Wine falls
  # back to a wider font and the window's captions are clipped.
  # Marlett draws the caption buttons.
  for font in tahoma.ttf tahomabd.ttf sserife.fon ms_sans_serif.ttf marlett.ttf; do
    cp /usr/share/wine/fonts/$font "$WINEPREFIX/drive_c/windows/Fonts/" ||
      { echo "missing Wine font $font (package fonts-wine)" >&2; exit 1; }
  done
  # Tahoma has no Greek, Chinese or Japanese letters: Windows links fonts that have them
  # behind it, and so does this prefix (Debian's DejaVu Sans and WenQuanYi Micro Hei).
  for font in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
              /usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
              /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf \
              /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf; do
    cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/" ||
      { echo "missing font $font (fonts-dejavu-core, fonts-wqy-microhei, fonts-liberation2)" >&2; exit 1; }
  done
  # The About box's title is drawn in Arial; Liberation Sans has its metrics.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans\0wqy-microhei.ttc,WenQuanYi Micro Hei' \
    /f >/dev/null 2>&1
  wineserver -w
  touch "$ready"
fi
