// The remote control of the phone: a socket DEVICE/run/screen-<pid>.sock
// that takes one command per connection and answers it, so that people
// (tools/phonectl) and tests drive the screen from outside.
//
// Framing: a request and its reply are each a 4-byte little-endian length
// and that many bytes of UTF-8. A reply starts with "ok" or "error <why>" on
// its first line; listings follow, one item a line.
//
//   keys NAME...        press keys (F1 F2 Left Right Up Down Enter Back 0-9 Star Hash)
//   type TEXT           WM_CHAR for each character of TEXT
//   screenshot PATH     the screen as PNG (1x, no bezel)
//   windows             0xHANDLE "class" "title" left,top,right,bottom [visible] [focus] [foreground],
//                       children indented by two spaces under their parent
//   text                0xHANDLE|shell left,top,right,bottom "text" for the text on the screen
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::display {

// Starts serving this process's screen (once).
void StartRemoteControl();

// Runs one command in this process (what the socket does with a request).
std::string RunRemoteCommand(std::string_view request);

// Client side, in DEVICE/run of CORVANE_DEVICE: the socket names of the
// device's screens ("screen-<pid>.sock"), and one call (nothing when the
// screen cannot be reached).
std::vector<std::string> ScreenSockets();
std::optional<std::string> RemoteCall(const std::string& socketName, std::string_view request);
std::string ScreenSocketName(unsigned long pid);

// "text" quoting: backslash, quote and control characters escaped.
std::string Quote(std::string_view text);

}  // namespace platform::display
