#!/usr/bin/env bash
# Installs the Debian packages the project needs, when some are missing. Runs as root on a Debian
# machine; updates the package lists only when there is something to install. Packages named as
# arguments are installed too: what a maintainer's script needs beyond the build and the tests
# (scripts/order-hot-code.sh: valgrind).
#   scripts/install-dependencies.sh [PACKAGE...]
set -euo pipefail

packages=(
  cmake ninja-build g++
  libgtest-dev libgmock-dev libbenchmark-dev
  libfltk1.3-dev xvfb xauth xdotool
  libcli11-dev nlohmann-json3-dev
  clang libclang-rt-14-dev clang-format
  libcairo2-dev poppler-utils
  neovim
  g++-mingw-w64-x86-64-posix wine64 googletest zip unzip dpkg-dev
)
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
