#!/usr/bin/env bash
# chat_window.sh BUILD_DIR SERVER PHONECTL [SHOTS_DIR]
# The chat window on a headless phone against the local server, driven with
# the remote control as a user would: sign on through Menu -> ICQ Status ->
# Online, choose the echo account in the list and open its chat with Action,
# type "hello :)" with the keyboard and send it, type it again with multi-tap
# number keys and send it; the own lines (drawn once the server confirmed
# them) and the echoes show, the smiley as a picture. Then a link: chosen with
# Right, drawn in the selection colour, opened with Action through the opener
# (CORVANE_URL_OPENER records it here instead of starting a browser).
# CORVANE_SCREEN picks the size (176x220 by default); with SHOTS_DIR the
# screens are saved there as chat-smilies-SIZE.png and chat-link-SIZE.png.
set -euo pipefail
BUILD="$1"
SERVER="$2"
PHONECTL="$3"
SHOTS="${4:-}"
SOURCE="$(cd "$(dirname "$0")/../.." && pwd)"
PIXELS="$SOURCE/tests/e2e/png_pixels.py"

source "$SOURCE/tests/scripts/cli_common.sh"
export CORVANE_DEVICE="$WORK/device" CORVANE_DISPLAY=headless CORVANE_SCREEN="${CORVANE_SCREEN:-176x220}"
FOLDER="$CORVANE_DEVICE/Program Files/Corvane"
PROGRAM_PID=""
ctl() { "$PHONECTL" --pid "$PROGRAM_PID" "$@"; }
fail() {
  echo "FAIL: $*"
  echo "--- screen:"
  ctl text || true
  echo "--- program output:"
  tail -n 40 "$WORK/program.out" || true
  exit 1
}
# Ends the program (if it still runs) and the server.
finish() {
  if [ -n "$PROGRAM_PID" ]; then
    kill "$PROGRAM_PID" 2> /dev/null || true
    wait "$PROGRAM_PID" 2> /dev/null || true
  fi
  cleanup
}
trap finish EXIT

# The program signs on as the demo account; its opener records the address
# it was given.
bash "$SOURCE/scripts/install-device.sh" "$BUILD" "$CORVANE_DEVICE" > /dev/null
printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PORT" > "$FOLDER/Corvane.config"
printf '#!/bin/sh\nprintf "%%s" "$1" > "%s/opened.txt"\n' "$WORK" > "$WORK/opener"
chmod +x "$WORK/opener"
CORVANE_URL_OPENER="$WORK/opener" "$FOLDER/Corvane" > "$WORK/program.out" 2>&1 &
PROGRAM_PID=$!
for _ in $(seq 1 100); do ctl wait Corvane 1 > /dev/null 2>&1 && break; sleep 0.1; done
ctl wait Corvane 10 > /dev/null

# Waits (up to 30 s) until the command's output has a line matching the
# pattern (extended grep).
until_matches() {
  local pattern="$1"
  shift
  for _ in $(seq 1 150); do "$@" | grep -qE -- "$pattern" && return 0; sleep 0.2; done
  return 1
}
shows() { until_matches "$1" ctl text; }
# Lines of the text the chat window drew ("l,t,r,b "text""), once it is open.
CHAT=""
chat_text() { ctl text | grep "^$CHAT " | cut -d' ' -f2- || true; }
count_in_chat() { chat_text | grep -cE -- "$1" || true; }
until_count() {
  for _ in $(seq 1 150); do [ "$(count_in_chat "$1")" -ge "$2" ] && return 0; sleep 0.2; done
  return 1
}
# Sends what the box holds with the left soft key ("Send" until then), and
# waits until the chat shows `count` lines of `pattern` and "Back" again
# (the send confirmed).
send_until() {
  local pattern="$1" count="$2"
  shows '"Send"' || fail "the left soft key did not turn to Send"
  ctl keys F1 > /dev/null
  until_count "$pattern" "$count" || fail "not $count lines of $pattern after sending"
  shows '"Back"' || fail "Back did not return after the confirmation"
}

echo "step: sign on through Menu -> ICQ Status -> Online"
ctl keys F2 > /dev/null
shows 'ICQ Status"' || fail "the menu offers no ICQ Status"
ctl keys 4 1 > /dev/null
shows '"ICQ Online"' || fail "never online"
shows '"Echo"' || fail "the echo account is not in the list"

echo "step: choose the echo account and open its chat with Action"
# Echo is the only contact online: Down selects it wherever the list starts.
# The list may not take keys at once after signing on: try again.
for _ in $(seq 1 20); do
  ctl keys Down Enter > /dev/null
  sleep 0.5
  ctl windows | grep -q '"ICQ_ChatWindow"' && break
done
until_matches '"ICQ_ChatWindow" "Echo \(Online\)".* foreground' ctl windows || fail "no chat with Echo in front"
CHAT=$(ctl windows | grep '"ICQ_ChatWindow"' | awk '{print $1}')
BOX=$(ctl windows | grep -A1 '"ICQ_ChatWindow"' | grep '"TextBoxWindow"' | awk '{print $1}')
shows '"Back"' || fail "the left soft key is not Back in an empty box"

echo "step: \"hello :)\" typed on the keyboard and sent"
ctl type "hello :)" > /dev/null
send_until '"hello"' 2

echo "step: \"hello :)\" with multi-tap number keys and sent"
# Each letter's presses go in one call; the pause lets the letter commit
# (1 s of device time) before the next letter on the same key.
for letter in "4 4" "3 3" "5 5 5" "5 5 5" "6 6 6" "0" "1 1 1 1 1 1 1 1 1 1 1 1" "1 1 1 1 1 1 1 1 1"; do
  # shellcheck disable=SC2086
  ctl keys $letter > /dev/null
  sleep 0.25
done
until_matches "^$BOX .*\"hello :\\)\"" ctl text || fail "multi-tap did not give \"hello :)\" in the box"
send_until '"hello"' 4

echo "step: own lines are drawn once confirmed, echoes with the smiley as a picture"
until_count '"[0-9:.]+ You:"' 2 || fail "not two own lines"
until_count '"[0-9:.]+ Echo:"' 2 || fail "not two echoes"
[ "$(count_in_chat ':\)')" = 0 ] || fail "a smiley code was drawn as text"
ctl screenshot "$WORK/smilies.png" > /dev/null
[ -n "$SHOTS" ] && cp "$WORK/smilies.png" "$SHOTS/chat-smilies-$CORVANE_SCREEN.png"
# Right of the newest echo's "hello" (on the line of the lowest "Echo:"
# header) the picture's yellow shows.
echo_top=$(chat_text | grep -E '"[0-9:.]+ Echo:"' | cut -d' ' -f1 | cut -d, -f2 | sort -n | tail -1)
hello=$(chat_text | grep '"hello"' | cut -d' ' -f1 | awk -F, -v t="$echo_top" '$2 == t')
[ -n "$hello" ] || fail "no hello on the newest echo's line"
IFS=, read -r _ top right bottom <<< "$hello"
python3 "$PIXELS" "$WORK/smilies.png" "$right" "$((top - 4))" "$((right + 30))" "$((bottom + 4))" 255 209 63 ||
  fail "no smiley picture after the echo's hello"

echo "step: a link chosen with Right and opened with Action"
ctl type "see http://example.org/corvane ;)" > /dev/null
send_until '"http://example.org/corvane"' 2
ctl keys Right > /dev/null
sleep 0.3
ctl screenshot "$WORK/link.png" > /dev/null
[ -n "$SHOTS" ] && cp "$WORK/link.png" "$SHOTS/chat-link-$CORVANE_SCREEN.png"
link=$(chat_text | grep '"http://example.org/corvane"' | cut -d' ' -f1 | sort -t, -k2 -n | tail -1)
IFS=, read -r left top right bottom <<< "$link"
# Chosen: its box is filled with one colour (the skin's selection colour),
# unlike the background beside it.
PYTHONPATH="$SOURCE/tests/e2e" python3 -c '
import sys, png_pixels
_, _, rows = png_pixels.read(sys.argv[1])
left, top, right = map(int, sys.argv[2:5])
row = rows[top][left:right]
sys.exit(0 if len(set(row)) == 1 and row[0] != rows[top][0] else 1)
' "$WORK/link.png" "$left" "$top" "$right" || fail "the newest link is not drawn chosen"
ctl keys Enter > /dev/null
for _ in $(seq 1 100); do [ -s "$WORK/opened.txt" ] && break; sleep 0.1; done
[ "$(cat "$WORK/opened.txt" 2>/dev/null)" = "http://example.org/corvane" ] || fail "the opener did not get the link"

echo "step: Left drops the choice, Left again leaves the chat"
ctl keys Left > /dev/null
sleep 0.3
ctl windows | grep -q '"ICQ_ChatWindow".*foreground' || fail "the first Left left the chat"
ctl keys Left > /dev/null
until_matches '"Corvane" .* foreground' ctl windows || fail "the main window did not come back"

echo "step: the program ends cleanly"
kill -TERM "$PROGRAM_PID"
wait "$PROGRAM_PID" || fail "exit code $?"
PROGRAM_PID=""
echo "chat window: all steps passed"
