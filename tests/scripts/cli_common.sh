# Shared by the console scripts: sourced after CLI and SERVER are set.
# Makes a private work folder, starts the local server on free ports with the
# demo account, and offers run_cli, which shows the console's output also when
# it fails. Everything is removed and stopped on exit.
WORK="$(mktemp -d /tmp/corvane-script-XXXXXX)"
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
export CORVANE_DEVICE="$WORK/device"
run_cli() { local out="$1"; shift; "$CLI" "$@" > "$out" || { echo "corvane-cli exited with $?"; cat "$out"; return 1; }; cat "$out"; }
