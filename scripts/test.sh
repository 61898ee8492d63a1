#!/usr/bin/env bash
# Quick start, second command: installs what is missing, builds from scratch and runs
# every test, then the unit tests again under AddressSanitizer (with its leak check) and
# UBSan, then the Release configuration the packages are built from, then the Windows
# build under Wine, then each fuzz target for 45 seconds. Warnings are errors in every
# build but the fuzzing one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/setup.sh
rm -rf build build-sanitize build-release
scripts/build.sh build -DPLENUM_WERROR=ON
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
scripts/build.sh build-sanitize -DPLENUM_WERROR=ON -DPLENUM_SANITIZE=ON -DPLENUM_BUILD_TIRASSE=OFF -DPLENUM_BUILD_BENCH=OFF
(cd build-sanitize && ctest --output-on-failure -j2)
# The packages' configuration: Release (-O3), plenum, norvo-loop and tirasse alone, with
# GoogleTest and Google Benchmark out of reach. Its unit tests are not built (that would
# double the build); the end-to-end cases run against its plenum instead.
scripts/build.sh build-release -DPLENUM_WERROR=ON -DCMAKE_BUILD_TYPE=Release \
  -DPLENUM_BUILD_TESTS=OFF -DPLENUM_BUILD_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON --no-warn-unused-cli
failed=0
for case_dir in tests/cli/cases/*/; do
  [ -f "$case_dir/args" ] || continue
  tests/cli/run_case.sh build-release/bin/plenum "$case_dir" >/dev/null || { echo "FAIL (Release): $case_dir"; failed=1; }
done
[ "$failed" -eq 0 ]
# The Windows programs, cross-built and tested under Wine against the Linux build above.
scripts/test-windows.sh build
# A short bounded libFuzzer run of every fuzz target (the corpora are replayed above).
rm -rf build-fuzz
scripts/fuzz.sh -t 45
