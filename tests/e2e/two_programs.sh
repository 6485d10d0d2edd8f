#!/usr/bin/env bash
# Two users, Dora (100001) and Fred (100002), each at the program on a
# headless phone, driven only through the remote control (keys in, drawn
# texts and pictures out) as two people at two phones would: both sign on
# through Menu -> ICQ Status -> Online and see each other come online, chat
# both ways in Unicode with smilies drawn as pictures, see the other typing in
# the chat title, get a message sent while offline at the next sign-on, and
# keep chatting while the server is killed and started again: the status bar
# shows the way back and the text written meanwhile goes out. Both end with a
# confirmed Quit and exit code 0.
# Usage: two_programs.sh BUILD_DIR OSCAR_SERVER PHONECTL
set -euo pipefail
export LC_ALL=C.UTF-8
BUILD="$1"
SERVER="$2"
PHONECTL="$3"
SOURCE="$(cd "$(dirname "$0")/../.." && pwd)"
source "$SOURCE/tests/e2e/lib.sh"

step() { echo "== $*"; }
title() { printf '"%s \\(%s\\)"' "$1" "$2"; }
# A text as an extended regular expression that matches only itself.
literal() { printf '%s' "$1" | sed 's/[][\.*^$?+(){}|]/\\&/g'; }

# Opens the chat with a contact from the main window: the action key opens
# the selected row's chat (none is selected at first); a wrong one goes back
# and the selection moves on.
open_chat() {
  local name="$1" contact="$2"
  local i j
  for i in $(seq 1 6); do
    press "$name" Enter
    for j in $(seq 1 30); do
      case "$(drawn "$name")" in
        *"\"$contact ("*) return 0 ;;
        *' (Online)"'* | *' (Offline)"'* | *' (typing...)"'*)
          press "$name" F1
          lacks "$name" '"Back"'
          break ;;
      esac
      sleep 0.1
    done
    press "$name" Down
  done
  fail "$name: no chat with $contact opens from the list"
}

# Whether the messages area of the chat (below the title strip, above the
# edit box) holds the yellow of a smiley picture.
smiley_drawn() {
  local name="$1"
  ctl "$name" screenshot "$WORK/$name-chat.png" > /dev/null || fail "$name: no screenshot"
  python3 - "$WORK/$name-chat.png" "$SOURCE/tests/e2e" <<'PY'
import sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[2])
from png_rows import rows
channels, lines = rows(sys.argv[1])
def yellow(row, x):
    r, g, b = row[x * channels:x * channels + 3]
    return r > 200 and g > 160 and b < 100
sys.exit(0 if any(yellow(lines[y], x) for y in range(20, 150) for x in range(len(lines[y]) // channels)) else 1)
PY
}

cat > "$WORK/accounts.xml" <<'XML'
<accounts>
  <account uin="100001" password="demo" nick="Dora" first="Dora" last="Demo"/>
  <account uin="100002" password="friend" nick="Fred" first="Fred" last="Friend"/>
</accounts>
XML
seed_list 100001 100002 Fred
seed_list 100002 100001 Dora
start_server
start_program dora 100001 demo
start_program fred 100002 friend

step "both sign on through the menu and see each other come online"
shows dora '"ICQ Offline"'
choose_status dora 1 Online
shows dora '"Echo"'
lacks dora '"Fred"'
choose_status fred 1 Online
shows fred '"Dora"'
shows dora '"Fred"'

step "chats open on both sides"
open_chat dora Fred
shows dora "$(title Fred Online)"
open_chat fred Dora
shows fred "$(title Dora Online)"

step "Dora types: Fred's chat title says so"
greeting="Привет, Фред :-) как дела?"
first_word="${greeting%% *}"
typed=0
while [ "$typed" -lt "${#first_word}" ]; do
  type_text dora "${first_word:typed:1}"
  typed=$(( typed + 1 ))
  drawn fred | grep -q "$(title Dora 'typing\.\.\.')" && break
done
shows fred "$(title Dora 'typing\.\.\.')" 5
type_text dora "${greeting:typed}"
shows dora '"Привет, Фред :-\) как дела\?"'
shows dora '"Send"'

step "messages both ways in Unicode, smilies drawn as pictures"
press dora F1
shows fred '"Фред"'
shows fred '"дела\?"'
shows fred "$(title Dora Online)"
drawn fred | grep -qF '":-)"' && fail "fred: the smiley code is drawn as text"
smiley_drawn fred || fail "fred: no smiley picture in the chat"
shows dora ' You:"'
shows dora '"Back"'
type_text fred "Здравствуй, Дора ★ :D"
press fred F1
shows dora '"Здравствуй,"'
shows dora '"★"'
drawn dora | grep -qF '":D"' && fail "dora: the smiley code is drawn as text"
smiley_drawn dora || fail "dora: no smiley picture in the chat"

step "a message to Fred while he is offline reaches him at his next sign-on"
press fred F1
shows fred '"ICQ Online"'
choose_status fred 8 Offline
shows dora "$(title Fred Offline)"
type_text dora "Ça va? Très bien (y)"
press dora F1
shows dora '"Très"'
choose_status fred 1 Online
shows fred '"Dora"'
open_chat fred Dora
shows fred '"Très"'
shows fred '"bien"'
shows dora "$(title Fred Online)"

step "the server is killed while both chat; Dora's text waits"
kill_server
# Contacts keep their last presence while the session is down: the status
# bar of the main window is what tells.
press dora F1
shows dora '"ICQ Offline"'
open_chat dora Fred
unsent="kept while away :-("
type_text dora "$unsent"
press dora F1
shows dora "\"$(literal "$unsent")\""
shows dora '"Send"'
press dora F2
shows dora '"2 Close"'
press dora 2
shows dora '"ICQ (Offline|Finding host)"'

step "the server starts again: the status bar shows the way back"
# The new server is held still right after it listens, so that the
# program's next attempt waits at "Logging on" where the screen can see it.
start_server
kill -STOP "$SERVER_PID"
held_at=""
deadline=$(( SECONDS + 60 ))
until [ -n "$held_at" ]; do
  case "$(drawn dora)" in
    *'"ICQ Logging on"'*) held_at="Logging on" ;;
    *'"ICQ Online"'*) held_at="Online" ;;
  esac
  [ "$SECONDS" -ge "$deadline" ] && { kill -CONT "$SERVER_PID"; fail "dora: never on the way back"; }
  sleep 0.05
done
kill -CONT "$SERVER_PID"
[ "$held_at" = "Logging on" ] || echo "  (signed on before the server was held: no Logging on seen)"
shows dora '"ICQ Online"' 60
shows dora '"Fred"' 60

step "the waiting text is back in Dora's chat and goes out"
open_chat dora Fred
shows dora "\"$(literal "$unsent")\""
shows dora '"Send"'
press dora F1
shows fred '"kept"'
shows fred '"away"'
shows dora '"Back"'
lacks dora "\"$(literal "$unsent")\""

step "both quit from the keypad and end with code 0"
press dora F1
shows dora '"ICQ Online"'
quit_program dora
press fred F1
shows fred '"ICQ Online"'
quit_program fred
echo "two_programs: ok"
