#!/usr/bin/env bash
# package_install.sh PACKAGE.deb
# The package as a user gets it: unpacked into a scratch root, started with a
# fresh HOME through its launchers. The first start lays out the device
# folder; the bundled server runs from the package; the installed program,
# headless, signs on through Menu -> ICQ Status -> Online, driven with the
# package's remote control. Then a newer package over the device folder: the
# program folder is brought up to date and the user's files stay as they were.
set -euo pipefail
DEB="$(readlink -f "$1")"
WORK="$(mktemp -d /tmp/corvane-package-XXXXXX)"
SERVER_PID=""
PROGRAM_PID=""
cleanup() {
  [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null && wait "$PROGRAM_PID" 2>/dev/null
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -n "$PROGRAM_PID" ] && "$BIN/phonectl" --pid "$PROGRAM_PID" text 2>/dev/null | tail -20
  tail -5 "$WORK/server.out" "$WORK/program.out" 2>/dev/null
  exit 1
}

ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT"
BIN="$ROOT/usr/bin"
LIB="$ROOT/usr/lib/corvane"

echo "step: the package holds the program, its tools and launchers"
for file in bin/corvane bin/corvane-cli bin/corvane-server bin/phonectl \
            lib/corvane/program/Corvane lib/corvane/program/CorvanePlugin.so lib/corvane/program/phonectl \
            lib/corvane/program/Sounds/Message.wav lib/corvane/tools/oscar-server lib/corvane/tools/accounts.xml \
            lib/corvane/tools/corvane-cli lib/corvane/version; do
  [ -e "$ROOT/usr/$file" ] || fail "the package lacks /usr/$file"
done
# The home screen comes with its command when the build has it.
if [ -e "$LIB/tools/homescreen" ] && [ ! -x "$BIN/corvane-home" ]; then
  fail "the package has the home screen but no corvane-home"
fi
for set in Skin Icons Smilies; do
  [ -n "$(ls -A "$LIB/program/$set" 2>/dev/null)" ] || fail "the package lacks the default $set"
done
depends="$(dpkg-deb -f "$DEB" Depends)"
for library in libsdl2 libicu libpugixml libfreetype libfontconfig libpng fonts-dejavu-core; do
  grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done

export HOME="$WORK/home"
unset CORVANE_DEVICE
export CORVANE_DISPLAY=headless CORVANE_SCREEN=176x220 CORVANE_TIME_SCALE=20
DEVICE="$HOME/.corvane-device"
FOLDER="$DEVICE/Program Files/Corvane"
mkdir -p "$HOME"

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
PORT=$(free_port)
BOS=$(free_port)
"$BIN/corvane-server" --listen 127.0.0.1 --login-port "$PORT" --bos-port "$BOS" > "$WORK/server.out" 2>&1 &
SERVER_PID=$!
for _ in $(seq 1 100); do grep -q listening "$WORK/server.out" && break; sleep 0.1; done
grep -q listening "$WORK/server.out" || fail "the bundled server did not start"

ctl() { "$BIN/phonectl" --pid "$PROGRAM_PID" "$@"; }
start_program() {
  "$BIN/corvane" > "$WORK/program.out" 2>&1 &
  PROGRAM_PID=$!
  for _ in $(seq 1 100); do ctl wait Corvane 1 > /dev/null 2>&1 && return 0; sleep 0.1; done
  fail "the program's window did not come up"
}
stop_program() {
  kill "$PROGRAM_PID" 2>/dev/null || true
  wait "$PROGRAM_PID" 2>/dev/null || true
  PROGRAM_PID=""
}
shows() {
  for _ in $(seq 1 150); do ctl text | grep -q -- "$1" && return 0; sleep 0.2; done
  return 1
}
mode() { stat -c %a "$1"; }

echo "step: the first start lays out a private device folder"
start_program
for file in Corvane CorvanePlugin.so phonectl Sounds/Message.wav Skin Icons Smilies .package-version; do
  [ -e "$FOLDER/$file" ] || fail "the device's program folder lacks $file"
done
[ -d "$DEVICE/Application Data/Home" ] && [ -d "$DEVICE/run" ] || fail "no Application Data/Home or run folder"
for folder in "$DEVICE" "$FOLDER"; do
  [ "$(mode "$folder")" = 700 ] || fail "$folder is $(mode "$folder"), not 700"
done
stop_program

echo "step: the installed program signs on at the bundled server"
printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\n' "$PORT" > "$FOLDER/Corvane.config"
start_program
shows '"ICQ Offline"' || fail "no offline status bar"
ctl keys F2 > /dev/null
shows 'ICQ Status"' || fail "the menu offers no ICQ Status"
ctl keys 4 1 > /dev/null
shows '"ICQ Online"' || fail "never online"
stop_program

echo "step: a newer package keeps the user's files"
mkdir -p "$FOLDER/100001" "$DEVICE/Application Data/Home"
echo history > "$FOLDER/100001/100100_msg.txt"
echo cache > "$FOLDER/100001.xml"
echo scheme > "$DEVICE/Application Data/Home/Mine.xml"
echo '<registry/>' > "$DEVICE/registry.xml"
# The made-up cache does not read: the program keeps a copy of it (*.damaged)
# beside the untouched file, which is not a change of the user's files.
user_files() {
  (cd "$DEVICE" && find . -type f \( -path './Program Files/Corvane/100001*' -o -name Corvane.config \
     -o -name registry.xml -o -path './Application Data/*' \) ! -name '*.damaged' | sort | xargs -d '\n' md5sum)
}
before="$(user_files)"
echo 0.0 > "$FOLDER/.package-version"
echo "an older program" > "$FOLDER/Corvane"
rm "$FOLDER/Sounds/Message.wav"
"$BIN/corvane-cli" < /dev/null > "$WORK/cli.out" 2>&1 || fail "corvane-cli from the package failed: $(tail -3 "$WORK/cli.out")"
cmp -s "$LIB/program/Corvane" "$FOLDER/Corvane" || fail "the program was not brought up to date"
[ -f "$FOLDER/Sounds/Message.wav" ] || fail "the default sound was not put back"
cmp -s "$LIB/version" "$FOLDER/.package-version" || fail "the package version was not recorded"
[ "$(user_files)" = "$before" ] || fail "the user's files changed: $(diff <(echo "$before") <(user_files))"
echo "package install: all steps passed"
