#!/usr/bin/env bash
# run-phone.sh [PROGRAM_ARGUMENTS...]
# The phone as its user sees it: the home screen and the program together on
# the device CORVANE_DEVICE (default ~/.corvane-device), which
# scripts/install-device.sh has laid out. The home screen shows the current
# scheme; the program's "Plugin Setup" puts the program's row into it, and
# selecting that row brings the program to the front (or starts it again).
# It runs while the home screen runs: Ctrl+C ends both, and the program of
# this device's folder that the row may have started.
set -euo pipefail
DEVICE="${CORVANE_DEVICE:-$HOME/.corvane-device}"
export CORVANE_DEVICE="$DEVICE"
FOLDER="$DEVICE/Program Files/Corvane"
for file in homescreen Corvane; do
  if [ ! -x "$FOLDER/$file" ]; then
    echo "run-phone: $FOLDER/$file is missing; lay out the device with scripts/install-device.sh" >&2
    exit 1
  fi
done
"$FOLDER/homescreen" --init > /dev/null

HOME_PID=""
# Every program of this folder that shows a screen, whoever started it.
programs() {
  local socket pid
  for socket in "$DEVICE"/run/screen-*.sock; do
    [ -e "$socket" ] || continue
    pid="${socket##*/screen-}"
    pid="${pid%.sock}"
    [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$FOLDER/Corvane" ] && echo "$pid"
  done
  return 0
}
stop() {
  trap - EXIT INT TERM
  [ -n "$HOME_PID" ] && kill "$HOME_PID" 2>/dev/null
  for pid in $(programs); do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  true
}
trap stop EXIT INT TERM

"$FOLDER/homescreen" > /dev/null &
HOME_PID=$!
"$FOLDER/Corvane" "$@" &
echo "the home screen (pid $HOME_PID) and Corvane run; Ctrl+C ends them"
wait "$HOME_PID" || true
