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
  python3 vim
  mandoc chromium
)
# Node.js may come from elsewhere than Debian with its own npm, which Debian's npm
# package conflicts with: take Debian's only where there is no npm at all.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
"$here/install-packages.sh" "${packages[@]}"
