// The commands of the remote control, run in the process that owns the
// screen.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/display/RemoteControl.h"
#include "platform/win/WindowState.h"

namespace platform::display {
namespace {

std::string Handle(HWND window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

std::string Rect(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::istringstream in{std::string(text)};
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string Keys(std::string_view arguments)
{
    std::vector<UINT> keys;
    for (const std::string& name : Words(arguments)) {
        std::optional<UINT> key = KeyFromName(name);
        if (!key)
            return "error unknown key " + name + "\n";
        keys.push_back(*key);
    }
    if (keys.empty())
        return "error no keys\n";
    for (UINT key : keys) {
        if (!PressKey(key))
            return "error no window takes keys\n";
    }
    return "ok\n";
}

void ListWindowLocked(win::WindowRecord& record, int depth, RECT parentOrigin, std::string& out)
{
    auto& state = win::State();
    RECT screen = record.IsTopLevel()
                      ? record.rect
                      : RECT{parentOrigin.left + record.rect.left, parentOrigin.top + record.rect.top,
                             parentOrigin.left + record.rect.right, parentOrigin.top + record.rect.bottom};
    out += std::string(static_cast<std::size_t>(2 * depth), ' ') + Handle(record.handle) + " " +
           Quote(record.windowClass ? WideToUtf8(record.windowClass->name) : "") + " " +
           Quote(WideToUtf8(record.text)) + " " + Rect(screen);
    if ((record.style & WS_VISIBLE) != 0)
        out += " visible";
    if (state.focus == record.handle)
        out += " focus";
    if (state.foreground == record.handle)
        out += " foreground";
    out += "\n";
    if (depth > 64)
        return;
    for (HWND child : record.children) {
        win::WindowRecord* c = win::FindRecordLocked(child);
        if (c != nullptr && !c->IsTopLevel())
            ListWindowLocked(*c, depth + 1, screen, out);
    }
}

// Top-level windows on screen from the top down, then hidden ones.
std::string Windows()
{
    std::string out = "ok\n";
    auto& state = win::State();
    std::lock_guard guard(state.lock);
    std::vector<HWND> order(state.zOrder.rbegin(), state.zOrder.rend());
    std::vector<std::pair<std::uint64_t, HWND>> hidden;
    for (auto& [value, record] : state.windows) {
        if (record->IsTopLevel() && std::find(order.begin(), order.end(), record->handle) == order.end())
            hidden.emplace_back(value, record->handle);
    }
    std::sort(hidden.begin(), hidden.end());
    for (auto& entry : hidden)
        order.push_back(entry.second);
    for (HWND window : order) {
        if (win::WindowRecord* record = win::FindRecordLocked(window))
            ListWindowLocked(*record, 0, RECT{}, out);
    }
    return out;
}

std::string Text()
{
    std::vector<ShownText> texts;
    if (!Capture(&texts))
        return "error no screen\n";
    std::string out = "ok\n";
    for (const ShownText& t : texts)
        out += (t.window != nullptr ? Handle(t.window) : std::string("shell")) + " " + Rect(t.rect) + " " +
               Quote(WideToUtf8(t.text)) + "\n";
    return out;
}

}  // namespace

std::string Quote(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string RunRemoteCommand(std::string_view request)
{
    std::size_t space = request.find(' ');
    std::string_view command = request.substr(0, space);
    std::string_view arguments = space == std::string_view::npos ? std::string_view{} : request.substr(space + 1);
    if (command == "keys")
        return Keys(arguments);
    if (command == "type")
        return TypeText(Utf8ToWide(arguments)) ? "ok\n" : "error no window takes keys\n";
    if (command == "screenshot")
        return !arguments.empty() && SaveScreenshot(std::string(arguments)) ? "ok\n" : "error cannot write the file\n";
    if (command == "windows")
        return Windows();
    if (command == "text")
        return Text();
    return "error unknown command " + std::string(command) + "\n";
}

}  // namespace platform::display
