#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  build-essential cmake pkg-config flex bison
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  librtmidi-dev libasound2-dev libjack-jackd2-dev jackd2
  qt6-base-dev qt6-base-dev-tools libgl-dev
  clang
  python3 vim nodejs npm
)
"$here/install-packages.sh" "${packages[@]}"
