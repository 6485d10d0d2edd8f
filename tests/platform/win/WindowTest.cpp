#include <gtest/gtest.h>

#include <thread>

#include "platform/base/LastError.h"
#include "platform/gdi/Gdi.h"
#include "platform/sync/Sync.h"
#include "tests/platform/win/Recorder.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { SetUpRecorder(); }
    void TearDown() override { platform::SetTimeScale(1.0); }
};

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowTest, ClassNamesAreUniqueIgnoringCaseAndHeldByTheirWindows)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = PlainProcedure;
    windowClass.lpszClassName = u"CaseClass";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    windowClass.lpszClassName = u"CASECLASS";
    EXPECT_EQ(RegisterClassW(&windowClass), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

    WNDCLASSW info;
    ASSERT_TRUE(GetClassInfoW(nullptr, u"caseclass", &info));
    EXPECT_EQ(info.lpfnWndProc, &PlainProcedure);
    EXPECT_EQ(std::u16string(info.lpszClassName), u"CaseClass");

    HWND window = CreateWindowExW(0, u"caseCLASS", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(UnregisterClassW(u"CaseClass", nullptr));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassW(u"CaseClass", nullptr));
    EXPECT_FALSE(GetClassInfoW(nullptr, u"CaseClass", &info));
    EXPECT_EQ(CreateWindowExW(0, u"CaseClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

WNDPROC g_baseProcedure = nullptr;
int g_superCalls = 0;

LRESULT SuperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 100)
        ++g_superCalls;
    return CallWindowProcW(g_baseProcedure, window, message, wParam, lParam);
}

TEST_F(WindowTest, SuperclassReachesTheOriginalProcedure)
{
    g_superCalls = 0;
    WNDCLASSW info;
    ASSERT_TRUE(GetClassInfoW(nullptr, kRecorderClass, &info));
    g_baseProcedure = info.lpfnWndProc;
    info.lpfnWndProc = SuperProcedure;
    info.lpszClassName = u"SuperRecorder";
    ASSERT_NE(RegisterClassW(&info), 0);
    HWND window = CreateWindowExW(0, u"SuperRecorder", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_USER + 100, 7, 0), 21);
    EXPECT_EQ(g_superCalls, 1);
    WCHAR name[8];
    EXPECT_EQ(GetClassNameW(window, name, 8), 7);
    EXPECT_EQ(std::u16string(name), u"SuperRe");
    DestroyWindow(window);
    UnregisterClassW(u"SuperRecorder", nullptr);
}

int g_createParameter = 0;
LRESULT g_nccreateAnswer = TRUE;
LRESULT g_createAnswer = 0;
CREATESTRUCTW g_seenCreate;

LRESULT RefusingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Recorder::Instance().Add({window, message, wParam, lParam});
    if (message == WM_NCCREATE) {
        g_seenCreate = *reinterpret_cast<CREATESTRUCTW*>(lParam);
        return g_nccreateAnswer;
    }
    if (message == WM_CREATE)
        return g_createAnswer;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowTest, CreationSendsNcCreateThenCreateAndMayBeRefused)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = RefusingProcedure;
    windowClass.lpszClassName = u"Refusing";
    RegisterClassW(&windowClass);
    struct Case {
        const char* name;
        LRESULT nccreate;
        LRESULT create;
        bool created;
        std::vector<UINT> messages;
    };
    const Case cases[] = {
        {"accepted", TRUE, 0, true, {WM_NCCREATE, WM_CREATE}},
        {"nccreate refuses", FALSE, 0, false, {WM_NCCREATE, WM_DESTROY, WM_NCDESTROY}},
        {"create refuses", TRUE, -1, false, {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_nccreateAnswer = c.nccreate;
        g_createAnswer = c.create;
        Recorder::Instance().Take();
        HWND window = CreateWindowExW(0, u"Refusing", u"Title", 0, 1, 2, 30, 40, nullptr, nullptr, nullptr,
                                      &g_createParameter);
        EXPECT_EQ(window != nullptr, c.created);
        std::vector<UINT> seen;
        for (const Recorded& r : Recorder::Instance().Take())
            seen.push_back(r.message);
        EXPECT_EQ(seen, c.messages);
        EXPECT_EQ(g_seenCreate.lpCreateParams, &g_createParameter);
        EXPECT_EQ(g_seenCreate.cx, 30);
        EXPECT_EQ(g_seenCreate.y, 2);
        EXPECT_EQ(std::u16string(g_seenCreate.lpszName), u"Title");
        if (window != nullptr)
            DestroyWindow(window);
    }
    // No window of the class is left behind by the refusals.
    EXPECT_TRUE(UnregisterClassW(u"Refusing", nullptr));
}

TEST_F(WindowTest, DestroyRunsTheChecklist)
{
    HWND parent = MakeRecorderWindow();
    HWND child = MakeRecorderWindow(parent);
    HWND grandchild = MakeRecorderWindow(child);
    ASSERT_NE(grandchild, nullptr);
    ASSERT_EQ(GetParent(grandchild), child);
    ShowWindow(parent, SW_SHOW);
    ASSERT_NE(SetTimer(parent, 5, 10, nullptr), 0u);
    ASSERT_NE(SetTimer(child, 6, 10, nullptr), 0u);
    PostMessageW(parent, WM_USER + 1, 0, 0);
    PostMessageW(grandchild, WM_USER + 2, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 3, 0, 0);
    Recorder::Instance().Take();

    ASSERT_TRUE(DestroyWindow(parent));

    std::vector<std::pair<HWND, UINT>> order;
    for (const Recorded& r : Recorder::Instance().Take())
        order.emplace_back(r.window, r.message);
    std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY},        {child, WM_DESTROY},       {grandchild, WM_DESTROY},
        {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY},     {parent, WM_NCDESTROY},
    };
    EXPECT_EQ(order, expected);
    for (HWND window : {parent, child, grandchild}) {
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(KillTimer(window, 5));
    }
    // Only the thread message survives; no WM_TIMER of the dead windows.
    Sleep(50);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 3u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

LRESULT LateMessageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Recorder::Instance().Add({window, message, wParam, lParam});
    // Messages sent to a window from its own WM_NCDESTROY reach nobody.
    if (message == WM_NCDESTROY) {
        SendMessageW(window, WM_USER + 7, 0, 0);
        PostMessageW(window, WM_USER + 8, 0, 0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowTest, LateMessagesToADestroyedWindowDoNothing)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = LateMessageProcedure;
    windowClass.lpszClassName = u"LateMessages";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, u"LateMessages", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    Recorder::Instance().Take();
    DestroyWindow(window);
    std::vector<UINT> seen;
    for (const Recorded& r : Recorder::Instance().Take())
        seen.push_back(r.message);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    UnregisterClassW(u"LateMessages", nullptr);
}

TEST_F(WindowTest, WindowLongsTextAndGeometry)
{
    HWND parent = MakeRecorderWindow(nullptr, 0, u"Main");
    HWND child = CreateWindowExW(0, kRecorderClass, u"", WS_CHILD, 10, 20, 30, 40, parent,
                                 reinterpret_cast<HMENU>(1234), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetWindowLongW(child, GWL_ID), 1234);
    EXPECT_EQ(SetWindowLongW(parent, GWL_USERDATA, 0x1234567890LL), 0);
    EXPECT_EQ(GetWindowLongW(parent, GWL_USERDATA), 0x1234567890LL);
    EXPECT_EQ(SetWindowLongW(parent, 8, 99), 0);
    EXPECT_EQ(GetWindowLongW(parent, 8), 99);
    // Extra bytes are 16: offset 9 would read past them.
    EXPECT_EQ(GetWindowLongW(parent, 9), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetWindowLongW(parent, 9, 1), 0);
    EXPECT_EQ(GetWindowLongW(parent, -100), 0);
    EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & WS_CHILD, static_cast<LONG_PTR>(WS_CHILD));

    // Subclassing through GWL_WNDPROC.
    LONG_PTR old = SetWindowLongW(parent, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&PlainProcedure));
    EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(&Recorder::Procedure));
    EXPECT_EQ(SendMessageW(parent, WM_USER + 100, 2, 0), 0);
    SetWindowLongW(parent, GWL_WNDPROC, old);
    EXPECT_EQ(SendMessageW(parent, WM_USER + 100, 2, 0), 6);

    WCHAR text[5];
    EXPECT_EQ(GetWindowTextLengthW(parent), 4);
    EXPECT_TRUE(SetWindowTextW(parent, u"Corvane"));
    EXPECT_EQ(GetWindowTextW(parent, text, 5), 4);
    EXPECT_EQ(std::u16string(text), u"Corv");
    EXPECT_EQ(GetWindowTextW(parent, text, 0), 0);

    EXPECT_FALSE(IsWindowVisible(child));
    ShowWindow(child, SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(child));  // the parent is still hidden
    EXPECT_FALSE(ShowWindow(parent, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(ShowWindow(parent, SW_HIDE));

    MoveWindow(parent, 5, 6, 100, 200, TRUE);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, 15);
    EXPECT_EQ(rect.top, 26);
    EXPECT_EQ(rect.right, 45);
    ASSERT_TRUE(GetClientRect(parent, &rect));
    EXPECT_EQ(rect.right, 100);
    EXPECT_EQ(rect.bottom, 200);
    DestroyWindow(parent);
}

TEST_F(WindowTest, InvalidHandlesFailCleanly)
{
    HWND destroyed = MakeRecorderWindow();
    DestroyWindow(destroyed);
    const std::pair<const char*, HWND> handles[] = {
        {"null", nullptr},
        {"destroyed", destroyed},
        {"invented", reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x12340))},
    };
    for (const auto& [name, window] : handles) {
        SCOPED_TRACE(name);
        SetLastError(0);
        EXPECT_EQ(SendMessageW(window, WM_USER, 1, 2), 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
        if (window != nullptr) {  // a null window posts to the thread
            SetLastError(0);
            EXPECT_FALSE(PostMessageW(window, WM_USER, 1, 2));
            EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
            EXPECT_EQ(SetTimer(window, 1, 10, nullptr), 0u);  // null makes a thread timer
        }
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(DestroyWindow(window));
        EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 0);
        EXPECT_EQ(SetWindowLongW(window, GWL_USERDATA, 1), 0);
        EXPECT_FALSE(SetForegroundWindow(window));
        EXPECT_FALSE(ShowWindow(window, SW_SHOW));
        EXPECT_FALSE(SetWindowTextW(window, u"x"));
        MSG message{window, WM_USER, 0, 0, 0, {}};
        EXPECT_EQ(DispatchMessageW(&message), 0);
        DWORD_PTR result = 5;
        EXPECT_FALSE(SendMessageTimeoutW(window, WM_USER, 0, 0, SMTO_NORMAL, 100, &result));
        EXPECT_EQ(result, 0u);
    }
}

TEST_F(WindowTest, OnlyTheOwnerThreadDestroysAWindow)
{
    HWND window = MakeRecorderWindow();
    BOOL fromOtherThread = TRUE;
    DWORD error = 0;
    std::thread([&] {
        fromOtherThread = DestroyWindow(window);
        error = GetLastError();
    }).join();
    EXPECT_FALSE(fromOtherThread);
    EXPECT_EQ(error, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(DestroyWindow(window));
}

TEST_F(WindowTest, ForegroundChangeActivatesAndDeactivates)
{
    HWND first = MakeRecorderWindow();
    HWND second = MakeRecorderWindow();
    Recorder::Instance().Take();
    EXPECT_TRUE(SetForegroundWindow(first));
    // The device's "with owned pop-ups" form: lowest bit set.
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(second) | 1)));
    EXPECT_EQ(GetForegroundWindow(), second);
    // The activated window takes the focus as well (WM_SETFOCUS/WM_KILLFOCUS).
    EXPECT_EQ(GetFocus(), second);
    auto seen = Recorder::Instance().Take();
    std::erase_if(seen, [](const Recorded& r) { return r.message != WM_ACTIVATE; });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].window, first);
    EXPECT_EQ(seen[0].wParam, WA_ACTIVE);
    EXPECT_EQ(seen[1].window, first);
    EXPECT_EQ(seen[1].wParam, WA_INACTIVE);
    EXPECT_EQ(seen[2].window, second);
    EXPECT_EQ(seen[2].wParam, WA_ACTIVE);
    DestroyWindow(second);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    DestroyWindow(first);
}

}  // namespace

namespace {

TEST_F(WindowTest, SiblingOrderPositionsAndEnabledState)
{
    HWND parent = MakeRecorderWindow();
    HWND first = MakeRecorderWindow(parent);
    HWND second = MakeRecorderWindow(parent);
    SetWindowLongW(second, GWL_ID, 42);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(second, GW_HWNDPREV), first);
    EXPECT_TRUE(IsChild(parent, second));
    EXPECT_FALSE(IsChild(second, parent));
    HWND owned = CreateWindowExW(0, kRecorderClass, u"", 0, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    EXPECT_FALSE(IsChild(parent, owned));  // an owned pop-up is not a child
    EXPECT_EQ(GetDlgCtrlID(second), 42);

    Recorder::Instance().Take();
    ASSERT_TRUE(SetWindowPos(second, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    RECT rect{};
    GetWindowRect(second, &rect);
    EXPECT_EQ(rect.right - rect.left, 100);  // size kept
    std::vector<UINT> messages = Recorder::Instance().Messages(second);
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_WINDOWPOSCHANGED), messages.end());

    EXPECT_FALSE(EnableWindow(first, FALSE));  // was enabled
    EXPECT_FALSE(IsWindowEnabled(first));
    EXPECT_TRUE(EnableWindow(first, TRUE));
    EXPECT_TRUE(IsWindowEnabled(first));
    DestroyWindow(parent);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
}

}  // namespace
