// The About box: its texts on the screen, fonts that grow with the width but
// not without end, and "OK" bringing the main window back.
#include <map>

#include "platform/display/Display.h"
#include "tests/ui/settings/SettingsFixture.h"
#include "ui/MsgAboutWnd.h"
#include "ui/Screens.h"

namespace {

using namespace settingstest;

TEST(AboutFontTest, GrowsUntilTheLineSpansHalfTheWidth)
{
    // A line 8 pixels wide per pixel of font height.
    auto measure = [](int height) { return 8 * height; };
    struct Case {
        const char* name;
        int width;
        int height;
    } cases[] = {
        {"narrow: the smallest font", 40, 6},
        {"exactly half at 10", 160, 10},
        {"just over half at 11", 161, 11},
        {"wide: stops at the largest", 100000, kAboutMaxFontHeight},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MsgAboutWnd::RegularFontHeight(c.width, measure), c.height) << c.name;
    EXPECT_EQ(MsgAboutWnd::RegularFontHeight(500, [](int) { return 0; }), kAboutMaxFontHeight)
        << "a text that measures nothing still ends the search";
}

class StubMain final : public ProgramWindow {
public:
    virtual ~StubMain() = default;
    HWND ProgramWindowHandle() const override { return window; }
    HWND window = nullptr;
};

class AboutTest : public SettingsFixture {};

TEST_F(AboutTest, ShowsNameLineAndVersionAndOkReturnsToTheMainWindow)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.lpszClassName = u"AboutStubMain";
    RegisterClassW(&windowClass);
    StubMain main;
    main.window = CreateWindowExW(0, u"AboutStubMain", u"Main", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    RefPtr<AppCore> core = MakeRef<AppCore>(&main, AppCoreParts{});
    app::SetCore(core.Get());

    screens::ShowAbout(*core, main.window);
    HWND about = Screen(u"MsgAboutWnd");
    ASSERT_NE(about, nullptr);
    UpdateWindow(about);
    RECT frame{};
    GetWindowRect(about, &frame);
    std::vector<platform::display::ShownText> texts;
    platform::display::Capture(&texts);
    Screenshot("about");
    std::map<WideString, RECT> shown;
    for (const auto& text : texts) {
        if (text.window == about)
            shown[text.text] = text.rect;
    }
    ASSERT_EQ(shown.count(u"Corvane"), 1u);
    ASSERT_EQ(shown.count(MsgAboutWnd::AboutLine()), 1u);
    ASSERT_EQ(shown.count(MsgAboutWnd::VersionText()), 1u);
    EXPECT_EQ(MsgAboutWnd::VersionText().rfind(u"version ", 0), 0u);
    EXPECT_GT(MsgAboutWnd::VersionText().size(), 8u) << "the number of the build follows";
    const RECT& line = shown[MsgAboutWnd::AboutLine()];
    int width = frame.right - frame.left;
    EXPECT_GE((line.right - line.left) * 2, width) << "the line spans at least half the width";
    EXPECT_LE(line.right, frame.right) << "and is not cut off";
    EXPECT_GT(shown[u"Corvane"].bottom - shown[u"Corvane"].top, line.bottom - line.top) << "a larger title";

    SendMessageW(about, WM_COMMAND, 2002, 0);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowVisible(main.window));
    app::SetCore(m_core.Get());
    DestroyWindow(main.window);
}

}  // namespace
