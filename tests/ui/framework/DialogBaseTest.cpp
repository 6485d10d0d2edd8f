// A DialogBase screen run headless: its template, the controls placed by
// the flow layout on the real client area, the spinner bound to its buddy,
// keys of an edit box routed to the dialog, focus moving with Up/Down, and
// Back in an edit box (with the standard controls and soft keys present).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "app/AppGlobals.h"
#include "platform/display/Display.h"
#include "platform/shell/Shell.h"
#include "platform/win/Controls.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/Items.h"
#include "ui/framework/Resources.h"

namespace {

using namespace platform::display;

constexpr UINT kStep = WM_APP + 1;

// Stand-ins for the standard controls (registered under their own names;
// the wrappers below superclass them instead of the system classes).
std::map<HWND, HWND> g_buddy;
std::map<HWND, WideString> g_text;

LRESULT StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS;
    case UDM_SETBUDDY:
        g_buddy[window] = reinterpret_cast<HWND>(wParam);
        return 0;
    case WM_CHAR:
        g_text[window].push_back(static_cast<char16_t>(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterStandIn(const WCHAR* name)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &StandInProc;
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

class TestEdit : public TextBoxWindow {
public:
    TestEdit(int id, WidthRule width) : TextBoxWindow(id, u"", 0x50010000, width, {0, 3, 1}) { RegisterSuperclass(); }
    const WCHAR* ClassName() const override { return u"TestTextBox"; }
    const WCHAR* SystemClassName() const override { return u"StandInEdit"; }
};

class TestCheckBox : public CheckBoxWindow {
public:
    TestCheckBox(int id, WideString caption, WidthRule width)
        : CheckBoxWindow(id, std::move(caption), 0x50010003, width, {0, 3, 1})
    {
        RegisterSuperclass();
    }
    const WCHAR* ClassName() const override { return u"TestCheckBox"; }
    const WCHAR* SystemClassName() const override { return u"StandInButton"; }
};

class TestLabel : public StaticWindow {
public:
    TestLabel(int id, WideString caption, WidthRule width)
        : StaticWindow(id, std::move(caption), 0x5000000C, width, {0, 2, 1})
    {
    }
    const WCHAR* ClassName() const override { return u"StandInStatic"; }
    WORD TemplateAtom() const override { return 0; }
};

class TestSpin : public UpDownWindow {
public:
    TestSpin(int id, RefPtr<ControlItem> buddy) : UpDownWindow(id, 0x50000067, std::move(buddy)) {}
    const WCHAR* ClassName() const override { return u"StandInUpDown"; }
};

// The dialog under test runs `steps` one per posted message, after every
// message the previous step posted.
class TestDialog : public DialogBase {
public:
    explicit TestDialog(UINT menuBarId) : m_menuBarId(menuBarId) { RegisterDialogClass(); }
    const WCHAR* ClassName() const override { return u"TestDialog"; }
    UINT MenuBarId() const override { return m_menuBarId; }

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override
    {
        initialised = DialogBase::OnInitDialog(wParam, lParam) != 0;
        PostMessageW(Window(), kStep, 0, 0);
        return initialised ? 1 : 0;
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        if (message == kStep && next < steps.size()) {
            steps[next++](*this);
            PostMessageW(Window(), kStep, 0, 0);
        }
        return DialogBase::OnMessage(message, wParam, lParam, handled);
    }
    LRESULT OnChildKeyDown(WPARAM key, LPARAM, HWND control, bool& handled) override
    {
        childKeys.push_back({key, GetDlgCtrlID(control)});
        handled = false;
        return 0;
    }
    LRESULT OnChildGetDlgCode(int controlId, HWND, MSG*) override
    {
        dialogCodeIds.push_back(controlId);
        return 0;
    }

    std::vector<std::function<void(TestDialog&)>> steps;
    std::size_t next = 0;
    bool initialised = false;
    std::vector<std::pair<WPARAM, int>> childKeys;
    std::vector<int> dialogCodeIds;

private:
    UINT m_menuBarId;
};

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT window{};
    RECT rect{};
    GetWindowRect(dialog, &window);
    GetWindowRect(control, &rect);
    return RECT{rect.left - window.left, rect.top - window.top, rect.right - window.left, rect.bottom - window.top};
}

class DialogBaseTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const WCHAR* name : {u"StandInEdit", u"StandInButton", u"StandInStatic", u"StandInUpDown"})
            RegisterStandIn(name);
        g_buddy.clear();
        g_text.clear();
        resources::RegisterProgramResources(app::Instance());
    }
};

TEST_F(DialogBaseTest, LayoutKeysAndFocusInARealDialog)
{
    RefPtr<TestDialog> dialog = MakeRef<TestDialog>(0);
    dialog->AddItem(MoveRightDown({0, 3, 0, 0}, {0, 3, 0}));
    auto check = dialog->AddItem(MakeRef<TestCheckBox>(1000, u"Sound", WidthRule{100, -6, 0, 0}));
    dialog->AddItem(MoveDown({0, 3, 1}));
    auto label = dialog->AddItem(MakeRef<TestLabel>(1001, u"UIN", WidthRule{0, 0, 0, 1}));
    dialog->AddItem(MoveRight({0, 4, 0, 1}));
    auto edit = dialog->AddItem(MakeRef<TestEdit>(1002, WidthRule{100, -10, 0, 0}));
    auto spin = dialog->AddItem(MakeRef<TestSpin>(1003, edit));
    dialog->AddItem(MoveBack(1));

    RECT client{};
    std::vector<RECT> rects;
    std::vector<int> focus;
    dialog->steps.push_back([&](TestDialog& d) {
        GetClientRect(d.Window(), &client);
        for (RefPtr<ControlItem> item : {RefPtr<ControlItem>(check), RefPtr<ControlItem>(label),
                                         RefPtr<ControlItem>(edit), RefPtr<ControlItem>(spin)})
            rects.push_back(ClientRectOf(d.Window(), item->Handle()));
        focus.push_back(GetDlgCtrlID(GetFocus()));
        PressKey(VK_DOWN_KEY);
    });
    dialog->steps.push_back([&](TestDialog&) {
        focus.push_back(GetDlgCtrlID(GetFocus()));
        TypeText(u"42");
        PressKey(VK_LEFT_KEY);
        PressKey(VK_UP_KEY);
    });
    dialog->steps.push_back([&](TestDialog& d) {
        focus.push_back(GetDlgCtrlID(GetFocus()));
        EXPECT_TRUE(WindowBase::FromHandle(edit->Handle())) << "a superclassed control is in WindowMap";
        EXPECT_EQ(DialogBase::FromHandle(d.Window()), &d);
        d.EndDialog(7);
    });

    ASSERT_EQ(dialog->DoModal(u"Test", 50, 50, nullptr), 7);
    ASSERT_TRUE(dialog->initialised);

    RECT area = Layout().WorkArea();
    EXPECT_EQ(client.right, area.right - area.left) << "full screen";
    EXPECT_EQ(client.bottom, area.bottom - area.top);
    ASSERT_EQ(rects.size(), 4u);
    // Check box at (3, 3), 6 pixels narrower than the client area.
    EXPECT_EQ(rects[0].left, 3);
    EXPECT_EQ(rects[0].top, 3);
    EXPECT_EQ(rects[0].right - rects[0].left, client.right - 6);
    // The label one line (plus 3 pixels) lower; the edit right of it by the
    // label's caption width and 4 pixels; the spinner at the same place.
    int line = rects[0].bottom - rects[0].top - 3;
    EXPECT_EQ(rects[1].top, 3 + 3 + line);
    EXPECT_EQ(rects[1].bottom - rects[1].top, 2 + line);
    int captionWidth = rects[1].right - rects[1].left;
    EXPECT_GT(captionWidth, 0);
    EXPECT_EQ(rects[2].left, 3 + 4 + captionWidth);
    EXPECT_EQ(rects[2].top, rects[1].top);
    EXPECT_EQ(rects[2].right - rects[2].left, client.right - 10);
    EXPECT_EQ(rects[3].left, rects[2].left);
    EXPECT_EQ(rects[3].right - rects[3].left, 10);
    EXPECT_EQ(g_buddy[spin->Handle()], edit->Handle()) << "the spinner is bound to its buddy";

    EXPECT_EQ(focus, (std::vector<int>{1000, 1002, 1000}));
    EXPECT_EQ(g_text[edit->Handle()], u"42");
    // The edit's keys and dialog codes went through the dialog.
    EXPECT_FALSE(dialog->dialogCodeIds.empty());
    for (int id : dialog->dialogCodeIds)
        EXPECT_EQ(id, 1002);
    EXPECT_EQ(dialog->childKeys, (std::vector<std::pair<WPARAM, int>>{{VK_LEFT_KEY, 1002}}));
}

TEST_F(DialogBaseTest, MissingControlClassFailsTheDialog)
{
    RefPtr<TestDialog> dialog = MakeRef<TestDialog>(0);
    struct Unknown : TestLabel {
        Unknown() : TestLabel(1, u"x", {}) {}
        const WCHAR* ClassName() const override { return u"NoSuchControlClass"; }
    };
    dialog->AddItem(MakeRef<Unknown>());
    EXPECT_EQ(dialog->DoModal(u"Test", 50, 50, nullptr), -1);
}

TEST_F(DialogBaseTest, AnEditWithoutOwnerObjectBehavesAsItsSystemControl)
{
    WNDCLASSW plain;
    plain.lpfnWndProc = &DefWindowProcW;
    plain.lpszClassName = u"PlainParent";
    RegisterClassW(&plain);
    HWND parent = CreateWindowExW(0, u"PlainParent", u"", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    RefPtr<TestEdit> edit = MakeRef<TestEdit>(5, WidthRule{});
    HWND window = edit->CreateChild(parent);
    ASSERT_NE(window, nullptr);
    MSG key{window, WM_KEYDOWN, VK_LEFT_KEY, 0};
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, VK_LEFT_KEY, reinterpret_cast<LPARAM>(&key)), DLGC_WANTCHARS);
    SendMessageW(window, WM_KEYDOWN, VK_LEFT_KEY, 1);
    SendMessageW(window, WM_CHAR, u'x', 1);
    EXPECT_EQ(g_text[window], u"x");
    DestroyWindow(parent);
    EXPECT_FALSE(WindowBase::FromHandle(window));
}

// Back in an edit box deletes a character and the dialog stays.
TEST_F(DialogBaseTest, BackInAnEditBoxDeletesACharacter)
{
    RefPtr<TestDialog> dialog = MakeRef<TestDialog>(1538);
    auto box = dialog->AddItem(EditItem(1000, 0, {100, -6, 0, 0}, {0, 3, 1}));
    WideString text;
    bool stillOpen = false;
    dialog->steps.push_back([&](TestDialog&) {
        TypeText(u"ab");
        PressKey(VK_BACK_KEY);
    });
    dialog->steps.push_back([&](TestDialog& d) {
        WCHAR buffer[16] = {};
        GetWindowTextW(box->Handle(), buffer, 16);
        text = buffer;
        stillOpen = IsWindowVisible(d.Window()) != 0;
        d.EndDialog(1);
    });
    INT_PTR result = dialog->DoModal(u"Edit", 50, 50, nullptr);
    EXPECT_TRUE(dialog->initialised);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(text, u"a");
}

}  // namespace
