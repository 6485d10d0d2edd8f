#!/usr/bin/env bash
# home_screen.sh BUILD_DIR SERVER PHONECTL
# The phone's home screen and the program side by side on a fresh headless
# device, each on its own screen, against the local server: the program puts
# its row into the home screen through Menu -> Configuration -> Home Screen
# -> Setup, the row follows the program's status, Action on the row brings
# the program to the front, and "Delete Scheme" gives the home screen its old
# scheme back and deletes the program's scheme file a little later.
set -euo pipefail
BUILD="$1"
SERVER="$2"
PHONECTL="$3"
SOURCE="$(cd "$(dirname "$0")/../.." && pwd)"

# The local server on free ports with the demo account, in a private folder.
source "$SOURCE/tests/scripts/cli_common.sh"
# Slow enough that the deletion two device seconds after "Delete Scheme"
# is told apart from an immediate one.
export CORVANE_TIME_SCALE=4
export CORVANE_DEVICE="$WORK/device"
export CORVANE_DISPLAY=headless
export CORVANE_SCREEN=176x220
FOLDER="$CORVANE_DEVICE/Program Files/Corvane"
HOME_FOLDER="$CORVANE_DEVICE/Application Data/Home"
REGISTRY="$CORVANE_DEVICE/registry.xml"
OWN_SCHEME="$HOME_FOLDER/Corvane.default.xml"
HOME_PID=""
PROGRAM_PID=""
stop_all() {
  local pid
  for pid in "$PROGRAM_PID" "$HOME_PID"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  cleanup
}
trap stop_all EXIT
fail() {
  echo "FAIL: $*"
  echo "--- home screen:"; "$PHONECTL" --pid "$HOME_PID" text 2>/dev/null || true
  tail -n 20 "$WORK/home.err" 2>/dev/null || true
  echo "--- program:"; "$PHONECTL" --pid "$PROGRAM_PID" windows 2>/dev/null | head -n 8 || true
  "$PHONECTL" --pid "$PROGRAM_PID" text 2>/dev/null || true
  tail -n 20 "$WORK/program.err" 2>/dev/null || true
  exit 1
}

home() { "$PHONECTL" --pid "$HOME_PID" "$@"; }
program() { "$PHONECTL" --pid "$PROGRAM_PID" "$@"; }
# Keys for a screen; retried while a window that has just closed leaves
# none that takes keys.
press() {
  local screen="$1"
  shift
  for _ in $(seq 1 50); do "$screen" keys "$@" > /dev/null 2>&1 && return 0; sleep 0.1; done
  fail "$screen does not take the keys $*"
}
# Waits (up to 30 s) until a screen's text has (or lacks) a line matching
# the pattern.
shows() { for _ in $(seq 1 150); do "$1" text 2>/dev/null | grep -q -- "$2" && return 0; sleep 0.2; done; return 1; }
lacks() { for _ in $(seq 1 150); do "$1" text 2>/dev/null | grep -q -- "$2" || return 0; sleep 0.2; done; return 1; }
current_scheme() { grep -o '<value name="Scheme"[^>]*>[^<]*' "$REGISTRY" | sed 's/.*>//'; }
# The program's windows from the top down: the first line is the one in front.
front_window() { program windows | head -n 1; }
sanitizer_clean() { ! grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$1"; }

echo "step: a fresh device with the default scheme"
bash "$SOURCE/scripts/install-device.sh" "$BUILD" "$CORVANE_DEVICE" > /dev/null
[ "$(current_scheme)" = "$HOME_FOLDER/default.xml" ] || fail "the default scheme is not current"
printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PORT" > "$FOLDER/Corvane.config"
"$FOLDER/homescreen" > "$WORK/home.out" 2> "$WORK/home.err" &
HOME_PID=$!
"$FOLDER/Corvane" > "$WORK/program.out" 2> "$WORK/program.err" &
PROGRAM_PID=$!
for _ in $(seq 1 100); do program wait Corvane 1 > /dev/null 2>&1 && break; sleep 0.1; done
program wait Corvane 10 > /dev/null || fail "the program shows no main window"
shows home '"Sim Mobile"' || fail "the home screen does not show the default scheme"
home text | grep -q '"ICQ"' && fail "the program's row is there before it was set up"

echo "step: Setup from the program's menu puts the row on the home screen"
press program F2 2 5 1
shows program '"Plugin location"' || fail "no first setup screen"
program text | grep -q '"Corvane"$' || fail "the location list lacks the Corvane entry"
press program F2
shows program '"Auto-hide"' || fail "no second setup screen"
press program F2
for _ in $(seq 1 150); do [ "$(current_scheme)" = "$OWN_SCHEME" ] && break; sleep 0.2; done
[ "$(current_scheme)" = "$OWN_SCHEME" ] || fail "the new scheme is not current: $(current_scheme)"
lacks program '"Auto-hide"' || fail "the second setup screen stays after Done"
grep -q "<oldschema>$HOME_FOLDER/default.xml</oldschema>" "$OWN_SCHEME" || fail "the old scheme is not recorded"
grep -q 'InprocServer32' "$REGISTRY" || fail "the plug-in's class is not registered"
shows home '"Corvane - Home"' || fail "the home screen did not load the new scheme"
shows home '"ICQ"' || fail "no row of the program on the home screen"
shows home '"Offline"' || fail "the row does not say Offline"

echo "step: signed on, the row says Online with the count"
press program F2 4 1
shows program '"ICQ Online"' || fail "the program is not online"
shows home '"Online (1)"' || fail "the row does not say Online (1)"

echo "step: Action on the row brings the program to the front"
press program F2 3
for _ in $(seq 1 50); do front_window | grep -q '"MsgAboutWnd"' && break; sleep 0.1; done
front_window | grep -q '"MsgAboutWnd"' || fail "the About window is not in front"
# The row is the last of the scheme; Down stops there.
press home Down Down Down
press home Enter
for _ in $(seq 1 100); do front_window | grep -q '"Corvane" .* focus foreground' && break; sleep 0.1; done
front_window | grep -q '"Corvane" .* focus foreground' || fail "the main window did not come to the front"

echo "step: Delete Scheme brings the old scheme back"
press program F2 2 5
shows program '"2 Delete Scheme"' || fail "the Home Screen menu lacks Delete Scheme"
asked=$(date +%s%N)
press program 2
for _ in $(seq 1 150); do [ -e "$OWN_SCHEME" ] || break; sleep 0.02; done
deleted=$(date +%s%N)
[ -e "$OWN_SCHEME" ] && fail "the program's scheme file was not deleted"
# At least 1.5 of the 2 device seconds passed (later is only a slow machine).
[ $(( (deleted - asked) * CORVANE_TIME_SCALE )) -ge 1500000000 ] ||
  fail "the scheme file was deleted after $(( (deleted - asked) * CORVANE_TIME_SCALE / 1000000 )) device ms"
[ "$(current_scheme)" = "$HOME_FOLDER/default.xml" ] || fail "the old scheme is not current again"
[ -f "$HOME_FOLDER/default.xml" ] || fail "the old scheme file is gone"
lacks home '"ICQ"' || fail "the program's row is still on the home screen"
shows home '"Home"' || fail "the home screen's title is not the old one"
home text | grep -q '"Corvane - Home"' && fail "the home screen still shows the program's scheme title"

echo "step: both quit cleanly"
press program 0
shows program '"Quit?"' || fail "no Quit? question"
for _ in $(seq 1 100); do
  kill -0 "$PROGRAM_PID" 2>/dev/null || break
  program text 2>/dev/null | grep -q '"Quit?"' && { program keys F1 > /dev/null 2>&1 || true; }
  sleep 0.2
done
kill -0 "$PROGRAM_PID" 2>/dev/null && fail "the program still runs after Quit"
wait "$PROGRAM_PID" || fail "the program ended with exit code $?"
PROGRAM_PID=""
kill "$HOME_PID"
wait "$HOME_PID" || fail "the home screen ended with exit code $?"
HOME_PID=""
sanitizer_clean "$WORK/program.err" || { cat "$WORK/program.err"; fail "sanitizer report of the program"; }
sanitizer_clean "$WORK/home.err" || { cat "$WORK/home.err"; fail "sanitizer report of the home screen"; }
echo "home screen: all steps passed"
