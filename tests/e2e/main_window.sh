#!/usr/bin/env bash
# main_window.sh BUILD_DIR SERVER PHONECTL
# The program on a headless phone against the local server, driven with the
# remote control as a user would: sign on through Menu -> ICQ Status, open
# "User" twice, show and hide offline contacts with the left soft key, and
# rebind key 1 in the tool bar configuration, which changes the tool bar.
set -euo pipefail
BUILD="$1"
SERVER="$2"
PHONECTL="$3"
SOURCE="$(cd "$(dirname "$0")/../.." && pwd)"

source "$SOURCE/tests/e2e/lib.sh"
cat > "$WORK/accounts.xml" <<'XML'
<accounts><account uin="100001" password="demo" nick="Demo"/></accounts>
XML
start_server
start_program main 100001 demo
FOLDER="$WORK/main/Program Files/Corvane"
count_of() { drawn main | grep -c -- "$1" || true; }

echo "step: offline at start"
shows main '"ICQ Offline"'
shows main '"Show Offline"'

echo "step: sign on through Menu -> ICQ Status -> Online"
choose_status main 1 Online

echo "step: the contacts' presence"
if [ -f "$SOURCE/ui/ContactListViewPending.cpp" ]; then
  echo "  (the contact list draws no rows yet: skipped)"
else
  shows main '100100|Echo'
fi

echo "step: User twice gives the same items"
for round in 1 2; do
  press main F2 1
  shows main 'Find ICQ User"'
  [ "$(count_of 'Find ICQ User"')" = 1 ] || fail "Find ICQ User shown twice (round $round)"
  press main Back Back
  for _ in $(seq 1 50); do drawn main | grep -q 'Find ICQ User"' || break; sleep 0.1; done
done

echo "step: show and hide offline contacts"
press main F1
shows main '"Hide Offline"'
grep -q 'SHOW_OFFLINE=True' "$FOLDER/Corvane.config" || fail "SHOW_OFFLINE not saved"
press main F1
shows main '"Show Offline"'

echo "step: rebind key 1 in the tool bar configuration"
ctl main screenshot "$WORK/before.png" > /dev/null || fail "no screenshot"
press main F2 2 4
shows main '"Left Key"'
# Focus on the Key1 row (the second list box), then the next action, then OK.
key1_focused() { ctl main windows | grep '"LISTBOX"' | sed -n 2p | grep -q focus; }
for _ in $(seq 1 50); do key1_focused && break; press main Down; sleep 0.2; done
key1_focused || fail "the Key1 row never got the focus"
press main Right F1
for _ in $(seq 1 100); do grep -q 'KEY1=SOUND' "$FOLDER/Corvane.config" && break; sleep 0.1; done
grep -q 'KEY1=SOUND' "$FOLDER/Corvane.config" || fail "KEY1 not stored as SOUND"
shows main '"ICQ Online"'
sleep 0.5
ctl main screenshot "$WORK/after.png" > /dev/null || fail "no screenshot"
python3 - "$WORK/before.png" "$WORK/after.png" "$SOURCE/tests/e2e" <<'PY' || fail "the tool bar did not change"
import sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[3])
from png_rows import rows
(channels, before), (_, after) = rows(sys.argv[1]), rows(sys.argv[2])
# The tool bar: the 19 rows above the soft-key strip (22 rows), first button.
band = range(len(before) - 22 - 19, len(before) - 22)
sys.exit(0 if any(before[y][:20 * channels] != after[y][:20 * channels] for y in band) else 1)
PY

echo "step: quit from the keypad"
quit_program main
echo "main window: all steps passed"
