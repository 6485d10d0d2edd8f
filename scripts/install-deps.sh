#!/usr/bin/env bash
# Installs everything a fresh Debian machine lacks to build, test and run Corvane.
# Safe to run repeatedly: it asks apt only when a package is missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-14-dev          # libFuzzer and the sanitizer runtimes for clang
  libpugixml-dev                    # XML documents
  libicu-dev                        # code pages, collation, case mapping
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libsdl2-dev                       # window, keys, audio
  libpng-dev                        # screenshots
  libgtest-dev libgmock-dev         # unit tests
  libbenchmark-dev                  # benchmarks
  python3                           # test helper scripts
  dpkg-dev                          # dpkg-shlibdeps: the Debian package's dependencies
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
