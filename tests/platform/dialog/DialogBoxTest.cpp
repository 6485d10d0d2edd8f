// Modal dialogs run headless with keys: creation of the controls with their
// creation data and font, focus moves and wrapping, controls that keep the
// arrows, Back, EndDialog codes, full-screen initialisation, scrolling to
// the focused control, and the dialog-item helpers.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Shell.h"
#include "platform/win/Controls.h"
#include "tests/platform/dialog/TemplateBytes.h"

namespace {

using dialogtest::TemplateBytes;
using namespace platform::display;

constexpr UINT kStep = WM_APP + 1;
constexpr DWORD kTabStop = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

// Stand-ins for the standard controls: a text box that takes characters
// (not arrows), a list that keeps the arrows, and a plain label. Each
// remembers its creation data and font.
std::map<HWND, std::vector<BYTE>> g_creationData;
std::map<HWND, WPARAM> g_font;

LRESULT StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT dialogCode)
{
    switch (message) {
    case WM_CREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (create->lpCreateParams != nullptr) {
            const auto* bytes = static_cast<const BYTE*>(create->lpCreateParams);
            WORD count = 0;
            std::memcpy(&count, bytes, sizeof count);
            g_creationData[window].assign(bytes, bytes + 2 + count);
        }
        return 0;
    }
    case WM_SETFONT:
        g_font[window] = wParam;
        return 0;
    case WM_GETDLGCODE:
        return dialogCode;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
LRESULT TextProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return StandInProc(w, m, wp, lp, DLGC_WANTCHARS); }
LRESULT ListProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return StandInProc(w, m, wp, lp, DLGC_WANTARROWS); }

// The dialog procedure runs the test's steps one after another, each after
// every message the previous one posted (keys included).
std::vector<std::function<void(HWND)>> g_steps;
std::size_t g_nextStep = 0;
INT_PTR g_initAnswer = TRUE;

INT_PTR ScriptProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        PostMessageW(dialog, kStep, 0, 0);
        return g_initAnswer;
    }
    if (message == kStep && g_nextStep < g_steps.size()) {
        g_steps[g_nextStep++](dialog);
        PostMessageW(dialog, kStep, 0, 0);
        return TRUE;
    }
    return FALSE;
}

class DialogBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (auto [name, proc] : {std::pair{u"StandInText", &TextProc}, std::pair{u"StandInList", &ListProc}}) {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = proc;
            windowClass.lpszClassName = name;
            RegisterClassW(&windowClass);
        }
        g_steps.clear();
        g_nextStep = 0;
        g_initAnswer = TRUE;
        g_creationData.clear();
        g_font.clear();
    }

    // A dialog of the given controls: (style, id, class, height in dialog units).
    struct Control {
        DWORD style;
        WORD id;
        std::u16string className;
        short cy = 12;
    };
    static std::vector<BYTE> Template(const std::vector<Control>& controls)
    {
        TemplateBytes t;
        t.Header(DS_SETFONT | WS_POPUP, static_cast<WORD>(controls.size()), 80, 80);
        t.Put(WORD{0}).Put(WORD{0}).String(u"Test dialog").Put(WORD{9}).String(u"Nina");
        short y = 0;
        for (const Control& c : controls) {
            t.Item(c.style, c.id, 0, y, 60, c.cy).String(c.className).String(u"");
            t.Data({static_cast<BYTE>(c.id & 0xFF), 0xAB});
            y = static_cast<short>(y + c.cy);
        }
        return t.bytes;
    }
    static INT_PTR Run(const std::vector<BYTE>& bytes)
    {
        return DialogBoxIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
                                       &ScriptProc, 0);
    }
    static int FocusId() { return GetDlgCtrlID(GetFocus()); }
};

TEST_F(DialogBoxTest, UpAndDownMoveBetweenTabStopsAndBackCancels)
{
    std::vector<int> focus;
    auto press = [&](UINT key) {
        g_steps.push_back([key](HWND) { PressKey(key); });
        g_steps.push_back([&](HWND) { focus.push_back(FocusId()); });
    };
    g_steps.push_back([&](HWND) { focus.push_back(FocusId()); });
    press(VK_DOWN_KEY);  // 1 -> 3: the label and the disabled box are skipped
    press(VK_DOWN_KEY);  // 3 -> 5 (the list)
    press(VK_DOWN_KEY);  // the list keeps the arrows
    g_steps.push_back([](HWND dialog) { SetFocus(GetDlgItem(dialog, 3)); });
    press(VK_DOWN_KEY);  // 3 -> 5
    g_steps.push_back([](HWND dialog) { SetFocus(GetDlgItem(dialog, 1)); });
    press(VK_UP_KEY);    // 1 wraps to the last, 5
    // Another window comes in front and goes; the focus returns to where it was.
    HWND other = nullptr;
    g_steps.push_back([&](HWND) {
        WNDCLASSW plain;
        plain.lpfnWndProc = &DefWindowProcW;
        plain.lpszClassName = u"InFront";
        RegisterClassW(&plain);
        other = CreateWindowExW(0, u"InFront", u"", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
    });
    g_steps.push_back([&](HWND dialog) {
        focus.push_back(GetFocus() == other ? -1 : FocusId());
        DestroyWindow(other);
        SetForegroundWindow(dialog);
    });
    g_steps.push_back([&](HWND) { focus.push_back(FocusId()); });
    g_steps.push_back([](HWND) { PressKey(VK_BACK_KEY); });

    INT_PTR result = Run(Template({{kTabStop, 1, u"StandInText"},
                                   {WS_CHILD | WS_VISIBLE, 2, u"StandInText"},
                                   {kTabStop | WS_DISABLED, 4, u"StandInText"},
                                   {kTabStop, 3, u"StandInText"},
                                   {kTabStop, 5, u"StandInList"}}));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(focus, (std::vector<int>{1, 3, 5, 5, 5, 5, -1, 5}));
}

TEST_F(DialogBoxTest, ControlsGetCreationDataAndFontAndEndDialogGivesItsCode)
{
    HWND seen = nullptr;
    LRESULT dialogFont = 0;
    RECT dialogRect{};
    g_steps.push_back([&](HWND dialog) {
        seen = dialog;
        dialogFont = SendMessageW(dialog, WM_GETFONT, 0, 0);
        SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
        EXPECT_TRUE(SHInitDialog(&init));
        GetWindowRect(dialog, &dialogRect);
        EndDialog(dialog, 42);
    });
    INT_PTR result = Run(Template({{kTabStop, 7, u"StandInText"}, {kTabStop, 8, u"StandInList"}}));
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(IsWindow(seen)) << "the dialog is destroyed when its loop ends";
    ASSERT_EQ(g_creationData.size(), 2u);
    std::vector<std::vector<BYTE>> data;
    for (auto& [window, bytes] : g_creationData) {
        data.push_back(bytes);
        EXPECT_EQ(g_font[window], static_cast<WPARAM>(dialogFont));
    }
    EXPECT_NE(dialogFont, 0);
    EXPECT_EQ(data, (std::vector<std::vector<BYTE>>{{2, 0, 7, 0xAB}, {2, 0, 8, 0xAB}}));
    RECT area = Layout().WorkArea();
    EXPECT_EQ(dialogRect.left, area.left);
    EXPECT_EQ(dialogRect.top, area.top);
    EXPECT_EQ(dialogRect.right, area.right);
    EXPECT_EQ(dialogRect.bottom, area.bottom);
}

TEST_F(DialogBoxTest, FocusScrollsIntoViewAndBackToTheTop)
{
    std::vector<Control> controls;
    for (WORD id = 1; id <= 12; ++id)
        controls.push_back({kTabStop, id, u"StandInText", 30});
    std::vector<RECT> focused;
    int height = 0;
    auto record = [&](HWND dialog) {
        RECT client{};
        GetClientRect(dialog, &client);
        height = client.bottom;
        RECT control{};
        RECT window{};
        GetWindowRect(GetFocus(), &control);
        GetWindowRect(dialog, &window);
        focused.push_back(RECT{control.left - window.left, control.top - window.top, control.right - window.left,
                               control.bottom - window.top});
    };
    for (int i = 0; i < 11; ++i)
        g_steps.push_back([](HWND) { PressKey(VK_DOWN_KEY); });
    g_steps.push_back(record);
    g_steps.push_back([](HWND) { PressKey(VK_DOWN_KEY); });  // wraps to the first
    g_steps.push_back(record);
    g_steps.push_back([](HWND dialog) { EndDialog(dialog, IDOK); });
    ASSERT_EQ(Run(Template(controls)), IDOK);
    ASSERT_EQ(focused.size(), 2u);
    EXPECT_GE(focused[0].top, 0);
    EXPECT_LE(focused[0].bottom, height) << "the last control is scrolled into view";
    EXPECT_EQ(focused[1].top, 0) << "the first control is back at its place";
}

TEST_F(DialogBoxTest, UnknownClassOrBrokenTemplateFails)
{
    EXPECT_EQ(Run(Template({{kTabStop, 1, u"NoSuchClass"}})), -1);
    std::vector<BYTE> cut = Template({{kTabStop, 1, u"StandInText"}});
    cut.resize(cut.size() - 3);
    EXPECT_EQ(platform::dialog::DialogBoxFromBuffer(nullptr, cut.data(), cut.size(), nullptr, &ScriptProc, 0), -1);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(DialogBoxTest, DialogItemNumbers)
{
    struct Case {
        const char16_t* text;
        BOOL isSigned;
        BOOL translated;
        UINT value;
    };
    const Case cases[] = {
        {u"123", FALSE, TRUE, 123},         {u"-45", TRUE, TRUE, static_cast<UINT>(-45)},
        {u"-45", FALSE, FALSE, 0},          {u"12a", FALSE, FALSE, 0},
        {u"", FALSE, FALSE, 0},             {u"4294967295", FALSE, TRUE, 4294967295u},
        {u"4294967296", FALSE, FALSE, 0},   {u" 7", FALSE, TRUE, 7},
        {u"2147483648", TRUE, FALSE, 0},
    };
    g_steps.push_back([&](HWND dialog) {
        for (const Case& c : cases) {
            SetDlgItemTextW(dialog, 1, c.text);
            BOOL translated = 2;
            UINT value = GetDlgItemInt(dialog, 1, &translated, c.isSigned);
            EXPECT_EQ(translated, c.translated) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
            EXPECT_EQ(value, c.value);
        }
        SetDlgItemInt(dialog, 1, static_cast<UINT>(-9), TRUE);
        WCHAR buffer[8];
        EXPECT_EQ(GetDlgItemTextW(dialog, 1, buffer, 8), 2u);
        EXPECT_EQ(std::u16string(buffer), u"-9");
        EXPECT_EQ(GetDlgItemTextW(dialog, 99, buffer, 8), 0u);
        EXPECT_EQ(buffer[0], 0);
        EndDialog(dialog, IDOK);
    });
    EXPECT_EQ(Run(Template({{kTabStop, 1, u"StandInText"}})), IDOK);
}

}  // namespace
