#!/usr/bin/env bash
# Installs what is missing, builds Corvane, lays out the simulated device,
# starts the local OSCAR server and then the console front-end, signed on as
# the server's demo account: type "msg 100100 hello" and the echo account
# answers. "quit", Ctrl+D or Ctrl+C end it; the server is stopped with it.
#   ./scripts/run.sh             the console front-end (corvane-cli)
#   ./scripts/run.sh --program   the program itself: its main window on the phone's
#                                screen; further arguments go to the program
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
DEVICE="${CORVANE_DEVICE:-$HOME/.corvane-device}"
bash scripts/install-device.sh build/release "$DEVICE"
PROGRAM_FOLDER="$DEVICE/Program Files/Corvane"

# The first run signs on with the local server's demo account.
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

export CORVANE_DEVICE="$DEVICE"
if [ "${1:-}" = "--program" ]; then
  shift
  echo "Corvane runs (headless); Ctrl+C ends it"
  "$PROGRAM_FOLDER/Corvane" "$@"
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
