#!/usr/bin/env bash
# Two users, Dora (100001) and Fred (100002, who must authorise whoever adds
# him), each at a console client, talk through the local server: sign-on,
# lists, presence, messages both ways in Unicode and in 8-bit form with their
# delivery confirmations, typing, offline messages, authorisation, adding and
# deleting a contact, the directory, a second login elsewhere, and a server
# that freezes and is then killed and started again while both are online,
# with no text lost on the way.
# Usage: two_clients.sh CORVANE_CLI OSCAR_SERVER
set -euo pipefail
CLI="$1"
SERVER="$2"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

cat > "$WORK/accounts.xml" <<'XML'
<accounts>
  <account uin="100001" password="demo" nick="Dora" first="Dora" last="Demo" city="Leeds" gender="female" age="30"/>
  <account uin="100002" password="friend" nick="Fred" first="Fred" last="Friend" city="York" gender="male"
           age="41" auth="1"/>
  <account uin="100003" password="shy" nick="Shy" first="Sheila" last="Shy" city="York" gender="female" age="25"/>
</accounts>
XML
start_server

step() { echo "== $*"; }

step "sign-on and the list that starts every account"
start_client dora
start_client fred
send dora "account 100001 demo 127.0.0.1:$PORT"
send fred "account 100002 friend 127.0.0.1:$PORT"
send dora status online
send fred status online
expect dora 'event 16 status "Online"'
expect fred 'event 16 status "Online"'
expect dora 'event 36 own-status 0 "Online"'
list_has dora '^group 1 "General"'
list_has dora '^contact 100100 ".*" group=1 item=[1-9]'
list_has fred '^contact 100100 ".*" group=1 item=[1-9]'

step "adding each other; Fred must authorise Dora"
send fred "add 100001 Dora General noauth"
expect fred '^ok add 100001'
list_has fred '^contact 100001 "Dora" group=1 item=[1-9][0-9]* status="Online"'
send dora "add 100002 Fred General"
expect dora '^ok add 100002'
list_has dora '^contact 100002 "Fred" group=1 item=[1-9][0-9]* .*flags=not-authorised'
send dora "auth-request 100002 It is Dora, from the course"
expect dora '^ok auth-request 100002'
list_has fred '^contact 100001 .*auth-requested'
send fred "auth-grant 100001"
expect fred '^ok auth-grant 100001'
list_lacks dora '^contact 100002 .*not-authorised'

step "presence both ways"
send dora "wait-for online 100002 600"
expect dora '^ok wait-for online 100002'
send fred "status away"
list_has dora '^contact 100002 .*status="Away"'
send fred "status online"
list_has dora '^contact 100002 .*status="Online"'
list_has fred '^contact 100001 .*status="Online"'
list_has dora '^contact 100002 .*flags=[^ ]*unicode'

step "messages both ways in Unicode, with delivery confirmations"
send dora "msg 100002 Привет, Фред ✓"
expect dora 'event 42 delivered to 100002 "Привет, Фред ✓"'
expect fred 'event 40 message from 100001 at [0-9: -]+ "Привет, Фред ✓"'
send fred "msg 100001 Здравствуй, Дора ★"
expect fred 'event 42 delivered to 100001 "Здравствуй, Дора ★"'
expect dora 'event 40 message from 100002 at [0-9: -]+ "Здравствуй, Дора ★"'
send dora "msg 100100 echo, please"
expect dora 'event 42 delivered to 100100 "echo, please"'
expect dora 'event 40 message from 100100 at [0-9: -]+ "echo, please"'
send dora "history 100002"
expect dora '^history .* 100002 "Здравствуй, Дора ★"'
expect dora '^history .* me "Привет, Фред ✓"'

step "typing notices"
send dora "typing 100002 start"
expect fred 'event 53 typing from 100001 2'
send dora "typing 100002 pause"
expect fred 'event 53 typing from 100001 1'
send dora "typing 100002 stop"
expect fred 'event 53 typing from 100001 0'

step "offline messages both ways, in 8-bit form, confirmed by the server"
send fred "status offline"
expect fred 'event 38 offline'
send dora "wait-for offline 100002 600"
expect dora '^ok wait-for offline 100002'
send dora "msg 100002 Grüße aus Köln, à bientôt"
expect dora 'event 42 delivered to 100002 "Grüße aus Köln, à bientôt"'
send fred "status online"
expect fred 'event 40 message from 100001 at [0-9: -]+ "Grüße aus Köln, à bientôt"'
send dora "status offline"
expect dora 'event 38 offline'
send fred "wait-for offline 100001 600"
expect fred '^ok wait-for offline 100001'
send fred "msg 100001 Ça va? Très bien."
expect fred 'event 42 delivered to 100001 "Ça va\? Très bien\."'
send dora "status online"
expect dora 'event 40 message from 100002 at [0-9: -]+ "Ça va\? Très bien\."'
expect dora 'event 16 status "Online"'

step "adding and deleting a contact"
send dora "add 100003 Sheila General noauth"
expect dora '^ok add 100003'
list_has dora '^contact 100003 "Sheila" group=1 item=[1-9]'
send dora "delete 100003"
expect dora '^ok delete 100003'
list_lacks dora '^contact 100003 .*group=1'

step "the directory: details and searches"
send dora "info 100002"
expect dora '^ok info 100002'
expect dora '^Nickname: Fred'
expect dora '^City: York'
send dora "search uin 100002"
expect dora '^hit 100002 '
expect dora '^ok search 1 hits'
send dora "search city York gender female"
expect dora '^hit 100003 '
expect dora '^ok search 1 hits'

step "a second login elsewhere disconnects the first, which stays offline"
start_client elsewhere
send elsewhere "account 100001 demo 127.0.0.1:$PORT"
send elsewhere status online
expect elsewhere 'event 16 status "Online"'
expect dora 'You have been disconnected by ICQ server'
expect dora 'logged on from another location'
online_lines=$(grep -c 'status "Online"' "$WORK/dora.out")
stop_client elsewhere
send dora "sleep 60"
send dora "list"
expect dora '^contact 100002 '
[ "$(grep -c 'status "Online"' "$WORK/dora.out")" -eq "$online_lines" ] ||
  fail "dora signed on again by herself after being disconnected"
send dora status online
expect dora 'event 16 status "Online"'
send dora "wait-for online 100002 600"
expect dora '^ok wait-for online 100002'

step "the server freezes, then is killed and started again while both are online"
# A frozen server takes messages and confirms none: they stay unsent.
kill -STOP "$SERVER_PID"
send dora "msg 100100 sent as the server froze"
send fred "msg 100001 also sent as the server froze"
expect dora 'event 44 not-confirmed to 100100'
expect fred 'event 44 not-confirmed to 100001'
send dora "msg 100100 a second text must not replace the first"
expect dora '^error msg 100100: the unsent text "sent as the server froze" waits'
dora_from=$(next_line dora)
fred_from=$(next_line fred)
kill_server
expect_since dora "$dora_from" 'event 38 offline'
expect_since fred "$fred_from" 'event 38 offline'
send dora "msg 100002 written while the server was away"
expect dora '^error msg 100002: not sent .*kept'
# Let three attempts of each fail before the server comes back.
retries() { tail -n "+$2" "$WORK/$1.out" | grep -c 'status "Finding host"' || true; }
for _ in $(seq 1 1200); do
  [ "$(retries dora "$dora_from")" -ge 3 ] && [ "$(retries fred "$fred_from")" -ge 3 ] && break
  sleep 0.05
done
start_server
expect_since dora "$dora_from" 'event 16 status "Online"' 120
expect_since fred "$fred_from" 'event 16 status "Online"' 120
# The attempts came after 5, 10 and 15 seconds, each taking a moment of its own.
check_retry_delays() {
  local name="$1" from="$2"
  local lost first second third
  lost=$(stamp_of "$name" "$from" 'event 38 offline' 1)
  first=$(stamp_of "$name" "$from" 'status "Finding host"' 1)
  second=$(stamp_of "$name" "$from" 'status "Finding host"' 2)
  third=$(stamp_of "$name" "$from" 'status "Finding host"' 3)
  local gap1=$(( first - lost )) gap2=$(( second - first )) gap3=$(( third - second ))
  echo "$name: retry delays (device ms): $gap1, $gap2, $gap3"
  [ "$gap1" -ge 4500 ] && [ "$gap1" -lt 9500 ] || fail "$name: first retry after $gap1 ms, not about 5 s"
  [ "$gap2" -ge 9500 ] && [ "$gap2" -lt 14500 ] || fail "$name: second retry after $gap2 ms, not about 10 s"
  [ "$gap3" -ge 14500 ] && [ "$gap3" -lt 19500 ] || fail "$name: third retry after $gap3 ms, not about 15 s"
}
check_retry_delays dora "$dora_from"
check_retry_delays fred "$fred_from"

step "no text was lost: each waits as unsent text and goes out when sent again"
list_has dora '^contact 100002 .*unsent="written while the server was away"'
list_has dora '^contact 100100 .*unsent="sent as the server froze"'
list_has fred '^contact 100001 .*unsent="also sent as the server froze"'
send dora "wait-for online 100002 600"
expect dora '^ok wait-for online 100002'
send fred "wait-for online 100001 600"
expect fred '^ok wait-for online 100001'
send dora "resend 100002"
send dora "resend 100100"
send fred "resend 100001"
expect dora 'event 42 delivered to 100002 "written while the server was away"'
expect fred 'event 40 message from 100001 at [0-9: -]+ "written while the server was away"'
expect dora 'event 42 delivered to 100100 "sent as the server froze"'
expect dora 'event 40 message from 100100 at [0-9: -]+ "sent as the server froze"'
expect fred 'event 42 delivered to 100001 "also sent as the server froze"'
expect dora 'event 40 message from 100002 at [0-9: -]+ "also sent as the server froze"'
list_lacks dora 'unsent='
list_lacks fred 'unsent='
send dora "history 100002"
expect dora '^history .* me "written while the server was away"'

step "both end cleanly"
stop_client dora
stop_client fred
unexpected=$(grep -h '^error' "$WORK/dora.out" "$WORK/fred.out" |
  grep -v -e 'msg 100002: not sent' -e 'msg 100100: the unsent text' || true)
[ -z "$unexpected" ] || fail "unexpected errors: $unexpected"
echo "two_clients: ok"
