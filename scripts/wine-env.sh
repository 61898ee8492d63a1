# Sourced with the Windows build folder as its argument: Wine quiet, in a private prefix
# inside that folder, with one wineserver kept running so each program starts quickly.
mkdir -p "$1"
wine_build=$(cd "$1" && pwd)
WINE=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINE WINESERVER
export WINEPREFIX="$wine_build/wine"
export WINEDEBUG=-all
# No Mono or Gecko download offers when the prefix is made; no sound driver: these machines
# have no sound devices, and its ALSA complaints would reach the programs' standard error.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
export WINEARCH=win64

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w </dev/null >/dev/null 2>&1
fi
"$WINESERVER" -p </dev/null >/dev/null 2>&1 || true  # fails when one already runs
# The first program started brings up Wine's own services, which stay with the server:
# start them here, away from the caller's output pipes.
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
