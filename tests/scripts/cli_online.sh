#!/usr/bin/env bash
# corvane-cli reaches "Online" against the local OSCAR server, from a shell
# script, as a user would drive it.
# Usage: cli_online.sh CORVANE_CLI OSCAR_SERVER
set -euo pipefail
CLI="$1"
SERVER="$2"
source "$(dirname "${BASH_SOURCE[0]}")/cli_common.sh"
OUT="$WORK/cli.out"
run_cli "$OUT" --folder "$WORK/program" <<END
account 100001 demo 127.0.0.1:$PORT
status online
wait-for Online 600
wait-for event 36 600
list
status offline
wait-for event 38 600
wait-for Offline 600
quit
END
grep -q 'event 16 status "Online"' "$OUT"
grep -q 'ok wait-for Online' "$OUT"
grep -q 'event 36 own-status 0 "Online"' "$OUT"
grep -q '^group 1 "General"' "$OUT"
grep -q '^contact 100100 ' "$OUT"
grep -q "ok wait-for event 38" "$OUT"
grep -q "ok wait-for Offline" "$OUT"
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
