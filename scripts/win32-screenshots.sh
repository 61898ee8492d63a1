#!/usr/bin/env bash
# Takes the pictures of the Windows front end under Wine on a private Xvfb display, from the
# Windows build folder (scripts/build-windows.sh), into docs/screenshots/win32-*.png.
#   win32-screenshots.sh [BUILD_WINDOWS]    (default build-windows)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$here/${1:-build-windows}" && pwd)
"$here/scripts/install-packages.sh" xvfb imagemagick
source "$here/scripts/wine-env.sh" "$build"
source "$here/scripts/virtual-display.sh"
trap '"$WINESERVER" -k 2>/dev/null || true; stop_virtual_display' EXIT
start_virtual_display
cmake --build "$build" --target win32_screenshots plenum >/dev/null
scratch=$(mktemp -d "${TMPDIR:-/tmp}/win32-screenshots.XXXXXX")
# plenum.exe against the simulated loop: the version query shows its output.
"$WINE" "$build/tirasse/win32/win32_screenshots.exe" "$("$WINE" winepath -w "$build/bin" | tr -d '\r')" \
  "$("$WINE" winepath -w "$scratch" | tr -d '\r')" >/dev/null
for picture in "$scratch"/*.bmp; do
  convert "$picture" "$here/docs/screenshots/$(basename "${picture%.bmp}").png"
done
rm -rf "$scratch"
ls "$here"/docs/screenshots/win32-*.png
