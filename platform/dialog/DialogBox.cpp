// Modal dialog boxes from in-memory templates: creation of the dialog and
// its controls, WM_INITDIALOG, the modal loop and EndDialog.
#include <memory>

#include "platform/base/LastError.h"
#include "platform/dialog/DialogState.h"
#include "platform/dialog/DialogTemplate.h"
#include "platform/display/Display.h"

namespace platform::dialog {
namespace {

constexpr int kPointsPerInch = 72;

// Registers the class of dialogs whose template names none (once; a
// failure is tried again by the next dialog).
bool EnsureDefaultClass()
{
    WNDCLASSW existing;
    if (GetClassInfoW(nullptr, kDefaultDialogClass, &existing))
        return true;
    WNDCLASSW windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &DefDlgProcW;
    windowClass.cbWndExtra = 32;
    windowClass.lpszClassName = kDefaultDialogClass;
    return RegisterClassW(&windowClass) != 0 || GetClassInfoW(nullptr, kDefaultDialogClass, &existing);
}

HFONT MakeFont(const DialogTemplate& dialog)
{
    if (dialog.faceName.empty() && dialog.pointSize == 0)
        return nullptr;
    LOGFONTW font;
    font.lfHeight = -static_cast<LONG>((dialog.pointSize * kDevicePixelsPerInch + kPointsPerInch / 2) / kPointsPerInch);
    font.lfWeight = FW_NORMAL;
    dialog.faceName.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// Dialog units to pixels: a horizontal unit is a quarter of the font's
// average character width, a vertical one an eighth of its height.
struct BaseUnits {
    int x = 6;
    int y = 13;
    int X(int units) const { return units * x / 4; }
    int Y(int units) const { return units * y / 8; }
};

BaseUnits Measure(HFONT font)
{
    BaseUnits units;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr)
        return units;
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc, &metrics) && metrics.tmAveCharWidth > 0 && metrics.tmHeight > 0) {
        units.x = metrics.tmAveCharWidth;
        units.y = metrics.tmHeight;
    }
    if (old != nullptr)
        SelectObject(dc, old);
    DeleteDC(dc);
    return units;
}

LPCWSTR DialogClass(const DialogTemplate& dialog)
{
    if (dialog.classAtom != 0)
        return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(dialog.classAtom));
    return dialog.className.empty() ? kDefaultDialogClass : dialog.className.c_str();
}

HWND CreateDialogWindow(HINSTANCE instance, const DialogTemplate& dialog, HWND parent,
                        const std::shared_ptr<DialogState>& state, const BaseUnits& units)
{
    platform::display::EnsureWorkArea();
    RECT area = platform::display::Layout().WorkArea();
    DWORD style = (dialog.style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    SetPendingDialog(state);
    HWND window = CreateWindowExW(dialog.exStyle, DialogClass(dialog), dialog.title.c_str(), style,
                                  area.left + units.X(dialog.x), area.top + units.Y(dialog.y), units.X(dialog.cx),
                                  units.Y(dialog.cy), parent, nullptr, instance, nullptr);
    TakePendingDialog();
    if (window != nullptr)
        BindDialog(window, state);
    return window;
}

bool CreateControls(HINSTANCE instance, HWND window, DialogTemplate& dialog, HFONT font, const BaseUnits& units)
{
    for (TemplateItem& item : dialog.items) {
        void* data = item.creationData.empty() ? nullptr : item.creationData.data();
        HWND control = CreateWindowExW(item.exStyle, item.className.c_str(), item.title.c_str(),
                                       item.style | WS_CHILD, units.X(item.x), units.Y(item.y), units.X(item.cx),
                                       units.Y(item.cy), window,
                                       reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id)), instance, data);
        if (control == nullptr)
            return false;
        if (font != nullptr)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return true;
}

// Runs messages until the dialog ends or goes away. WM_QUIT is put back for
// the outer loop and ends the dialog as cancelled.
void RunModalLoop(HWND window, DialogState& state)
{
    MSG message;
    while (!state.ended && IsWindow(window)) {
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            state.result = IDCANCEL;
            return;
        }
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace

INT_PTR DialogBoxFromBuffer(HINSTANCE instance, const BYTE* data, std::size_t size, HWND parent, DLGPROC dialogProc,
                            LPARAM initParam)
{
    std::optional<DialogTemplate> dialog = ReadDialogTemplate(data, size);
    if (!dialog || !EnsureDefaultClass()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    auto state = std::make_shared<DialogState>();
    state->procedure = dialogProc;
    HFONT font = MakeFont(*dialog);
    state->font = font;
    BaseUnits units = Measure(font);
    HWND window = CreateDialogWindow(instance, *dialog, parent, state, units);
    if (window == nullptr) {
        if (font != nullptr)
            DeleteObject(font);
        return -1;
    }
    if (font != nullptr)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!CreateControls(instance, window, *dialog, font, units)) {
        DWORD error = GetLastError();
        DestroyWindow(window);
        ForgetDialog(window);
        if (font != nullptr)
            DeleteObject(font);
        SetLastError(error);
        return -1;
    }
    HWND first = NextTabStop(window, nullptr, true);
    bool parentWasEnabled = parent != nullptr && IsWindowEnabled(parent);
    if (parentWasEnabled)
        EnableWindow(parent, FALSE);
    if (SendMessageW(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam) != 0 && first != nullptr &&
        IsWindow(first)) {
        SetFocus(first);
        ScrollIntoView(window, first);
    }
    if (!state->ended && IsWindow(window)) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        RunModalLoop(window, *state);
    }
    if (parentWasEnabled)
        EnableWindow(parent, TRUE);
    if (parent != nullptr && IsWindow(window) && GetForegroundWindow() == window)
        SetForegroundWindow(parent);
    if (IsWindow(window))
        DestroyWindow(window);
    ForgetDialog(window);
    if (font != nullptr)
        DeleteObject(font);
    return state->result;
}

}  // namespace platform::dialog

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam)
{
    return platform::dialog::DialogBoxFromBuffer(instance, reinterpret_cast<const BYTE*>(dialogTemplate),
                                                 dialogTemplate == nullptr ? 0 : platform::dialog::kMaxTemplateBytes,
                                                 parent, dialogProc, initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    auto state = platform::dialog::FindDialog(dialog);
    if (!state) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->ended = true;
    state->result = result;
    // Wakes the modal loop when EndDialog comes from outside a message.
    PostMessageW(dialog, WM_NULL, 0, 0);
    return TRUE;
}
