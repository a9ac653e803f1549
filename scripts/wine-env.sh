# Sourced: the environment of the project's own Wine prefix, made once.
# PLOVIK_WINE_ROOT moves it (two test runs sharing a prefix would see each
# other's windows and files).
wine_root=${PLOVIK_WINE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine}
export WINEPREFIX=$wine_root/prefix
export HOME=$wine_root/home
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/.plovik-ready" ]; then
  echo "== making the Wine prefix in $WINEPREFIX (once)" >&2
  wine wineboot -i </dev/null >/dev/null 2>&1
  # Without a window manager, closing a managed window stalls for seconds.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.plovik-ready"
fi

# A display of our own (Xvfb on DISPLAY_NAME, of SCREEN) unless there is
# one; own_xvfb is its process, empty when the caller's display is used.
own_display() { # DISPLAY_NAME SCREEN
  own_xvfb=""
  [ -z "${DISPLAY:-}" ] || return 0
  export DISPLAY=$1
  Xvfb "$DISPLAY" -screen 0 "$2" >/dev/null 2>&1 &
  own_xvfb=$!
  sleep 1
}

# The prefix's DPI (96 is 100 %): Wine reads it at its start, so it is
# restarted before and after.
set_dpi() { # DPI
  wineserver -k >/dev/null 2>&1 || true
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
}
