#!/usr/bin/env bash
# screens.sh BUILD_DIR OUT_DIR
# Screenshots of the home screen with the program's row at 176x220 and
# 240x320: the row selected while the program is online (home-online-*), and
# the selection on the date after the program has quit (home-offline-*).
# Per size: a fresh device with the default scheme, a headless home screen,
# and the program, which puts its row in through its menu and signs on as
# the demo account at the local server (free ports).
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
OUT="$(mkdir -p "$2" && cd "$2" && pwd)"
SERVER="$BUILD/tools/oscar-server/oscar-server"
PHONECTL="$BUILD/tools/phonectl/phonectl"
SOURCE="$(cd "$(dirname "$0")/../.." && pwd)"
WORK="$(mktemp -d /tmp/corvane-home-screens-XXXXXX)"
PIDS=()
cleanup() { for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done; rm -rf "$WORK"; }
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
PORT=$(free_port)
"$SERVER" --listen 127.0.0.1 --login-port "$PORT" --bos-port "$(free_port)" --data "$WORK/data" > "$WORK/server.out" 2>&1 &
PIDS+=($!)
for _ in $(seq 1 100); do grep -q listening "$WORK/server.out" 2>/dev/null && break; sleep 0.1; done

for SIZE in 176x220 240x320; do
  export CORVANE_DEVICE="$WORK/device-$SIZE" CORVANE_DISPLAY=headless CORVANE_SCREEN=$SIZE CORVANE_TIME_SCALE=20
  FOLDER="$CORVANE_DEVICE/Program Files/Corvane"
  bash "$SOURCE/scripts/install-device.sh" "$BUILD" "$CORVANE_DEVICE" > /dev/null
  printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PORT" > "$FOLDER/Corvane.config"
  "$FOLDER/homescreen" > "$WORK/home.out" 2>&1 &
  HOME_PID=$!
  PIDS+=($HOME_PID)
  "$FOLDER/Corvane" > /dev/null 2>&1 &
  PROGRAM_PID=$!
  PIDS+=($PROGRAM_PID)
  ctl() { "$PHONECTL" --pid "$HOME_PID" "$@" > /dev/null; }
  program() { "$PHONECTL" --pid "$PROGRAM_PID" "$@"; }
  shows() { for _ in $(seq 1 150); do "$PHONECTL" --pid "$HOME_PID" text 2>/dev/null | grep -q -- "$1" && return 0; sleep 0.2; done; return 1; }
  # The row goes into the default scheme through the program's menu:
  # Configuration -> Home Screen -> Setup, Next, Auto-hide off, Done.
  for _ in $(seq 1 100); do program wait Corvane 1 > /dev/null 2>&1 && break; sleep 0.1; done
  program keys F2 2 5 1 > /dev/null
  program wait PluginConfigDlg1 10 > /dev/null
  program keys F2 > /dev/null
  program wait PluginConfigDlg2 10 > /dev/null
  # Auto-hide off (it has the focus), so the row stays after the program quits.
  program keys Enter F2 > /dev/null
  shows '"ICQ"'
  # Online through the program's status menu.
  for _ in $(seq 1 50); do program keys F2 4 1 > /dev/null 2>&1 && break; sleep 0.1; done
  shows '"Online (.*)"'
  # The row is the last one; Down stops there.
  ctl keys Down Down Down
  sleep 0.5
  ctl screenshot "$OUT/home-online-$SIZE.png"
  kill "$PROGRAM_PID"
  wait "$PROGRAM_PID" 2>/dev/null || true
  ctl keys Up Up
  shows '"Offline"'
  sleep 0.5
  ctl screenshot "$OUT/home-offline-$SIZE.png"
  kill "$HOME_PID"
  wait "$HOME_PID" 2>/dev/null || true
done
echo "home screens in $OUT"
