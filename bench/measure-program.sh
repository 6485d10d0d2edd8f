#!/usr/bin/env bash
# measure-program.sh [RUNS]
# Measures the program as a user meets it, headless, from the release build:
#   - process start to the first paint of the main window (RUNS starts on a
#     fresh device, RUNS more once the contact-list cache holds 1,000 contacts);
#   - private memory (Private_Clean + Private_Dirty of smaps_rollup) idle and
#     signed off, after sign-on with 1,000 contacts, and after paging back
#     through a 100,000-message chat to its first message;
#   - frame time of Down and of Page Down (the Right key) through the 1,000
#     contacts and of Up (one page back) in the chat: from the key posted to the
#     last window paint it caused;
#   - the chat window's page back at 1,000,000 stored messages (chat_bench).
# The program writes its timestamps when CORVANE_TIMING_LOG names a file (see
# platform/base/TimingLog.h); the process start is taken by a wrapper right
# before it executes the program. Figures go to build/bench/results/program.txt.
# CPU figures are noisy on a shared machine: every run is kept, the best and
# the median are reported.
set -euo pipefail
RUNS="${1:-5}"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
CONTACTS=1000
HISTORY=100000

cmake --preset release >/dev/null
cmake --build --preset release --target Corvane phonectl oscar-server
cmake --preset bench >/dev/null
cmake --build --preset bench --target write_history chat_bench

RELEASE="$ROOT/build/release"
PHONECTL="$RELEASE/tools/phonectl/phonectl"
RESULTS="$ROOT/build/bench/results"
mkdir -p "$RESULTS"
OUT="$RESULTS/program.txt"
WORK="$(mktemp -d /tmp/corvane-measure-XXXXXX)"
SERVER_PID=""
PROGRAM_PID=""
stop() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null; true; }
cleanup() { stop "$PROGRAM_PID"; stop "$SERVER_PID"; rm -rf "$WORK"; }
trap cleanup EXIT

report() { echo "$*" | tee -a "$OUT"; }
: > "$OUT"
report "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load $(cut -d' ' -f1-3 /proc/loadavg)"
report "date: $(date -u '+%Y-%m-%d %H:%M UTC'), release build, headless 176x220"

# The server, with a stored list of the demo account: the echo account in
# "General" and CONTACTS contacts in ten groups.
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
mkdir -p "$WORK/data"
python3 - "$CONTACTS" > "$WORK/data/100001.list" <<'PY'
import sys
count, groups = int(sys.argv[1]), 10
def tlv(kind, value): return kind.to_bytes(2, "big") + len(value).to_bytes(2, "big") + value
def ids(values): return b"".join(v.to_bytes(2, "big") for v in values)
lines = ["date 1700000000",
         "item 1 0 0 - " + tlv(0x00C8, ids(range(1, groups + 2))).hex(),
         "item 1 1 0 " + b"General".hex() + " " + tlv(0x00C8, ids([1])).hex(),
         "item 4 0 2 - " + (tlv(0x00CA, b"\x01") + tlv(0x00CB, b"\xff" * 4)).hex(),
         "item 0 1 1 " + b"100100".hex() + " " + tlv(0x0131, b"Echo").hex()]
item = 100
for g in range(groups):
    members = []
    for i in range(g * count // groups, (g + 1) * count // groups):
        lines.append("item 0 %d %d %s %s" % (g + 2, item, str(200000 + i).encode().hex(),
                                             tlv(0x0131, b"Contact %04d" % i).hex()))
        members.append(item)
        item += 1
    lines.append("item 1 %d 0 %s %s" % (g + 2, (b"Group %02d" % (g + 1)).hex(), tlv(0x00C8, ids(members)).hex()))
print("\n".join(lines))
PY
PORT=$(free_port)
"$RELEASE/tools/oscar-server/oscar-server" --login-port "$PORT" --bos-port "$(free_port)" --data "$WORK/data" \
  > "$WORK/server.out" 2>&1 &
SERVER_PID=$!
for _ in $(seq 1 100); do grep -q listening "$WORK/server.out" 2>/dev/null && break; sleep 0.1; done

# The device: the program folder as the install lays it out (the program and
# its data sets), the demo account, offline contacts shown, Right pages down.
export CORVANE_DEVICE="$WORK/device" CORVANE_DISPLAY=headless CORVANE_SCREEN=176x220
unset CORVANE_TIME_SCALE
FOLDER="$CORVANE_DEVICE/Program Files/Corvane"
mkdir -p "$FOLDER" "$CORVANE_DEVICE/run"
cp "$RELEASE/app/Corvane" "$FOLDER/"
cp -r assets/. "$FOLDER/"
printf 'ICQ_ENABLED=True\r\nUIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:%s\r\nSHOW_OFFLINE=True\r\nJRIGHT_CHAT=False\r\n' \
  "$PORT" > "$FOLDER/Corvane.config"
"$ROOT/build/bench/bench/write_history" "$FOLDER" 100001 100100 "$HISTORY"
# Freshly written pages count as dirty in smaps until written back.
sync

LOG="$WORK/timing.log"
export CORVANE_TIMING_LOG="$LOG"
ANALYSE="$WORK/analyse.py"
cat > "$ANALYSE" <<'PY'
# analyse.py LOG firstpaint|frames PHASE
# firstpaint: ms from each "start" to the next paint of the main window.
# frames: for each key of the phase, ms from the key to the last paint before
# the next key or phase mark; and the same counting only the burst of paints
# that follows the key (each within 5 ms of the one before), which leaves out
# paints no key caused (the caret's blink, the clock).
import statistics, sys
MAIN = "B46A692A-BC3B-40e7-A3E8-5058053677A5"
events = [line.split(" ", 2) for line in open(sys.argv[1]).read().splitlines() if line.count(" ") >= 2]
def summary(values, what, aim):
    values = sorted(values)
    if not values:
        return "no %s measured" % what
    p99 = values[min(len(values) - 1, int(len(values) * 0.99))]
    over = sum(1 for v in values if v > aim)
    return "%d %s: best %.2f ms, median %.2f ms, 99th percentile %.2f ms, worst %.2f ms, over %g ms: %d" % (
        len(values), what, values[0], statistics.median(values), p99, values[-1], aim, over)
if sys.argv[2] == "firstpaint":
    starts, result = None, []
    for kind, ns, detail in events:
        if kind == "start":
            starts = int(ns)
        elif kind == "paint" and detail == MAIN and starts is not None:
            result.append((int(ns) - starts) / 1e6)
            starts = None
    print(summary(result, "starts", 100.0), "| each:", " ".join("%.1f" % v for v in result))
else:
    inside, key, last, burst, result, bursts = False, None, None, None, [], []
    def close():
        if key is not None and last is not None:
            result.append((last - key) / 1e6)
            bursts.append((burst - key) / 1e6)
    for kind, ns, detail in events:
        if kind == "phase":
            if inside:
                close()
                key = last = None
            inside = detail == sys.argv[3]
        elif inside and kind == "key":
            close()
            key, last, burst = int(ns), None, None
        elif inside and kind == "paint" and key is not None:
            at = int(ns)
            if burst is None or at - (last or key) < 5000000 and burst == last:
                burst = at
            last = at
    if inside:
        close()
    print(summary(result, "frames", 16.0), "| the paints of one burst only:", summary(bursts, "frames", 16.0))
PY
mark() { echo "phase 0 $1" >> "$LOG"; }
memory() {
  local pid=$1 what=$2 rollup
  rollup="$(cat "/proc/$pid/smaps_rollup")"
  report "$what: private $(awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum }' <<< "$rollup") kB" \
    "($(grep -E '^(Private_Clean|Private_Dirty|Anonymous|Pss):' <<< "$rollup" | tr -s ' ' | tr '\n' ' '))"
  # The mappings that hold most of it.
  awk '/^[0-9a-f]+-[0-9a-f]+ / { name = NF >= 6 ? $6 : "[anon]"; for (i = 7; i <= NF; i++) name = name " " $i }
       /^Private_(Clean|Dirty):/ { kb[name] += $2 }
       END { for (n in kb) printf "    %6d kB  %s\n", kb[n], n }' "/proc/$pid/smaps" | sort -rn | awk 'NR <= 8' | tee -a "$OUT"
}

# Starts the program through a wrapper that logs the moment before exec.
start_program() {
  python3 -c 'import os, sys, time
with open(os.environ["CORVANE_TIMING_LOG"], "a") as log:
    log.write("start %d -\n" % time.monotonic_ns())
os.execv(sys.argv[1], sys.argv[1:])' "$FOLDER/Corvane" > "$WORK/program.out" 2>&1 &
  PROGRAM_PID=$!
}
ctl() { "$PHONECTL" --pid "$PROGRAM_PID" "$@" > /dev/null; }
shows() {
  for _ in $(seq 1 "${2:-300}"); do "$PHONECTL" --pid "$PROGRAM_PID" text 2>/dev/null | grep -q -- "$1" && return 0; sleep 0.1; done
  echo "the screen never showed $1" >&2
  return 1
}
wait_painted() {
  for _ in $(seq 1 300); do grep -q "^paint .* B46A692A" "$LOG" 2>/dev/null && return 0; sleep 0.02; done
  return 1
}
# RUNS starts, each ended once the main window has painted; the start and
# first paint of each run are kept for the analysis.
first_paints() {
  local runs="$WORK/first-paints.log"
  : > "$runs"
  for _ in $(seq 1 "$RUNS"); do
    : > "$LOG"
    start_program
    wait_painted
    stop "$PROGRAM_PID"
    PROGRAM_PID=""
    grep -m1 '^start' "$LOG" >> "$runs"
    grep -m1 '^paint .* B46A692A' "$LOG" >> "$runs"
  done
  report "first paint, $1: $(python3 "$ANALYSE" "$runs" firstpaint)"
}
first_paints "fresh device"

# One long run: idle, signed on, list navigation, the long chat.
: > "$LOG"
start_program
for _ in $(seq 1 100); do ctl wait Corvane 1 2>/dev/null && break; sleep 0.1; done
shows '"ICQ Offline"'
sleep 1
memory "$PROGRAM_PID" "memory idle (signed off)"
ctl keys F2 4
shows 'Free For Chat"'
# Sign-on: from "Online" chosen to the list of contacts on the screen (polled
# through the remote control, so within a few milliseconds).
SIGN_ON_START=$(date +%s%N)
ctl keys 1
until "$PHONECTL" --pid "$PROGRAM_PID" text 2>/dev/null | grep -q '"Contact 0000"'; do
  [ $(( $(date +%s%N) - SIGN_ON_START )) -lt 30000000000 ] || { echo "no list after 30 s" >&2; exit 1; }
done
report "sign-on with $CONTACTS contacts, \"Online\" chosen to the list shown: $(( ($(date +%s%N) - SIGN_ON_START) / 1000000 )) ms"
shows '"ICQ Online"'
# The echo account's presence comes a moment later; it goes above the rows in view.
sleep 3
memory "$PROGRAM_PID" "memory signed on with $CONTACTS contacts"

# One key per call, with a pause, so that every key gets a frame of its own.
press() {
  local key=$1 count=$2
  for _ in $(seq 1 "$count"); do ctl keys "$key"; sleep 0.015; done
}
mark down
press Down "$CONTACTS"
mark pagedown
press Left $((CONTACTS / 4))
press Right $((CONTACTS / 4))
mark end
# The echo account is the first row once its presence came, else the last.
ctl keys $(printf 'Left %.0s' $(seq 1 $((CONTACTS / 4))))
if ! shows '"Echo"' 20 2>/dev/null; then
  ctl keys $(printf 'Right %.0s' $(seq 1 $((CONTACTS / 4))))
  shows '"Echo"'
fi
report "Down through $CONTACTS contacts: $(python3 "$ANALYSE" "$LOG" frames down)"
report "Left/Right (page up/down) through $CONTACTS contacts: $(python3 "$ANALYSE" "$LOG" frames pagedown)"
memory "$PROGRAM_PID" "memory after the list navigation"

# The chat with the echo account and its history. Up scrolls one line; the
# chat shows each word as a text of its own: the newest message ends in
# "HISTORY-1", the oldest reads "Message 0 of HISTORY".
ctl keys Enter
shows '"'"$((HISTORY - 1))"'"'
mark chatup
press Up 200
mark end
report "Up (a page back) in the chat of $HISTORY messages: $(python3 "$ANALYSE" "$LOG" frames chatup)"
at_top() { "$PHONECTL" --pid "$PROGRAM_PID" text | grep -q ' "0"$'; }
UPS=$(printf 'Up %.0s' $(seq 1 500))
until at_top; do
  for _ in $(seq 1 20); do ctl keys $UPS; sleep 0.05; done
  sleep 0.2
done
sleep 1
memory "$PROGRAM_PID" "memory after paging back through the $HISTORY-message chat to its first message"
stop "$PROGRAM_PID"
PROGRAM_PID=""

first_paints "the device's cache holding $CONTACTS contacts"

report "chat_bench (page back, 1,000 and 1,000,000 stored messages; best of 3):"
"$ROOT/build/bench/bench/chat_bench" --benchmark_filter='PageBack' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=false 2>&1 | grep -E 'PageBack' | tee -a "$OUT"
echo "figures in $OUT"
