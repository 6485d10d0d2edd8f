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
#
# Waits are in real seconds; device time runs CORVANE_TIME_SCALE times faster.
# Sourced after CLI and SERVER are set. Everything is stopped and removed on
# exit; on failure the clients' output is shown.
WORK="$(mktemp -d /tmp/corvane-e2e-XXXXXX)"
export CORVANE_DEVICE="$WORK/device"
export CORVANE_TIME_SCALE="${CORVANE_TIME_SCALE:-20}"
SERVER_PID=""
declare -A CLIENT_PID CLIENT_FD MATCHED
CLIENTS=()

cleanup() {
  local name
  for name in "${CLIENTS[@]}"; do
    [ -n "${CLIENT_PID[$name]:-}" ] && kill "${CLIENT_PID[$name]}" 2>/dev/null
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
  for i in $(seq 1 200); do
    grep -q listening "$WORK/server.out" && return 0
    sleep 0.05
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

# Asks "list" until a line of it matches (has) or none does (lacks).
list_wait() {
  local name="$1" want="$2" pattern="$3" limit="${4:-60}"
  local deadline=$(( SECONDS + limit ))
  while :; do
    local found=lacks
    fresh_list "$name" | grep -qE -- "$pattern" && found=has
    [ "$found" = "$want" ] && return 0
    [ "$SECONDS" -ge "$deadline" ] && fail "$name: after ${limit} s the list still $( [ "$want" = has ] && echo lacks || echo has ) /$pattern/"
    sleep 0.2
  done
}
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
