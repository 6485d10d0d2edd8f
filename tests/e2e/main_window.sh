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

# The local server on free ports with the demo account, in a private folder.
source "$SOURCE/tests/scripts/cli_common.sh"
PROGRAM_PID=""
stop_program() {
  [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null && wait "$PROGRAM_PID" 2>/dev/null || true
  cleanup
}
trap stop_program EXIT
fail() { echo "FAIL: $*"; cat "$FOLDER/Corvane.config" 2>/dev/null | grep -a "KEY\|SHOW" ; echo "--- screen:"; "$PHONECTL" --pid "$PROGRAM_PID" text || true; exit 1; }

export CORVANE_DEVICE="$WORK/device"
export CORVANE_DISPLAY=headless
export CORVANE_SCREEN=176x220
FOLDER="$CORVANE_DEVICE/Program Files/Corvane"
bash "$SOURCE/scripts/install-device.sh" "$BUILD" "$CORVANE_DEVICE" > /dev/null
printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PORT" > "$FOLDER/Corvane.config"
"$FOLDER/Corvane" > "$WORK/program.out" 2>&1 &
PROGRAM_PID=$!
ctl() { "$PHONECTL" --pid "$PROGRAM_PID" "$@"; }
for _ in $(seq 1 100); do ctl wait Corvane 1 > /dev/null 2>&1 && break; sleep 0.1; done
ctl wait Corvane 10 > /dev/null

# Waits (up to 30 s) until the screen shows a line matching the pattern.
shows() {
  for _ in $(seq 1 150); do ctl text | grep -q -- "$1" && return 0; sleep 0.2; done
  return 1
}
count_of() { ctl text | grep -c -- "$1" || true; }

echo "step: offline at start"
shows '"ICQ Offline"' || fail "no offline status bar"
shows '"Show Offline"' || fail "left soft key is not labelled Show Offline"

echo "step: sign on through Menu -> ICQ Status -> Online"
ctl keys F2 > /dev/null
shows 'ICQ Status"' || fail "the menu offers no ICQ Status"
ctl keys 4 1 > /dev/null
shows '"ICQ Online"' || fail "never online"

echo "step: the contacts' presence"
if [ -f "$SOURCE/ui/ContactListViewPending.cpp" ]; then
  echo "  (the contact list draws no rows yet: skipped)"
else
  shows '100100\|Echo' || fail "the echo contact is not shown online"
fi

echo "step: User twice gives the same items"
for round in 1 2; do
  ctl keys F2 1 > /dev/null
  shows 'Find ICQ User"' || fail "User menu lacks Find ICQ User (round $round)"
  [ "$(count_of 'Find ICQ User"')" = 1 ] || fail "Find ICQ User shown twice (round $round)"
  ctl keys Back Back > /dev/null
  for _ in $(seq 1 50); do ctl text | grep -q 'Find ICQ User"' || break; sleep 0.1; done
done

echo "step: show and hide offline contacts"
ctl keys F1 > /dev/null
shows '"Hide Offline"' || fail "left soft key did not turn to Hide Offline"
grep -q 'SHOW_OFFLINE=True' "$FOLDER/Corvane.config" || fail "SHOW_OFFLINE not saved"
ctl keys F1 > /dev/null
shows '"Show Offline"' || fail "left soft key did not turn back"

echo "step: rebind key 1 in the tool bar configuration"
ctl screenshot "$WORK/before.png" > /dev/null
ctl keys F2 2 4 > /dev/null
shows '"Left Key"' || fail "no key configuration dialog"
# Focus on the Key1 row (the second list box), then the next action, then OK.
key1_focused() { ctl windows | grep '"LISTBOX"' | sed -n 2p | grep -q focus; }
for _ in $(seq 1 50); do key1_focused && break; ctl keys Down > /dev/null; sleep 0.2; done
key1_focused || fail "the Key1 row never got the focus"
ctl keys Right F1 > /dev/null
for _ in $(seq 1 100); do grep -q 'KEY1=SOUND' "$FOLDER/Corvane.config" && break; sleep 0.1; done
grep -q 'KEY1=SOUND' "$FOLDER/Corvane.config" || fail "KEY1 not stored as SOUND"
shows '"ICQ Online"' || fail "main window not back"
sleep 0.5
ctl screenshot "$WORK/after.png" > /dev/null
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
# Right after the dialog ends the main window may not take keys yet.
for _ in $(seq 1 50); do ctl keys 0 > /dev/null 2>&1 && break; sleep 0.2; done
shows '"Quit?"' || fail "no Quit? question"
# OK on the question (again while the box has not taken the keys yet).
for _ in $(seq 1 100); do
  kill -0 "$PROGRAM_PID" 2>/dev/null || break
  ctl text 2>/dev/null | grep -q '"Quit?"' && { ctl keys F1 > /dev/null 2>&1 || true; }
  sleep 0.2
done
if kill -0 "$PROGRAM_PID" 2>/dev/null; then fail "still running after Quit"; fi
wait "$PROGRAM_PID" || fail "exit code $?"
PROGRAM_PID=""
echo "main window: all steps passed"
