// Changes to the text of an edit control: replacing the selection within the
// limit, deleting before the caret, committing a multi-tap letter, and the
// input mode shown in the title strip.
#include <algorithm>

#include "platform/controls/EditState.h"
#include "platform/display/Display.h"

namespace platform::controls {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

bool IsMultiLine(HWND window) { return (StyleOf(window) & ES_MULTILINE) != 0; }

bool ReplaceSelection(HWND window, EditState& state, std::u16string_view insert, bool limited, bool notify)
{
    std::size_t from = state.SelStart();
    std::size_t to = state.SelEnd();
    std::size_t kept = state.text.size() - (to - from);
    std::size_t limit = limited ? state.limit : kMaxEditLimit;
    std::size_t room = limit > kept ? limit - kept : 0;
    bool maxed = false;
    if (insert.size() > room) {
        std::size_t cut = room;
        if (cut > 0 && IsHighSurrogate(insert[cut - 1]))
            --cut;
        insert = insert.substr(0, cut);
        maxed = true;
    }
    bool changed = !insert.empty() || from != to;
    if (changed) {
        state.text.replace(from, to - from, insert);
        state.anchor = state.caret = from + insert.size();
        state.modified = true;
        state.layoutDirty = true;
        ScrollToCaret(window, state);
        InvalidateRect(window, nullptr, FALSE);
    }
    if (changed && notify) {
        NotifyParent(window, EN_UPDATE);
        if (state.dead)
            return false;
        NotifyParent(window, EN_CHANGE);
        if (state.dead)
            return false;
    }
    if (maxed && notify)
        NotifyParent(window, EN_MAXTEXT);
    return !state.dead;
}

bool DeleteBack(HWND window, EditState& state)
{
    if (state.pendingKey != 0) {
        state.pendingKey = 0;
        KillTimer(window, kCommitTimer);
    }
    if (state.anchor == state.caret) {
        std::size_t caret = std::min(state.caret, state.text.size());
        if (caret == 0)
            return true;
        std::size_t count = 1;
        if (caret >= 2 && IsLowSurrogate(state.text[caret - 1]) && IsHighSurrogate(state.text[caret - 2]))
            count = 2;
        else if (caret >= 2 && state.text[caret - 1] == u'\n' && state.text[caret - 2] == u'\r')
            count = 2;
        state.anchor = caret - count;
        state.caret = caret;
    }
    return ReplaceSelection(window, state, u"", false, true);
}

void CommitPending(HWND window, EditState& state)
{
    if (state.pendingKey == 0)
        return;
    state.pendingKey = 0;
    KillTimer(window, kCommitTimer);
    if (state.capitalNext && state.pendingAt < state.text.size() && state.text[state.pendingAt] >= u'A' &&
        state.text[state.pendingAt] <= u'Z') {
        state.capitalNext = false;
        ShowMode(window, state);
    }
    InvalidateRect(window, nullptr, FALSE);
}

WideString ModeText(HWND window, const EditState& state)
{
    DWORD style = StyleOf(window);
    if ((style & ES_READONLY) != 0)
        return {};
    if (state.numbersMode || (style & ES_NUMBER) != 0)
        return u"123";
    return state.capitalNext ? u"Abc" : u"abc";
}

void ShowMode(HWND window, const EditState& state)
{
    if (HasFocus(window))
        display::SetInputMode(window, ModeText(window, state));
}

void SetSelection(HWND window, EditState& state, std::size_t anchor, std::size_t caret)
{
    std::size_t size = state.text.size();
    state.anchor = std::min(anchor, size);
    state.caret = std::min(caret, size);
    ScrollToCaret(window, state);
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace platform::controls
