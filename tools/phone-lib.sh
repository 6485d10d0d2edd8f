# Shared by the scripts that drive the program on a headless phone through the
# remote control (tools/gallery.sh, the run-command check of scripts/test.sh).
# Sourced after PHONECTL (the phonectl binary) is set.
#
#   free_port                        prints a free TCP port on 127.0.0.1
#   phone_server SERVER DIR          starts the local server on free ports with
#                                    its data in DIR; sets PHONE_SERVER_PID and
#                                    PHONE_PORT (the login port)
#   phone_device BUILD DEVICE [LINE...]
#                                    lays out a device folder whose program signs
#                                    on as the demo account at PHONE_PORT; each
#                                    LINE (KEY=VALUE) is added to its settings
#   phone_start DEVICE SIZE          starts the program headless on that device
#                                    and waits for its main window; sets PHONE_PID
#   phone_stop                       SIGTERM to the program, waits for it to end
#   ctl ARGS...                      phonectl for the program (PHONE_PID, or the
#                                    only screen of CORVANE_DEVICE when unset)
#   shows REGEX [SECONDS]            waits until a line of the screen's text
#                                    matches (basic grep), default 30 s
#   hides REGEX [SECONDS]            waits until no line matches
#   press KEY...                     keys, retried while the screen has no
#                                    window that takes them yet
PHONE_PID=""
PHONE_SERVER_PID=""
PHONE_PORT=""

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }

phone_server() {
  local server="$1" dir="$2"
  mkdir -p "$dir"
  : > "$dir/server.out"
  PHONE_PORT=$(free_port)
  "$server" --listen 127.0.0.1 --login-port "$PHONE_PORT" --bos-port "$(free_port)" --data "$dir/data" \
    > "$dir/server.out" 2>&1 &
  PHONE_SERVER_PID=$!
  local _
  for _ in $(seq 1 100); do grep -q listening "$dir/server.out" && return 0; sleep 0.1; done
  echo "the local server did not start:" >&2
  cat "$dir/server.out" >&2
  return 1
}

phone_device() {
  local build="$1" device="$2"
  shift 2
  local folder="$device/Program Files/Corvane"
  bash "$(dirname "${BASH_SOURCE[0]}")/../scripts/install-device.sh" "$build" "$device" > /dev/null
  {
    printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PHONE_PORT"
    local line
    for line in "$@"; do printf '%s\r\n' "$line"; done
  } > "$folder/Corvane.config"
}

phone_start() {
  local device="$1" size="$2"
  CORVANE_DEVICE="$device" CORVANE_DISPLAY=headless CORVANE_SCREEN="$size" \
    "$device/Program Files/Corvane/Corvane" > "$device/program.out" 2>&1 &
  PHONE_PID=$!
  export CORVANE_DEVICE="$device"
  local _
  for _ in $(seq 1 100); do ctl wait Corvane 1 > /dev/null 2>&1 && return 0; sleep 0.1; done
  echo "the program did not show its main window:" >&2
  cat "$device/program.out" >&2
  return 1
}

phone_stop() {
  [ -n "$PHONE_PID" ] || return 0
  kill "$PHONE_PID" 2>/dev/null
  wait "$PHONE_PID" 2>/dev/null || true
  PHONE_PID=""
}

ctl() {
  if [ -n "$PHONE_PID" ]; then "$PHONECTL" --pid "$PHONE_PID" "$@"; else "$PHONECTL" "$@"; fi
}

shows() {
  local pattern="$1" seconds="${2:-30}" _
  for _ in $(seq 1 $((seconds * 5))); do
    ctl text 2>/dev/null | grep -q -- "$pattern" && return 0
    sleep 0.2
  done
  return 1
}

hides() {
  local pattern="$1" seconds="${2:-30}" _
  for _ in $(seq 1 $((seconds * 5))); do
    ctl text 2>/dev/null | grep -q -- "$pattern" || return 0
    sleep 0.2
  done
  return 1
}

press() {
  local _
  for _ in $(seq 1 50); do ctl keys "$@" > /dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}
