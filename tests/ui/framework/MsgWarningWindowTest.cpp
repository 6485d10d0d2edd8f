// The warning popup: the pending warning text drawn wrapped in red on its
// light background, and what "OK" and "Hide" do (both bring the main window
// back and close the popup, which is destroyed from inside its own command
// while WindowMap holds the only reference; "Hide" also clears the text), and
// the keypad reaching the popup while it is shown.
#include <gtest/gtest.h>

#include <string>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "platform/display/Display.h"
#include "ui/framework/MsgWarningWindow.h"
#include "ui/framework/Resources.h"

namespace {

using namespace platform::display;

class StubMain final : public ProgramWindow {
public:
    virtual ~StubMain() = default;
    HWND ProgramWindowHandle() const override { return window; }
    HWND window = nullptr;
};

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

class MsgWarningWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.lpszClassName = u"StubMainWindow";
        RegisterClassW(&windowClass);
        m_main.window = CreateWindowExW(0, u"StubMainWindow", u"Main", 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        m_core = MakeRef<AppCore>(&m_main, AppCoreParts{});
        app::SetCore(m_core.Get());
    }
    void TearDown() override
    {
        app::SetCore(nullptr);
        DestroyWindow(m_main.window);
    }
    // Opens a popup and gives up the test's reference to it.
    static HWND OpenPopup()
    {
        RefPtr<MsgWarningWindow> popup = MakeRef<MsgWarningWindow>();
        HWND window = popup->Open();
        Pump();
        return window;
    }
    StubMain m_main;
    RefPtr<AppCore> m_core;
};

TEST_F(MsgWarningWindowTest, DrawsTheWrappedWarningInItsColours)
{
    const WideString warning = u"ICQ connection rejected: error 5 while signing on to the server";
    m_core->SetLastErrorText(warning);
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    RECT frame{};
    GetWindowRect(popup, &frame);
    std::vector<ShownText> texts;
    auto screen = Capture(&texts);
    ASSERT_TRUE(screen);

    std::vector<ShownText> lines;
    for (const ShownText& text : texts) {
        if (text.window == popup)
            lines.push_back(text);
    }
    ASSERT_GE(lines.size(), 2u) << "the text is wrapped to the width";
    WideString joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        joined += (i == 0 ? u"" : u" ") + lines[i].text;
        EXPECT_EQ(lines[i].rect.left, frame.left + 1);
        EXPECT_LE(lines[i].rect.right, frame.right - 1);
        if (i > 0) {
            EXPECT_GT(lines[i].rect.top, lines[i - 1].rect.top);
        }
    }
    EXPECT_EQ(joined, warning);
    EXPECT_EQ(lines[0].rect.top, frame.top);

    // Background in its colour; red (200, 0, 0) ink inside the first line.
    auto pixel = [&](int x, int y) { return platform::gdi::ToColorRef(screen->Row(y)[x]); };
    EXPECT_EQ(pixel(frame.right - 1, frame.bottom - 1), MsgWarningWindow::kBackground);
    bool red = false;
    const RECT& first = lines[0].rect;
    for (int y = first.top; y < first.bottom && !red; ++y) {
        for (int x = first.left; x < first.right && !red; ++x) {
            COLORREF c = pixel(x, y);
            red = GetRValue(c) >= 190 && GetGValue(c) < 40 && GetBValue(c) < 40;
        }
    }
    EXPECT_TRUE(red);
    DestroyWindow(popup);
}

TEST_F(MsgWarningWindowTest, OkKeepsTheWarningAndHideClearsIt)
{
    m_core->SetLastErrorText(u"Lost connection");
    HWND popup = OpenPopup();
    ASSERT_TRUE(IsWindow(popup));
    SendMessageW(popup, WM_COMMAND, MsgWarningWindow::kCommandOk, 0);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(WindowBase::FromHandle(popup));
    EXPECT_TRUE(IsWindowVisible(m_main.window));
    EXPECT_EQ(m_core->LastErrorText(), u"Lost connection");

    popup = OpenPopup();
    SendMessageW(popup, WM_COMMAND, MsgWarningWindow::kCommandHide, 0);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_TRUE(IsWindowVisible(m_main.window));
    EXPECT_EQ(m_core->LastErrorText(), u"");
}

TEST_F(MsgWarningWindowTest, TheKeypadReachesThePopupAndThenTheMainWindowAgain)
{
    ASSERT_TRUE(resources::RegisterProgramResources(app::Instance()));
    ShowWindow(m_main.window, SW_SHOW);
    SetForegroundWindow(m_main.window);
    m_core->SetLastErrorText(u"Lost connection");
    HWND popup = OpenPopup();
    ASSERT_TRUE(IsWindow(popup));
    EXPECT_EQ(KeyTarget(), popup) << "the soft keys on the screen are the popup's";
    ASSERT_TRUE(PressKey(VK_SOFT1));
    Pump();
    EXPECT_FALSE(IsWindow(popup)) << "OK from the keypad closes it";
    EXPECT_EQ(KeyTarget(), m_main.window);
}

}  // namespace
