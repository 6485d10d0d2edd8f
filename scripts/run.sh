#!/usr/bin/env bash
# Installs what is missing, builds Corvane, lays out the simulated device,
# starts the local OSCAR server and then the program on the phone's screen,
# set up for the server's demo account: Menu -> ICQ Status -> Online signs on,
# and the echo account 100100 answers every message. The screen is an SDL
# window when a display is there, a headless framebuffer otherwise; phonectl
# drives it either way. Ctrl+C (or SIGTERM) quits the program; the server is
# stopped with it.
#   ./scripts/run.sh             the program; further arguments go to it
#   ./scripts/run.sh --home      the phone's home screen and the program together
#   ./scripts/run.sh --console   the console front-end (corvane-cli), signed on:
#                                type "msg 100100 hello"; "quit", Ctrl+D or
#                                Ctrl+C end it
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
DEVICE="${CORVANE_DEVICE:-$HOME/.corvane-device}"
bash scripts/install-device.sh build/release "$DEVICE"
PROGRAM_FOLDER="$DEVICE/Program Files/Corvane"

# The first run sets up the local server's demo account.
if [ ! -f "$PROGRAM_FOLDER/Corvane.config" ]; then
  printf 'UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:5190\r\n' > "$PROGRAM_FOLDER/Corvane.config"
fi

SERVER_LOG="$DEVICE/oscar-server.log"
SERVER_PID=""
trap '[ -n "$SERVER_PID" ] && { kill "$SERVER_PID" 2>/dev/null; wait "$SERVER_PID" 2>/dev/null; }; true' EXIT

# Starts the server with the given port options and waits for its ready line;
# false when it ends before it listens (a port taken, for instance).
start_server() {
  build/release/tools/oscar-server/oscar-server --data "$DEVICE/oscar-server-data" "$@" > "$SERVER_LOG" 2>&1 &
  SERVER_PID=$!
  for _ in $(seq 1 100); do
    grep -q listening "$SERVER_LOG" && return 0
    kill -0 "$SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  grep -q listening "$SERVER_LOG" && return 0
  kill "$SERVER_PID" 2>/dev/null
  wait "$SERVER_PID" 2>/dev/null
  SERVER_PID=""
  return 1
}

# 127.0.0.1:5190 is the usual place; when another program holds it (or the
# BOS port next to it), any free ports will do.
if ! start_server; then
  echo "port 5190 or 5191 is taken ($(tail -1 "$SERVER_LOG")); starting the local server on free ports"
  if ! start_server --login-port 0; then
    echo "the local OSCAR server did not start:" >&2
    cat "$SERVER_LOG" >&2
    exit 1
  fi
fi
LOGIN_PORT="$(sed -n 's/.*listening on [0-9.]*:\([0-9]*\) .*/\1/p' "$SERVER_LOG" | head -1)"
echo "local OSCAR server: 127.0.0.1:$LOGIN_PORT (log: $SERVER_LOG)"

# The demo account signs on at the local server, wherever it listens.
CONFIG="$PROGRAM_FOLDER/Corvane.config"
if grep -qi '^UIN=100001' "$CONFIG" && grep -qi '^LOGINHOSTS=127\.0\.0\.1:[0-9]*'$'\r''\?$' "$CONFIG"; then
  sed -i 's/^LOGINHOSTS=127\.0\.0\.1:[0-9]*/LOGINHOSTS=127.0.0.1:'"$LOGIN_PORT"'/I' "$CONFIG"
fi

# The program in the background, so that Ctrl+C and SIGTERM reach it as one
# quit request (it runs its own shutdown) while this script waits for it and
# then stops the server. Its standard error goes to the terminal and to
# DEVICE/corvane.log, where a display that cannot be opened is reported.
run_program() {
  local log="$DEVICE/corvane.log" phonectl="$PROGRAM_FOLDER/phonectl" pid status
  "$PROGRAM_FOLDER/Corvane" "$@" 2> >(tee "$log" >&2) &
  pid=$!
  trap 'kill -TERM "$pid" 2>/dev/null' INT TERM
  for _ in $(seq 1 100); do
    "$phonectl" --pid "$pid" wait Corvane 1 > /dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "Corvane ended before showing its window (when it already runs on this device, that" \
      "instance is brought to the front instead); its messages: $log"
  elif [ "${CORVANE_DISPLAY:-}" = headless ] || grep -q 'running headless' "$log" ||
       { [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${CORVANE_DISPLAY:-}" != sdl ]; }; then
    cat <<TEXT
Corvane runs headless (no display): drive its screen from another terminal.
  export CORVANE_DEVICE="$DEVICE"
  P="$phonectl"
  "\$P" keys F2 4 1           Menu -> ICQ Status -> Online: sign on as 100001
  "\$P" keys Down Enter       the echo account's row, then its chat
  "\$P" type "hello :)"       characters into the chat's box
  "\$P" keys F1               Send (the left soft key)
  "\$P" text                  the text on the screen, window by window
  "\$P" screenshot /tmp/corvane.png
Keys: F1 F2 (soft keys) Up Down Left Right Enter Back 0-9 Star Hash.
Ctrl+C quits Corvane and stops the server.
TEXT
  else
    cat <<TEXT
Corvane runs in its window: F1/F2 are the soft keys, the arrows the joystick,
Enter the action key, 0-9 the number keys, Backspace or Esc the Back key.
Sign on with F2 (Menu) -> ICQ Status -> Online; the echo account 100100 answers.
Ctrl+C here quits Corvane and stops the server ($PROGRAM_FOLDER/phonectl drives it too).
TEXT
  fi
  # wait returns early when a signal is trapped; the program may still be
  # shutting down.
  while :; do
    status=0
    wait "$pid" || status=$?
    kill -0 "$pid" 2>/dev/null || break
  done
  return "$status"
}

export CORVANE_DEVICE="$DEVICE"
if [ "${1:-}" = "--home" ]; then
  shift
  set +e
  bash tools/homescreen/run-phone.sh "$@"
  exit $?
fi
if [ "${1:-}" != "--console" ]; then
  [ "${1:-}" = "--program" ] && shift  # the earlier spelling of the default
  run_program "$@"
  exit $?
fi

CLI_LOG="$DEVICE/corvane-cli.log"
cat <<TEXT
corvane-cli: the console front-end, signing on as 100001 (password demo).
Try:  msg 100100 hello    (the echo account answers with the same text)
      list                help                quit (or Ctrl+D, Ctrl+C)
Sound and vibration are reported in $CLI_LOG
TEXT
set +e
build/release/tools/corvane-cli/corvane-cli --folder "$PROGRAM_FOLDER" \
  --command "status online" --command "wait-for Online 60" 2> "$CLI_LOG"
status=$?
set -e
exit $status
