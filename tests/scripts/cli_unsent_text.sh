#!/usr/bin/env bash
# A message that was not confirmed stays as the contact's unsent text in the
# contact-list cache and is there again after corvane-cli is restarted.
# Usage: cli_unsent_text.sh CORVANE_CLI OSCAR_SERVER
set -euo pipefail
CLI="$1"
SERVER="$2"
source "$(dirname "${BASH_SOURCE[0]}")/cli_common.sh"
# Nobody has UIN 999999: the server refuses the message and it is never
# confirmed.
run_cli "$WORK/first.out" --folder "$WORK/program" <<END
account 100001 demo 127.0.0.1:$PORT
status online
wait-for Online 600
msg 999999 keep me, please
wait-for event 44 600
quit
END
grep -q 'event 44 not-confirmed to 999999' "$WORK/first.out"

run_cli "$WORK/second.out" --folder "$WORK/program" <<END
list
quit
END
grep -q '^contact 999999 .* unsent="keep me, please"' "$WORK/second.out"

# A confirmed message leaves no unsent text behind.
run_cli "$WORK/third.out" --folder "$WORK/program" <<END
status online
wait-for Online 600
msg 100100 echo this
wait-for event 42 600
quit
END
run_cli "$WORK/fourth.out" --folder "$WORK/program" <<END
list
quit
END
if grep -q '^contact 100100 .*unsent=' "$WORK/fourth.out"; then
  echo "a delivered message came back as unsent"
  exit 1
fi
echo "cli_unsent_text: ok"
