#!/usr/bin/env bash
# corvane-cli reaches "Online" against the local OSCAR server, from a shell
# script, as a user would drive it.
# Usage: cli_online.sh CORVANE_CLI OSCAR_SERVER
set -euo pipefail
CLI="$1"
SERVER="$2"
WORK="$(mktemp -d /tmp/corvane-cli-XXXXXX)"
SERVER_PID=""
cleanup() {
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
PORT=$(free_port)
BOS=$(free_port)
cat > "$WORK/accounts.xml" <<'XML'
<accounts><account uin="100001" password="demo" nick="Demo"/></accounts>
XML
"$SERVER" --listen 127.0.0.1 --login-port "$PORT" --bos-port "$BOS" --accounts "$WORK/accounts.xml" \
  --data "$WORK/data" > "$WORK/server.out" 2>&1 &
SERVER_PID=$!
for _ in $(seq 1 100); do grep -q listening "$WORK/server.out" && break; sleep 0.1; done
grep -q listening "$WORK/server.out"

export CORVANE_TIME_SCALE=20
# Every run of the console is shown, also when it fails.
run_cli() { local out="$1"; shift; "$CLI" "$@" > "$out" || { echo "corvane-cli exited with $?"; cat "$out"; return 1; }; cat "$out"; }
export CORVANE_DEVICE="$WORK/device"
OUT="$WORK/cli.out"
run_cli "$OUT" --folder "$WORK/program" <<END
account 100001 demo 127.0.0.1:$PORT
status online
wait-for Online 600
wait-for event 36 600
list
status offline
wait-for event 38 600
quit
END
grep -q 'event 16 status "Online"' "$OUT"
grep -q 'ok wait-for Online' "$OUT"
grep -q 'event 36 own-status 0 "Online"' "$OUT"
grep -q '^group 1 "General"' "$OUT"
grep -q '^contact 100100 ' "$OUT"
grep -q "ok wait-for event 38" "$OUT"
# A wrong password is reported with its error code.
run_cli "$OUT" --folder "$WORK/program2" <<END || true
account 100001 nope 127.0.0.1:$PORT
status online
wait-for event 46 600
quit
END
grep -q 'event 46 login-rejected 5' "$OUT"
grep -q 'error="ICQ connection rejected: error 5"' "$OUT"
echo "cli_online: ok"
