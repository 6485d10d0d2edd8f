# Helpers of the end-to-end scripts: a local server and console clients that
# the script drives line by line, as two people at two phones would.
#
#   start_server                     the server on free ports (again on the same
#                                    ports and data folder after stop_server)
#   start_client NAME [ARGS...]      corvane-cli reading commands from a pipe
#   send NAME COMMAND...             types one command line into a client
#   expect NAME REGEX [SECONDS]      waits for an output line matching REGEX
#                                    (extended grep); each line counts once per
#                                    pattern, so the same REGEX twice waits for
#                                    two lines
#   expect_since NAME LINE REGEX [SECONDS]
#                                    waits for a matching line at or after
#                                    output line LINE (see next_line)
#   next_line NAME                   the number of the client's next output line
#   list_has NAME REGEX [SECONDS]    asks "list" until a line of it matches
#   list_lacks NAME REGEX [SECONDS]  asks "list" until no line of it matches
#   stop_client NAME                 "quit", then waits for the process
#   seed_list OWNER UIN NICK         before the first start_server: OWNER's
#                                    server-stored list holds the echo account
#                                    and UIN (named NICK) in group "General"
#
# Programs on headless phones (176x220 unless CORVANE_SCREEN says otherwise),
# driven through the remote control (PHONECTL, BUILD and SOURCE set before
# sourcing; each program has its own device folder):
#   start_program NAME UIN PASSWORD  Corvane signed off, pointed at the server
#   ctl NAME ARGS...                 phonectl on that program's screen
#   press NAME KEY...                presses keys (names as phonectl's)
#   type_text NAME TEXT              types text into the focused box
#   drawn NAME                       the texts drawn on its screen now
#   shows NAME REGEX [SECONDS]       waits for a drawn text matching REGEX
#                                    (extended grep on the lines of "drawn")
#   lacks NAME REGEX [SECONDS]       waits until no drawn text matches
#   choose_status NAME ITEM STATUS   Menu -> ICQ Status -> item ITEM (1 Online,
#                                    8 Offline), then waits for "ICQ STATUS"
#                                    in the status bar
#   quit_program NAME                Quit (key 0) confirmed with OK; fails
#                                    unless the process ends with code 0
#
# Waits are in real seconds; device time runs CORVANE_TIME_SCALE times faster.
# Sourced after CLI and SERVER are set. Everything is stopped and removed on
# exit; on failure the clients' output is shown.
WORK="$(mktemp -d /tmp/corvane-e2e-XXXXXX)"
export CORVANE_DEVICE="$WORK/device"
export CORVANE_TIME_SCALE="${CORVANE_TIME_SCALE:-20}"
export CORVANE_DISPLAY=headless
export CORVANE_SCREEN="${CORVANE_SCREEN:-176x220}"
# Headless phones need no sound card; the libraries' own allocations behind
# it are no leaks of ours (as in scripts/test.sh).
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/lsan.supp}"
SERVER_PID=""
declare -A CLIENT_PID CLIENT_FD MATCHED PROGRAM_PID
CLIENTS=()
PROGRAMS=()

cleanup() {
  local name
  for name in "${CLIENTS[@]}"; do
    [ -n "${CLIENT_PID[$name]:-}" ] && kill "${CLIENT_PID[$name]}" 2>/dev/null
  done
  for name in "${PROGRAMS[@]}"; do
    [ -n "${PROGRAM_PID[$name]:-}" ] && kill "${PROGRAM_PID[$name]}" 2>/dev/null
  done
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null
  wait 2>/dev/null
  if [ -n "${KEEP_WORK:-}" ]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

fail() {
  local name
  echo "FAILED: $*"
  for name in "${CLIENTS[@]}"; do
    echo "----- $name: output (last 60 lines)"
    tail -n 60 "$WORK/$name.out"
    echo "----- $name: standard error"
    tail -n 20 "$WORK/$name.err"
  done
  for name in "${PROGRAMS[@]}"; do
    echo "----- $name: screen"
    [ -n "${PROGRAM_PID[$name]:-}" ] && drawn "$name"
    echo "----- $name: output (last 30 lines)"
    tail -n 30 "$WORK/$name.out"
  done
  echo "----- server"
  tail -n 20 "$WORK/server.out"
  exit 1
}

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
PORT=$(free_port)
BOS_PORT=$(free_port)

start_server() {
  : > "$WORK/server.out"
  "$SERVER" --listen 127.0.0.1 --login-port "$PORT" --bos-port "$BOS_PORT" --accounts "$WORK/accounts.xml" \
    --data "$WORK/server-data" >> "$WORK/server.out" 2>&1 &
  SERVER_PID=$!
  local i
  # Polled often: a script may hold the server still right after it listens.
  for i in $(seq 1 1000); do
    grep -q listening "$WORK/server.out" && return 0
    sleep 0.01
  done
  fail "the server did not start"
}

# Kills the server without warning, as a crash or a pulled cable would.
kill_server() {
  kill -9 "$SERVER_PID" 2>/dev/null
  wait "$SERVER_PID" 2>/dev/null || true
  SERVER_PID=""
}

start_client() {
  local name="$1"
  shift
  mkfifo "$WORK/$name.in"
  "$CLI" --times --folder "$WORK/$name" "$@" < "$WORK/$name.in" > "$WORK/$name.out" 2> "$WORK/$name.err" &
  CLIENT_PID[$name]=$!
  local fd
  exec {fd}> "$WORK/$name.in"
  CLIENT_FD[$name]=$fd
  CLIENTS+=("$name")
}

send() {
  local name="$1"
  shift
  printf '%s\n' "$*" >&"${CLIENT_FD[$name]}" || fail "$name: cannot type \"$*\" (ended?)"
}

expect() {
  local name="$1" pattern="$2" limit="${3:-60}"
  local key="$name|$pattern"
  local need=$(( ${MATCHED[$key]:-0} + 1 ))
  local deadline=$(( SECONDS + limit ))
  while :; do
    local count
    count=$(grep -cE -- "$pattern" "$WORK/$name.out" || true)
    if [ "$count" -ge "$need" ]; then
      MATCHED[$key]=$need
      return 0
    fi
    [ "$SECONDS" -ge "$deadline" ] && fail "$name: no line matching /$pattern/ within ${limit} s"
    sleep 0.05
  done
}

next_line() { echo $(( $(wc -l < "$WORK/$1.out") + 1 )); }

expect_since() {
  local name="$1" from="$2" pattern="$3" limit="${4:-60}"
  local deadline=$(( SECONDS + limit ))
  until tail -n "+$from" "$WORK/$name.out" | grep -qE -- "$pattern"; do
    [ "$SECONDS" -ge "$deadline" ] && fail "$name: no line matching /$pattern/ since line $from within ${limit} s"
    sleep 0.05
  done
}

# Prints the lines of a fresh "list" of the client.
fresh_list() {
  local name="$1"
  local from
  from=$(next_line "$name")
  send "$name" list
  local i
  for i in $(seq 1 200); do
    if tail -n "+$from" "$WORK/$name.out" | grep -q '^list date='; then
      tail -n "+$from" "$WORK/$name.out"
      return 0
    fi
    sleep 0.05
  done
  fail "$name: \"list\" gave no answer"
}

# Runs PROBE ARGS... (which prints lines) until a line matches PATTERN
# (WANT has) or none does (WANT lacks); WHAT names the lines in the failure.
wait_lines() {
  local what="$1" want="$2" pattern="$3" limit="$4" pause="$5"
  shift 5
  local deadline=$(( SECONDS + limit ))
  while :; do
    local found=lacks
    "$@" | grep -qE -- "$pattern" && found=has
    [ "$found" = "$want" ] && return 0
    [ "$SECONDS" -ge "$deadline" ] &&
      fail "$what: after ${limit} s still $( [ "$want" = has ] && echo lacks || echo has ) /$pattern/"
    sleep "$pause"
  done
}

# Asks "list" until a line of it matches (has) or none does (lacks).
list_wait() { wait_lines "$1: the list" "$2" "$3" "${4:-60}" 0.2 fresh_list "$1"; }
list_has() { list_wait "$1" has "$2" "${3:-60}"; }
list_lacks() { list_wait "$1" lacks "$2" "${3:-60}"; }

stop_client() {
  local name="$1"
  send "$name" quit
  local fd="${CLIENT_FD[$name]}"
  exec {fd}>&-
  wait "${CLIENT_PID[$name]}" 2>/dev/null || true
  CLIENT_PID[$name]=""
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$WORK/$name.err"; then
    fail "$name: sanitizer report"
  fi
}

# The device time (ms) of the Nth line (1 = first) matching REGEX at or after
# output line FROM of a client.
stamp_of() {
  local name="$1" from="$2" pattern="$3" nth="$4"
  tail -n "+$from" "$WORK/$name.out" | grep -E -- "$pattern" | sed -n "${nth}p" |
    sed -E 's/^\[t=([0-9]+)\].*/\1/'
}

# Hex of a text's bytes, as the server's data files keep names and items.
hex_of() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }

seed_list() {
  local owner="$1" uin="$2" nick="$3"
  local nick_hex
  nick_hex=$(hex_of "$nick")
  mkdir -p "$WORK/server-data"
  {
    echo "date 1700000000"
    echo "item 1 0 0 - 00c800020001"
    echo "item 1 1 0 $(hex_of General) 00c8000400010002"
    echo "item 4 0 3 - 00ca00010100cb0004ffffffff"
    echo "item 0 1 1 $(hex_of 100100) 01310004$(hex_of Echo)"
    printf 'item 0 1 2 %s 0131%04x%s\n' "$(hex_of "$uin")" $(( ${#nick_hex} / 2 )) "$nick_hex"
  } > "$WORK/server-data/$owner.list"
}

start_program() {
  local name="$1" uin="$2" password="$3"
  local device="$WORK/$name"
  local folder="$device/Program Files/Corvane"
  bash "$SOURCE/scripts/install-device.sh" "$BUILD" "$device" > /dev/null || fail "$name: cannot lay out the device"
  printf 'ICQ_ENABLED=True\r\nUIN=%s\r\nPASSWORD=%s\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$uin" "$password" "$PORT" \
    > "$folder/Corvane.config"
  CORVANE_DEVICE="$device" "$folder/Corvane" > "$WORK/$name.out" 2>&1 &
  PROGRAM_PID[$name]=$!
  PROGRAMS+=("$name")
  local i
  for i in $(seq 1 100); do ctl "$name" wait Corvane 1 > /dev/null 2>&1 && return 0; sleep 0.1; done
  fail "$name: the main window never appeared"
}

ctl() {
  local name="$1"
  shift
  CORVANE_DEVICE="$WORK/$name" "$PHONECTL" --pid "${PROGRAM_PID[$name]}" "$@"
}

# Right after a window closes no window may take keys for a moment: a
# refused input is tried again for a while before the script fails.
remote_input() {
  local name="$1"
  shift
  local i
  for i in $(seq 1 60); do
    ctl "$name" "$@" > /dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "$name: the screen takes no input ($*)"
}
press() { remote_input "$1" keys "${@:2}"; }
type_text() { remote_input "$1" type "$2"; }

drawn() { ctl "$1" text 2>/dev/null || true; }

shows() { wait_lines "$1: the screen" has "$2" "${3:-30}" 0.05 drawn "$1"; }
lacks() { wait_lines "$1: the screen" lacks "$2" "${3:-30}" 0.05 drawn "$1"; }

choose_status() {
  local name="$1" item="$2" status="$3"
  press "$name" F2
  shows "$name" '"4 ICQ Status"'
  press "$name" 4 "$item"
  shows "$name" "\"ICQ $status\""
}

quit_program() {
  local name="$1" pid="${PROGRAM_PID[$1]}"
  press "$name" 0
  shows "$name" '"Quit\?"'
  # OK on the question, again while the box has not taken the keys yet.
  local i
  for i in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    drawn "$name" | grep -q '"Quit?"' && { ctl "$name" keys F1 > /dev/null 2>&1 || true; }
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "$name: still running after Quit"
  local code=0
  wait "$pid" || code=$?
  PROGRAM_PID[$name]=""
  [ "$code" -eq 0 ] || fail "$name: exit code $code after Quit"
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$WORK/$name.out"; then
    fail "$name: sanitizer report"
  fi
}
