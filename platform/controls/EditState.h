// The state of an edit control and the operations on its text, shared by
// its window procedure (Edit.cpp), its key handling (EditKeys.cpp) and its
// view (EditView.cpp).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/controls/ControlState.h"
#include "platform/controls/EditLayout.h"

namespace platform::controls {

// The default limit of typed text, as on the device.
constexpr std::size_t kDefaultEditLimit = 30000;
// What EM_LIMITTEXT 0 means, and the most any edit holds.
constexpr std::size_t kMaxEditLimit = 0x7FFFFFFE;

constexpr UINT_PTR kCommitTimer = 1;
constexpr UINT_PTR kBlinkTimer = 2;
constexpr UINT kBlinkMs = 500;

struct EditState : ControlState {
    static constexpr Kind kKind = Kind::Edit;
    EditState() : ControlState(kKind) {}

    WideString text;
    std::size_t anchor = 0;  // selection: anchor .. caret (either order)
    std::size_t caret = 0;
    std::size_t limit = kDefaultEditLimit;
    bool modified = false;
    WCHAR passwordChar = u'*';

    // Input.
    bool numbersMode = false;
    bool capitalNext = false;  // "Abc": the next multi-tap letter is a capital
    WPARAM pendingKey = 0;     // number key of the pending (uncommitted) letter, 0 for none
    std::size_t pendingAt = 0;
    std::size_t cycle = 0;
    WPARAM swallowChar = 0;  // the WM_CHAR that follows a number key handled on WM_KEYDOWN

    // View.
    bool caretOn = true;
    std::vector<EditLine> lines;
    std::vector<int> advances;  // per unit of the shown text
    int layoutWidth = -1;
    bool layoutDirty = true;
    std::size_t firstLine = 0;
    int scrollX = 0;  // single-line horizontal scroll in pixels
    std::unordered_map<char16_t, int> advanceCache;
    HFONT measuredFont = nullptr;
    int lineHeight = 14;

    std::size_t SelStart() const { return std::min(anchor, caret); }
    std::size_t SelEnd() const { return std::max(anchor, caret); }
};

bool IsMultiLine(HWND window);

// Replaces the selection with `insert` (cut to the limit when `limited`),
// leaves the caret after it, sends EN_UPDATE and EN_CHANGE when `notify`
// and the text changed. False when the window died in a notification.
bool ReplaceSelection(HWND window, EditState& state, std::u16string_view insert, bool limited, bool notify);

// Deletes the selection, or the character before the caret (a surrogate
// pair as one).
bool DeleteBack(HWND window, EditState& state);

// Ends the pending multi-tap letter (it stays in the text).
void CommitPending(HWND window, EditState& state);

// The mode text of the title strip ("abc", "Abc", "123"), empty for a
// read-only edit.
WideString ModeText(HWND window, const EditState& state);
void ShowMode(HWND window, const EditState& state);

// Selection set and clamped to the text; the caret made visible.
void SetSelection(HWND window, EditState& state, std::size_t anchor, std::size_t caret);

// View (EditView.cpp).
void EnsureLayout(HWND window, EditState& state);
void ScrollToCaret(HWND window, EditState& state);
int VisibleLines(HWND window, EditState& state);
void PaintEdit(HWND window, EditState& state);
RECT TextArea(HWND window);

// Keys (EditKeys.cpp).
LRESULT EditKeyDown(HWND window, EditState& state, WPARAM key);
LRESULT EditChar(HWND window, EditState& state, WPARAM character);
LRESULT EditDialogCode(HWND window, EditState& state, const MSG* message);

}  // namespace platform::controls
