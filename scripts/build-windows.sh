#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into the folder given (default
# build-windows/): plenum.exe, plenum-firmware.exe and the unit tests as .exe files, those
# of the front ends' toolkit-free core and MIDI libraries (tirasse/core, tirasse/midi)
# among them; the Qt front end is not built (there is no Qt for MinGW here).
# Installs what is missing with apt-get, cross-builds GoogleTest from Debian's sources
# once, and leaves a private Wine prefix in the build folder for the tests
# (scripts/test-windows.sh). Extra arguments go to cmake.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build-windows}
shift || true
build="$here/$dir"

"$here/scripts/install-packages.sh" cmake flex bison g++-mingw-w64-x86-64-posix wine64 nsis \
  googletest mandoc xvfb

source "$here/scripts/wine-env.sh" "$build"

toolchain="$here/cmake/mingw-w64-x86_64.cmake"
gtest_prefix="$build/googletest"
if [ ! -f "$gtest_prefix/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$build/googletest-build" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest_prefix" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$build/googletest-build" -j"$(nproc)" >/dev/null
  cmake --install "$build/googletest-build" >/dev/null
fi

cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DPLENUM_GTEST_PREFIX="$gtest_prefix" -DPLENUM_BUILD_TIRASSE=OFF -DPLENUM_BUILD_TIRASSE_CORE=ON \
  -DPLENUM_BUILD_BENCH=OFF \
  "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
"$WINESERVER" -k 2>/dev/null || true  # the build ran the firmware tool under Wine
