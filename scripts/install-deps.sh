#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when all are there.
# Extra package names given as arguments are installed the same way (scripts that need more).
set -euo pipefail

packages=(
  cmake ninja-build pkg-config git
  clang libclang-rt-14-dev           # native build: sanitizers and libFuzzer
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils imagemagick
  nsis                               # makensis: the Windows installer
  osslsigncode openssl               # signing here, and the packaging test's throwaway certificate
  libwine-dev                        # Wine's IDL files: UI Automation stand-in, interface check
  wine64-tools                       # Wine's widl, which reads those IDL files
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# With their recommendations: Wine needs the X extension libraries and fonts it recommends.
$sudo apt-get install -y -qq "${missing[@]}"
