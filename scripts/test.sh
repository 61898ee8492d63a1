#!/usr/bin/env bash
# Quick start, second command: installs what is missing, builds from scratch and runs
# every test, then the unit tests again under AddressSanitizer (with its leak check) and
# UBSan, then the Windows build under Wine, then each fuzz target for 45 seconds.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/setup.sh
rm -rf build build-sanitize
scripts/build.sh build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
scripts/build.sh build-sanitize -DPLENUM_SANITIZE=ON -DPLENUM_BUILD_TIRASSE=OFF -DPLENUM_BUILD_BENCH=OFF
(cd build-sanitize && ctest --output-on-failure -j2)
# The Windows programs, cross-built and tested under Wine against the Linux build above.
scripts/test-windows.sh build
# A short bounded libFuzzer run of every fuzz target (the corpora are replayed above).
rm -rf build-fuzz
scripts/fuzz.sh -t 45
