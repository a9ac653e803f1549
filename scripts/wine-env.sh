# Sourced: a Wine prefix of the project's own, made once, and a wineserver
# kept alive so each program starts quickly. PLOVIK_WINE_ROOT moves it (two
# test runs sharing a prefix would see each other's windows and files).
wine_root=${PLOVIK_WINE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine}
export WINEPREFIX=$wine_root/prefix
export HOME=$wine_root/home
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/.plovik-ready" ]; then
  echo "== making the Wine prefix in $WINEPREFIX (once)" >&2
  wine wineboot -i >/dev/null 2>&1
  # Without a window manager, closing a managed window stalls for seconds.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.plovik-ready"
fi
wineserver -p >/dev/null 2>&1 || true
# Start Wine's services now, on null stdio: started by the first test program
# they would inherit its output pipe and keep a caller's pipe open for ever.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
