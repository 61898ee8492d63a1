#!/usr/bin/env bash
# Configures and builds into the folder given (default build/); extra arguments go to cmake.
# Warnings are errors here, the developers' setting; a plain cmake build only shows them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
shift || true
cmake -S "$here" -B "$here/$dir" -DPLENUM_WERROR=ON "$@" >/dev/null
cmake --build "$here/$dir" -j"$(nproc)"
