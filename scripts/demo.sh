#!/usr/bin/env bash
# Quick start, first command: installs what is missing, builds, and runs plenum's main
# job on the example console against the built-in simulated module loop.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/setup.sh
scripts/build.sh build
plenum="$here/build/bin/plenum"

# Without arguments plenum shows its banner and usage.
"$plenum"

# Then the first example configuration, compiled against a simulated loop of two type B
# modules (no MIDI hardware needed).
example=$(find "$here/examples" -maxdepth 1 -name '*.cfg' | sort | head -n 1)
if [ -n "$example" ]; then
  cd "$here/examples"
  status=0
  PLENUM_LOOP=B,B "$plenum" -x -t "$(basename "$example")" || status=$?
  echo "plenum ended with status $status"
fi
