#!/usr/bin/env bash
# gallery.sh BUILD_DIR [OUT_DIR]
# Renders the program's screens headless in both skins (Default at 176x220,
# QVGA at 240x320) into OUT_DIR (default docs/screens), driving a scripted
# device with the remote control's keys as a user would: the main window
# offline and online, the Menu, ICQ Status and User pop-ups, the information
# and search windows, the account, settings, skin and key configuration
# dialogs, About, a chat with the echo account answering smilies, both smiley
# pickers and the warning a rejected sign-on leaves. Each size has its own
# device folders; one local server on free ports serves them all.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
SOURCE="$(cd "$(dirname "$0")/.." && pwd)"
OUT="$(mkdir -p "${2:-$SOURCE/docs/screens}" && cd "${2:-$SOURCE/docs/screens}" && pwd)"
PHONECTL="$BUILD/tools/phonectl/phonectl"
source "$SOURCE/tools/phone-lib.sh"
WORK="$(mktemp -d /tmp/corvane-gallery-XXXXXX)"
cleanup() {
  phone_stop
  [ -n "$PHONE_SERVER_PID" ] && kill "$PHONE_SERVER_PID" 2>/dev/null && wait "$PHONE_SERVER_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
export CORVANE_TIME_SCALE=20

fail() { echo "gallery: $* (size $SIZE)" >&2; ctl windows >&2 || true; ctl text >&2 || true; exit 1; }

# Waits until the topmost window is of the class.
front() {
  local _
  for _ in $(seq 1 100); do
    ctl windows 2>/dev/null | head -1 | grep -q "^0x[0-9a-f]* \"$1\"" && return 0
    sleep 0.1
  done
  fail "no $1 window"
}

# Waits for the screen to show the pattern, lets the paint settle, saves NAME-SIZE.png.
shot() {
  local name="$1" pattern="$2"
  shows "$pattern" || fail "$name: the screen never showed $pattern"
  sleep 0.5
  ctl screenshot "$OUT/$name-$SIZE.png" > /dev/null
  echo "  $name-$SIZE.png"
}

# Opens the soft menu and picks the item labelled TEXT by its number key.
choose() {
  local label="$1" line
  press F2
  shows "\"[0-9] $label\"" 10 || fail "no menu item $label"
  line=$(ctl text | grep -m1 "\"[0-9] $label\"")
  press "$(echo "$line" | sed 's/.*"\([0-9]\) .*/\1/')"
}

sign_on() {
  shows '"ICQ Offline"' || fail "not offline at start"
  press F2 4 1
  shows '"ICQ Online"' || fail "never online"
  shows '"Echo"' || fail "no echo contact"
}

# Selects the echo contact and opens its chat (again while the list, still
# filling after the sign-on, drops the selection).
open_echo_chat() {
  local _
  for _ in $(seq 1 20); do
    press Down Enter
    for _ in 1 2 3 4 5; do
      sleep 0.2
      ctl windows | head -1 | grep -q '"ICQ_ChatWindow"' && return 0
    done
  done
  front ICQ_ChatWindow
}

main_screens() {
  shot main-offline '"ICQ Offline"'
  press F2
  shot main-menu '"4 ICQ Status"'
  press 4
  shot main-menu-status '"8 Offline"'
  press 1
  shows '"ICQ Online"' || fail "never online"
  press Down
  shot main-online '"Echo"'
  press F2 1
  shot main-menu-user 'Find ICQ User"'
  press 2
  front UserInfoWindow
  shot info-contact '"Loopback"'
  choose Cancel
  front B46A692A-BC3B-40e7-A3E8-5058053677A5
  choose User
  press 5
  front SearchWindow
  press F1
  shot search-results '"Shy (Sam Shy)'
  press F2
}

dialogs() {
  local item key class name
  for item in "1 AccountDialog account" "2 UIConfigDialog settings" "3 SkinConfigDialog skin" \
              "4 KeyConfigDialog main-toolbar-config"; do
    read -r key class name <<< "$item"
    front B46A692A-BC3B-40e7-A3E8-5058053677A5
    press F2 2 "$key"
    front "$class"
    shot "$name" '"OK"'
    if [ "$class" = UIConfigDialog ]; then
      choose Advanced
      front AdvancedConfigDialog
      shot settings-advanced '"OK"'
      press F2
      front UIConfigDialog
      choose Cancel
    else
      press F2
    fi
  done
  front B46A692A-BC3B-40e7-A3E8-5058053677A5
  press F2 3
  front MsgAboutWnd
  shot about '"OK"'
  press F1
}

chat_screens() {
  front B46A692A-BC3B-40e7-A3E8-5058053677A5
  open_echo_chat
  ctl type "hello :) ;) :D" > /dev/null
  shows '"Send"' || fail "the chat's soft key never read Send"
  press F1
  shot chat-smilies ' Echo:"'
  choose Smile
  front SmileWindow
  shot smile-picker '"Select smile"'
  press F2
  front ICQ_ChatWindow
  press F1
}

# The text picker belongs to a set without pictures.
text_picker() {
  sign_on
  open_echo_chat
  choose Smile
  front TextSmileWindow
  shot text-smile-picker '"Select smile"'
  press F2
}

# A wrong password: the server rejects the sign-on and the program row at the
# top of the list opens the warning.
warning() {
  press F2 4 1
  shows '^0x[0-9a-f]* [0-9,]* "Corvane"' || fail "no program row after the rejected sign-on"
  press Down
  local _
  for _ in $(seq 1 20); do
    ctl windows | head -1 | grep -q '"MsgWarningWindow"' && break
    press Enter
    sleep 0.3
  done
  front MsgWarningWindow
  shot warning-wrong-password '"OK"'
}

phone_server "$BUILD/tools/oscar-server/oscar-server" "$WORK"
for SIZE in 176x220 240x320; do
  echo "$SIZE"
  phone_device "$BUILD" "$WORK/device-$SIZE"
  phone_start "$WORK/device-$SIZE" "$SIZE"
  main_screens
  dialogs
  chat_screens
  phone_stop
  printf 'SMILE_SOURCE=Text.Smilies.xml\r\n' >> "$WORK/device-$SIZE/Program Files/Corvane/Corvane.config"
  phone_start "$WORK/device-$SIZE" "$SIZE"
  text_picker
  phone_stop
  phone_device "$BUILD" "$WORK/wrong-$SIZE" PASSWORD=wrong
  phone_start "$WORK/wrong-$SIZE" "$SIZE"
  warning
  phone_stop
done
echo "screens in $OUT"
