#!/usr/bin/env bash
# Installs what is missing, builds Corvane, lays out the simulated device and
# starts the program. Extra arguments go to the program.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
DEVICE="${CORVANE_DEVICE:-$HOME/.corvane-device}"
bash scripts/install-device.sh build/release "$DEVICE"

export CORVANE_DEVICE="$DEVICE"
exec "$DEVICE/Program Files/Corvane/Corvane" "$@"
