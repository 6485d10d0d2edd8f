#!/usr/bin/env bash
# main-screens.sh BUILD_DIR OUT_DIR
# Screenshots of the main window at 176x220 (Default skin) and 240x320 (QVGA
# skin): offline, online, with the "Menu" and "ICQ Status" pop-ups open, the
# "User" pop-up, and the tool bar configuration. Runs the local server on free
# ports and a headless program per size.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
OUT="$(mkdir -p "$2" && cd "$2" && pwd)"
SERVER="$BUILD/tools/oscar-server/oscar-server"
PHONECTL="$BUILD/tools/phonectl/phonectl"
SOURCE="$(cd "$(dirname "$0")/.." && pwd)"
WORK="$(mktemp -d /tmp/corvane-screens-XXXXXX)"
PIDS=()
cleanup() { for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done; rm -rf "$WORK"; }
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
PORT=$(free_port)
"$SERVER" --listen 127.0.0.1 --login-port "$PORT" --bos-port "$(free_port)" --data "$WORK/data" > "$WORK/server.out" 2>&1 &
PIDS+=($!)
for _ in $(seq 1 100); do grep -q listening "$WORK/server.out" && break; sleep 0.1; done

for SIZE in 176x220 240x320; do
  export CORVANE_DEVICE="$WORK/device-$SIZE" CORVANE_DISPLAY=headless CORVANE_SCREEN=$SIZE CORVANE_TIME_SCALE=20
  FOLDER="$CORVANE_DEVICE/Program Files/Corvane"
  bash "$SOURCE/scripts/install-device.sh" "$BUILD" "$CORVANE_DEVICE" > /dev/null
  printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PORT" > "$FOLDER/Corvane.config"
  "$FOLDER/Corvane" > /dev/null 2>&1 &
  PID=$!
  PIDS+=($PID)
  ctl() { "$PHONECTL" --pid "$PID" "$@" > /dev/null; }
  shows() { for _ in $(seq 1 150); do "$PHONECTL" --pid "$PID" text | grep -q -- "$1" && return 0; sleep 0.2; done; return 1; }
  for _ in $(seq 1 100); do ctl wait Corvane 1 2>/dev/null && break; sleep 0.1; done
  shows '"ICQ Offline"'
  ctl screenshot "$OUT/main-offline-$SIZE.png"
  ctl keys F2 4
  shows 'Free For Chat"'
  ctl screenshot "$OUT/main-menu-status-$SIZE.png"
  ctl keys 1
  shows '"ICQ Online"'
  sleep 1
  ctl screenshot "$OUT/main-online-$SIZE.png"
  ctl keys F2 1
  shows 'Find ICQ User"'
  ctl screenshot "$OUT/main-menu-user-$SIZE.png"
  ctl keys Back Back F2 2 4
  shows '"Left Key"'
  ctl screenshot "$OUT/main-toolbar-config-$SIZE.png"
  ctl keys F2
  kill "$PID"; wait "$PID" 2>/dev/null || true
done
echo "screenshots in $OUT"
