#!/usr/bin/env bash
# screens.sh BUILD_DIR OUT_DIR
# Screenshots of the home screen with the program's row at 176x220 and
# 240x320: the row selected while the program is online (home-online-*), and
# the selection on the date after the program has quit (home-offline-*). Runs the local server on free ports, the program signed
# on as the demo account and a headless home screen per size.
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
  SCHEME="$CORVANE_DEVICE/Application Data/Home/Corvane.default.xml"
  cat > "$SCHEME" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<home>
  <title>Corvane - Home</title>
  <default>
    <format font-face="Nina" font-size="14" padding-left="4" padding-top="3" fgcolor="COLOR_HOMETEXT"
            bgcolor="TRANSPARENT" b-border-color="COLOR_HOMERULE" b-border-width="1">
      <format state="selected" bgcolor="COLOR_HOMEHIGHLIGHT" fgcolor="COLOR_HOMEHIGHLIGHTTEXT"/>
    </format>
  </default>
  <datetime height="24"/>
  <plugin clsid="{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}" name="Corvane" height="22" autoheight="False" show-b-border="1"/>
  <operator name="Sim Mobile" height="22"/>
</home>
XML
  "$FOLDER/homescreen" --set "$SCHEME"
  printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PORT" > "$FOLDER/Corvane.config"
  # The program registers the plug-in's class when it starts.
  "$FOLDER/Corvane" > /dev/null 2>&1 &
  PROGRAM_PID=$!
  PIDS+=($PROGRAM_PID)
  for _ in $(seq 1 100); do grep -q InprocServer32 "$CORVANE_DEVICE/registry.xml" 2>/dev/null && break; sleep 0.1; done
  "$FOLDER/homescreen" > "$WORK/home.out" 2>&1 &
  HOME_PID=$!
  PIDS+=($HOME_PID)
  ctl() { "$PHONECTL" --pid "$HOME_PID" "$@" > /dev/null; }
  shows() { for _ in $(seq 1 150); do "$PHONECTL" --pid "$HOME_PID" text 2>/dev/null | grep -q -- "$1" && return 0; sleep 0.2; done; return 1; }
  # Online through the program's status menu.
  for _ in $(seq 1 100); do "$PHONECTL" --pid "$PROGRAM_PID" wait Corvane 1 > /dev/null 2>&1 && break; sleep 0.1; done
  "$PHONECTL" --pid "$PROGRAM_PID" keys F2 4 1 > /dev/null
  shows '"Online (.*)"'
  ctl keys Down
  sleep 0.5
  ctl screenshot "$OUT/home-online-$SIZE.png"
  kill "$PROGRAM_PID"
  wait "$PROGRAM_PID" 2>/dev/null || true
  ctl keys Up
  shows '"Offline"'
  sleep 0.5
  ctl screenshot "$OUT/home-offline-$SIZE.png"
  kill "$HOME_PID"
  wait "$HOME_PID" 2>/dev/null || true
done
echo "home screens in $OUT"
