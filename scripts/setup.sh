#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the fuzzers need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialbus-dev qt6-websockets-dev qt6-svg-dev
  qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools qt6-translations-l10n
  libvalijson-dev libgl-dev
  # tests and their independent peers
  xvfb xauth python3 python3-pymodbus python3-serial python3-serial-asyncio
  python3-zeroconf python3-websockets mbpoll libmodbus-dev iproute2 util-linux
  # fuzzing and sanitizers
  clang-16 libclang-rt-16-dev
  # the Debian package and its check
  dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
