#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config flex bison
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  librtmidi-dev libasound2-dev libjack-jackd2-dev jackd2
  qt6-base-dev qt6-base-dev-tools libgl-dev
  clang
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  # jackd2 asks about realtime priority; answer no without a prompt.
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
