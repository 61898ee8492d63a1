# Sourced: starts a private Xvfb display for the Windows front end's windows under Wine and
# exports DISPLAY; stop_virtual_display ends it. Wine's windows are made unmanaged (there is
# no window manager on the display), or Wine waits up to a second on each hidden window for
# a window manager that never answers.
start_virtual_display() {
  local number
  for number in $(seq 90 140); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] || break
  done
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VIRTUAL_DISPLAY_PID=$!
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.05
  done
  export DISPLAY=":$number"
  # Wine's services, started before there was a display, would leave every later window
  # without a display driver: start them again on this one.
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  "$WINESERVER" -p 2>/dev/null || true
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}

stop_virtual_display() {
  if [ -n "${VIRTUAL_DISPLAY_PID:-}" ]; then
    kill "$VIRTUAL_DISPLAY_PID" 2>/dev/null || true
    wait "$VIRTUAL_DISPLAY_PID" 2>/dev/null || true
    VIRTUAL_DISPLAY_PID=
  fi
}
