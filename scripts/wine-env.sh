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
