#!/usr/bin/env bash
# Quick start, first command: installs what is missing, builds plenum, and runs plenum's main
# job on the example console against the built-in simulated module loop.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/setup.sh
# Only what the demo runs: plenum and the firmware files (the test programs are
# scripts/test.sh's business). The cache of build/ keeps whatever options it had.
cmake -S "$here" -B "$here/build" -DPLENUM_WERROR=ON >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target plenum standard_firmware
plenum="$here/build/bin/plenum"

# Without arguments plenum shows its banner and usage.
"$plenum"

# Then plenum's main job: the example console is compiled and downloaded into a
# simulated loop of as many type B modules as the example defines (no MIDI hardware
# needed). plenum and the simulated modules find the standard firmware files in the
# current directory, so the download runs among the synthetic ones of examples/firmware.
example="$here/examples/small_console.ncf"
modules=$(grep -c '^[[:space:]]*\*NORVO_MODULE' "$example")
loop=$(printf 'B%.0s,' $(seq "$modules")); loop=${loop%,}
cd "$here/examples/firmware"
status=0
PLENUM_LOOP=$loop "$plenum" "$example" || status=$?
echo "plenum ended with status $status"
exit "$status"
