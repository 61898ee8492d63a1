#!/usr/bin/env bash
# Quick start, first command: installs what is missing, builds, and runs plenum's main
# job on the example console against the built-in simulated module loop.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/setup.sh
scripts/build.sh build
cd examples
"$here/build/plenum/driver/plenum"
