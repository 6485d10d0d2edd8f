// Keys in an edit control: caret movement, Back, multi-tap letters on the
// number keys, the mode key, typed characters, and which keys the control
// wants when a dialog asks.
#include <algorithm>

#include "platform/controls/EditState.h"
#include "platform/controls/MultiTap.h"
#include "platform/display/Display.h"

namespace platform::controls {
namespace {

constexpr WPARAM kBackspace = 0x08;

bool IsReadOnly(HWND window) { return (StyleOf(window) & ES_READONLY) != 0; }

bool NumbersOnly(HWND window, const EditState& state)
{
    return state.numbersMode || (StyleOf(window) & ES_NUMBER) != 0;
}

// One unit further, a surrogate pair and CR LF stepped over as one.
std::size_t Step(const WideString& text, std::size_t position, bool forward)
{
    auto pairAt = [&](std::size_t p) {
        return p > 0 && p < text.size() &&
               ((text[p - 1] == u'\r' && text[p] == u'\n') ||
                (text[p - 1] >= 0xD800 && text[p - 1] <= 0xDBFF && text[p] >= 0xDC00 && text[p] <= 0xDFFF));
    };
    if (forward) {
        if (position >= text.size())
            return text.size();
        return pairAt(position + 1) ? position + 2 : position + 1;
    }
    if (position == 0)
        return 0;
    return pairAt(position - 1) ? position - 2 : position - 1;
}

void MoveHorizontally(HWND window, EditState& state, bool right)
{
    if (right && state.pendingKey != 0) {
        CommitPending(window, state);
        return;
    }
    CommitPending(window, state);
    std::size_t target = state.anchor != state.caret ? (right ? state.SelEnd() : state.SelStart())
                                                      : Step(state.text, state.caret, right);
    SetSelection(window, state, target, target);
}

// Up/Down between lines of a multi-line edit; false at the first/last line.
bool MoveVertically(HWND window, EditState& state, bool down)
{
    if (!IsMultiLine(window))
        return false;
    EnsureLayout(window, state);
    std::size_t line = LineOf(state.lines, state.caret);
    if (down ? line + 1 >= state.lines.size() : line == 0)
        return false;
    CommitPending(window, state);
    int x = SpanWidth(state.advances, state.lines[line].start, state.caret);
    std::size_t target = PositionAt(state.lines[down ? line + 1 : line - 1], state.advances, x);
    SetSelection(window, state, target, target);
    return true;
}

WCHAR Cased(const EditState& state, WCHAR c)
{
    return state.capitalNext && c >= u'a' && c <= u'z' ? static_cast<WCHAR>(c - u'a' + u'A') : c;
}

// A number key in text mode: the next character of its cycle when its letter
// is pending, else a new pending letter.
void MultiTap(HWND window, EditState& state, WPARAM key)
{
    std::u16string_view cycle = MultiTapCycle(key);
    if (state.pendingKey == key && state.pendingAt < state.text.size()) {
        state.cycle = (state.cycle + 1) % cycle.size();
        WCHAR next = Cased(state, cycle[state.cycle]);
        state.anchor = state.pendingAt;
        state.caret = state.pendingAt + 1;
        if (!ReplaceSelection(window, state, std::u16string_view(&next, 1), false, true))
            return;
    } else {
        CommitPending(window, state);
        std::size_t at = state.SelStart();
        WCHAR first = Cased(state, cycle[0]);
        if (!ReplaceSelection(window, state, std::u16string_view(&first, 1), true, true) || state.caret != at + 1)
            return;
        state.pendingKey = key;
        state.pendingAt = at;
        state.cycle = 0;
    }
    SetTimer(window, kCommitTimer, kMultiTapCommitMs, nullptr);
}

// "#": abc -> Abc -> 123 -> abc.
void NextMode(HWND window, EditState& state)
{
    CommitPending(window, state);
    if (state.numbersMode) {
        state.numbersMode = false;
    } else if (state.capitalNext) {
        state.capitalNext = false;
        state.numbersMode = true;
    } else {
        state.capitalNext = true;
    }
    ShowMode(window, state);
}

bool HasText(const EditState& state) { return !state.text.empty(); }

}  // namespace

LRESULT EditKeyDown(HWND window, EditState& state, WPARAM key)
{
    state.swallowChar = 0;
    if (!IsWindowEnabled(window))
        return 0;
    state.caretOn = true;
    switch (key) {
    case display::VK_LEFT_KEY:
    case display::VK_RIGHT_KEY:
        MoveHorizontally(window, state, key == display::VK_RIGHT_KEY);
        return 0;
    case display::VK_UP_KEY:
    case display::VK_DOWN_KEY:
        MoveVertically(window, state, key == display::VK_DOWN_KEY);
        return 0;
    case display::VK_BACK_KEY:
    case kBackspace:
        if (!IsReadOnly(window))
            DeleteBack(window, state);
        return 0;
    case display::VK_POUND:
        if (!IsReadOnly(window) && (StyleOf(window) & ES_NUMBER) == 0) {
            NextMode(window, state);
            state.swallowChar = u'#';
        }
        return 0;
    default:
        break;
    }
    if (!MultiTapCycle(key).empty() && !IsReadOnly(window) && !NumbersOnly(window, state)) {
        MultiTap(window, state, key);
        state.swallowChar = key;
    }
    return 0;
}

LRESULT EditChar(HWND window, EditState& state, WPARAM character)
{
    if (state.swallowChar != 0 && character == state.swallowChar) {
        state.swallowChar = 0;
        return 0;
    }
    state.swallowChar = 0;
    if (!IsWindowEnabled(window) || IsReadOnly(window) || character > 0xFFFF)
        return 0;
    bool lineBreak = character == u'\r' || character == u'\n';
    if (character < 0x20 && !lineBreak)
        return 0;  // Back and Backspace act on WM_KEYDOWN
    if (lineBreak && !IsMultiLine(window))
        return 0;
    if ((StyleOf(window) & ES_NUMBER) != 0 && (character < u'0' || character > u'9'))
        return 0;
    CommitPending(window, state);
    state.caretOn = true;
    auto unit = static_cast<WCHAR>(character);
    ReplaceSelection(window, state, lineBreak ? std::u16string_view(u"\r\n") : std::u16string_view(&unit, 1), true,
                     true);
    return 0;
}

LRESULT EditDialogCode(HWND window, EditState& state, const MSG* message)
{
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (message == nullptr || message->message != WM_KEYDOWN)
        return code;
    constexpr LRESULT kWanted = DLGC_WANTARROWS | DLGC_WANTMESSAGE;
    switch (message->wParam) {
    case display::VK_LEFT_KEY:
    case display::VK_RIGHT_KEY:
        return code | kWanted;
    case display::VK_UP_KEY:
    case display::VK_DOWN_KEY: {
        if (!IsMultiLine(window))
            return code;
        EnsureLayout(window, state);
        std::size_t line = LineOf(state.lines, state.caret);
        bool down = message->wParam == display::VK_DOWN_KEY;
        return (down ? line + 1 < state.lines.size() : line > 0) ? code | kWanted : code;
    }
    case display::VK_BACK_KEY:
    case kBackspace:
        return HasText(state) && !IsReadOnly(window) ? code | DLGC_WANTMESSAGE : code;
    default:
        break;
    }
    if (!IsReadOnly(window) && (!MultiTapCycle(message->wParam).empty() || message->wParam == display::VK_POUND))
        return code | DLGC_WANTMESSAGE;
    return code;
}

}  // namespace platform::controls
