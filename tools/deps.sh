#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need.
# Skips apt entirely when everything is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build git pkg-config
  clang libomp-dev libclang-rt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl1-mesa-dev
  libcli11-dev nlohmann-json3-dev
  xvfb xauth python3
  dpkg-dev file desktop-file-utils appstream groff-base parallel
  # The windows preset: the cross compiler, Wine for its tests, GoogleTest's sources,
  # makensis for its installer, icoutils to list the programs' resources, unzip.
  g++-mingw-w64-x86-64-posix wine wine64 googletest nsis icoutils unzip
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
