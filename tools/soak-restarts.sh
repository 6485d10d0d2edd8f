#!/usr/bin/env bash
# Kills the local server (SIGKILL) and starts it again ROUNDS times while two
# console clients exchange messages: in every round each client sends one
# message just before the kill and writes one while the server is down, and
# resends its unsent text once it is back online. Then it reports:
#   - re-login rate and time (device ms from "offline" to "Online" again)
#   - messages lost (accepted by the sender, never shown by the receiver),
#     lost although the sender was told "delivered", doubled, shown wrongly,
#     refused (the sender was told at once) and still unsent at the end
#   - each client's resident memory after round 10 and after the last round
# Usage: tools/soak-restarts.sh CORVANE_CLI OSCAR_SERVER [ROUNDS]
# CORVANE_TIME_SCALE (default 20) speeds the device clock up. Exits 1 when a
# message was lost or shown wrongly.
set -uo pipefail
CLI="$1"
SERVER="$2"
ROUNDS="${3:-100}"
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"

cat > "$WORK/accounts.xml" <<'XML'
<accounts>
  <account uin="100001" password="demo" nick="Ann"/>
  <account uin="100002" password="friend" nick="Bob"/>
</accounts>
XML
declare -A UIN=([a]=100001 [b]=100002) PEER=([a]=b [b]=a)
declare -A OUTCOME   # text -> sent | kept | refused
TEXTS=()

count() { grep -cE -- "$2" "$WORK/$1.out" || true; }
online_count() { count "$1" 'event 16 status "Online"'; }
both_online() { [ "$(online_count a)" -ge "$1" ] && [ "$(online_count b)" -ge "$1" ]; }
wait_until() {
  local limit="$1"
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/${CLIENT_PID[$1]}/status" 2>/dev/null || echo "?"; }

# Types a message; collect_msg later reads the command's own answer, so that
# the outcome belongs to this text even when the server was killed between.
declare -A TYPED_AT
type_msg() {
  local name="$1" text="$2"
  TYPED_AT[$name]=$(next_line "$name")
  send "$name" "msg ${UIN[${PEER[$name]}]} $text"
}
collect_msg() {
  local name="$1" text="$2"
  local peer_uin="${UIN[${PEER[$name]}]}"
  local answer=""
  local i
  for i in $(seq 1 400); do
    answer=$(tail -n "+${TYPED_AT[$name]}" "$WORK/$name.out" | grep -E "^(ok|error) msg $peer_uin" | head -n 1)
    [ -n "$answer" ] && break
    sleep 0.05
  done
  TEXTS+=("$name|$text")
  case "$answer" in
    ok*) OUTCOME["$name|$text"]=sent ;;
    *kept*) OUTCOME["$name|$text"]=kept ;;
    *) OUTCOME["$name|$text"]=refused ;;
  esac
}
send_msg() { type_msg "$1" "$2"; collect_msg "$1" "$2"; }

start_server
start_client a
start_client b
send a "account 100001 demo 127.0.0.1:$PORT"
send b "account 100002 friend 127.0.0.1:$PORT"
send a status online
send b status online

relogin_ok=0
relogin_times=()
rss10_a="?"
rss10_b="?"
for round in $(seq 1 "$ROUNDS"); do
  if wait_until 180 both_online "$round"; then
    [ "$round" -gt 1 ] && relogin_ok=$((relogin_ok + 1))
  else
    echo "round $round: not both back online within 180 s"
  fi
  if [ "$round" -gt 1 ]; then
    for name in a b; do
      off=$(stamp_of "$name" "${KILL_LINE[$name]}" 'event 38 offline' 1)
      on=$(stamp_of "$name" "${KILL_LINE[$name]}" 'event 16 status "Online"' 1)
      [ -n "$off" ] && [ -n "$on" ] && relogin_times+=($((on - off)))
    done
  fi
  for name in a b; do send "$name" "resend ${UIN[${PEER[$name]}]}"; done
  sleep 0.$((RANDOM % 3 + 1))
  # Odd rounds kill the server the moment the messages are typed, even
  # rounds a moment later.
  for name in a b; do type_msg "$name" "r$round-$name-before"; done
  [ $((round % 2)) -eq 0 ] && sleep 0.$((RANDOM % 3))
  declare -A KILL_LINE=([a]=$(next_line a) [b]=$(next_line b))
  kill_server
  for name in a b; do collect_msg "$name" "r$round-$name-before"; done
  for name in a b; do send_msg "$name" "r$round-$name-down"; done
  sleep 0.$((RANDOM % 8 + 1))
  start_server
  if [ "$round" -eq 10 ]; then
    rss10_a=$(rss_kb a)
    rss10_b=$(rss_kb b)
  fi
done
wait_until 180 both_online $((ROUNDS + 1)) && relogin_ok=$((relogin_ok + 1))

# Everything still unsent goes out now.
unsent_left() { fresh_list "$1" | grep -c 'unsent=' || true; }
for _ in $(seq 1 20); do
  for name in a b; do send "$name" "resend ${UIN[${PEER[$name]}]}"; done
  sleep 1
  [ "$(unsent_left a)" -eq 0 ] && [ "$(unsent_left b)" -eq 0 ] && break
done
sleep 2
still_unsent=$(( $(unsent_left a) + $(unsent_left b) ))
rss_end_a=$(rss_kb a)
rss_end_b=$(rss_kb b)

lost=0
lost_told_delivered=0
doubled=0
refused=0
accepted=0
for key in "${TEXTS[@]}"; do
  name="${key%%|*}"
  text="${key#*|}"
  if [ "${OUTCOME[$key]}" = refused ]; then
    refused=$((refused + 1))
    continue
  fi
  accepted=$((accepted + 1))
  shown=$(count "${PEER[$name]}" "event 40 message from ${UIN[$name]} at [0-9: -]+ \"$text\"\$")
  if [ "$shown" -eq 0 ]; then
    lost=$((lost + 1))
    if [ "$(count "$name" "event 42 delivered to [0-9]+ \"$text\"\$")" -gt 0 ]; then
      lost_told_delivered=$((lost_told_delivered + 1))
    fi
    echo "lost: $name \"$text\" (${OUTCOME[$key]})"
  elif [ "$shown" -gt 1 ]; then
    doubled=$((doubled + 1))
  fi
done
# A message shown that nobody sent, or one the sender was told was refused.
wrong=0
for name in a b; do
  while IFS= read -r line; do
    text=$(sed -E 's/.*"(.*)"$/\1/' <<<"$line")
    key="${PEER[$name]}|$text"
    if [ -z "${OUTCOME[$key]:-}" ] || [ "${OUTCOME[$key]}" = refused ]; then
      wrong=$((wrong + 1))
      echo "shown wrongly at $name: $line"
    fi
  done < <(grep -E "event 40 message from ${UIN[${PEER[$name]}]} " "$WORK/$name.out")
done

median_max() {
  if [ "$#" -eq 0 ]; then echo "none"; return; fi
  printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "median %d, max %d", v[int((NR+1)/2)], v[NR]}'
}
echo "rounds: $ROUNDS (time scale $CORVANE_TIME_SCALE)"
echo "re-login: $relogin_ok of $ROUNDS restarts with both clients back online"
echo "time to re-login (device ms, offline to Online, server down time included): $(median_max "${relogin_times[@]}")"
echo "messages: $accepted accepted, $refused refused at once, $still_unsent still unsent at the end"
echo "lost: $lost (of which told delivered: $lost_told_delivered); doubled: $doubled; shown wrongly: $wrong"
echo "memory (VmRSS kB) after round 10: a=$rss10_a b=$rss10_b; after round $ROUNDS: a=$rss_end_a b=$rss_end_b"
stop_client a
stop_client b
[ "$lost" -eq 0 ] && [ "$wrong" -eq 0 ]
