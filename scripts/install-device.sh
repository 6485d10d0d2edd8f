#!/usr/bin/env bash
# install-device.sh BUILD_DIR DEVICE_DIR
# Lays out the simulated device's program folder from a build:
#   DEVICE/Program Files/Corvane/  binaries and the default data sets
#   DEVICE/Application Data/Home/  home-screen scheme files
#   DEVICE/run/                    sockets of live windows
# and gives a fresh device its home screen: the default scheme
# (Home/default.xml) made current when no scheme is set.
set -euo pipefail
BUILD="$1"
DEVICE="$2"
# The device folder holds the user's account: its new folders are the user's only.
umask 077
mkdir -p "$DEVICE/Program Files/Corvane" "$DEVICE/Application Data/Home" "$DEVICE/run"
cmake --install "$BUILD" --prefix "$DEVICE/Program Files/Corvane" >/dev/null
# The install gives the program folder the modes of the sources' folder; it
# holds the settings, caches and histories.
chmod go-rwx "$DEVICE/Program Files/Corvane"
if [ -x "$DEVICE/Program Files/Corvane/homescreen" ]; then
  CORVANE_DEVICE="$(cd "$DEVICE" && pwd)" "$DEVICE/Program Files/Corvane/homescreen" --init ||
    echo "install-device: the home screen's default scheme was not set up" >&2
fi
echo "device: $DEVICE"
