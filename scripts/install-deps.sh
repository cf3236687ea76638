#!/usr/bin/env bash
# Installs the Debian 12 packages Harvex needs to build, test and run, when
# they are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-wayland
  libgtest-dev googletest
  nlohmann-json3-dev libcli11-dev
  zlib1g-dev
  clang libclang-rt-14-dev
  locales
  desktop-file-utils appstream  # the desktop entry and metainfo checks
  dpkg-dev file lintian        # the .deb: cpack, its checker
  pybind11-dev python3-dev python3-numpy  # the Python module
  python3-pandas python3-pytest python3-dask python3-distributed  # its tables and tests
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
