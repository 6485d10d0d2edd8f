#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/base/LastError.h"
#include "platform/sync/Sync.h"
#include "tests/platform/win/Recorder.h"

namespace {

class MessageTest : public ::testing::Test {
protected:
    void SetUp() override { SetUpRecorder(); }
    void TearDown() override
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        platform::SetTimeScale(1.0);
    }
};

TEST_F(MessageTest, PostedMessagesArriveInPostingOrder)
{
    HWND window = MakeRecorderWindow();
    DWORD self = GetCurrentThreadId();
    for (UINT i = 0; i < 200; ++i) {
        if (i % 3 == 0)
            PostThreadMessageW(self, WM_APP, i, 0);
        else
            PostMessageW(window, WM_APP, i, 0);
    }
    MSG message;
    for (UINT i = 0; i < 200; ++i) {
        ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
        EXPECT_EQ(message.wParam, i);
        EXPECT_EQ(message.hwnd, i % 3 == 0 ? nullptr : window);
    }
    DestroyWindow(window);
}

TEST_F(MessageTest, QuitComesOnceNoPostedMessageIsLeft)
{
    PostQuitMessage(3);
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 1, 0);
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_APP);
    EXPECT_FALSE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, PeekHonoursFiltersAndNoRemove)
{
    HWND first = MakeRecorderWindow();
    HWND child = MakeRecorderWindow(first);
    HWND second = MakeRecorderWindow();
    PostMessageW(second, WM_APP + 1, 0, 0);
    PostMessageW(child, WM_APP + 2, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_APP + 3, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, first, 0, 0, PM_NOREMOVE));  // children count as the window
    EXPECT_EQ(message.message, WM_APP + 2);
    ASSERT_TRUE(PeekMessageW(&message, reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_APP + 3);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_APP + 2, WM_APP + 2, PM_REMOVE));
    EXPECT_EQ(message.hwnd, child);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, second);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(first);
    DestroyWindow(second);
}

// Runs a message loop on its own thread around one window.
class WindowThread {
public:
    explicit WindowThread(bool pump = true) : m_pump(pump)
    {
        m_thread = std::thread([this] { Run(); });
        WaitForSingleObject(m_ready, INFINITE);
    }
    ~WindowThread()
    {
        SetEvent(m_release);
        if (m_pump)
            PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
        CloseHandle(m_ready);
        CloseHandle(m_release);
    }
    HWND Window() const { return m_window; }
    DWORD ThreadId() const { return m_threadId; }
    void Release() { SetEvent(m_release); }
    void Join() { m_thread.join(); }

private:
    void Run()
    {
        m_threadId = GetCurrentThreadId();
        m_window = MakeRecorderWindow();
        SetEvent(m_ready);
        if (!m_pump) {
            WaitForSingleObject(m_release, INFINITE);
            return;
        }
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        DestroyWindow(m_window);
    }

    bool m_pump;
    HANDLE m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND m_window = nullptr;
    DWORD m_threadId = 0;
    std::thread m_thread;
};

TEST_F(MessageTest, SendToAnotherThreadRunsThereAndReturnsTheResult)
{
    WindowThread other;
    EXPECT_EQ(SendMessageW(other.Window(), WM_USER + 100, 14, 0), 42);
    DWORD owner = GetWindowThreadProcessId(other.Window(), nullptr);
    EXPECT_EQ(owner, other.ThreadId());
}

HWND g_windowA = nullptr;
HWND g_windowB = nullptr;

// A answers WM_USER by sending WM_USER + 1 to B; B answers that by sending
// WM_USER + 2 back to A, which is still waiting for B.
LRESULT PingPong(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER)
        return SendMessageW(g_windowB, WM_USER + 1, wParam + 1, 0) + 1000;
    if (message == WM_USER + 1)
        return SendMessageW(g_windowA, WM_USER + 2, wParam + 1, 0) + 100;
    if (message == WM_USER + 2)
        return static_cast<LRESULT>(wParam) + 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(MessageTest, TwoThreadsSendingToEachOtherDoNotDeadlock)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = PingPong;
    windowClass.lpszClassName = u"PingPong";
    RegisterClassW(&windowClass);
    g_windowA = CreateWindowExW(0, u"PingPong", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    std::atomic<LRESULT> result{0};
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD mainThread = GetCurrentThreadId();
    std::thread b([&] {
        g_windowB = CreateWindowExW(0, u"PingPong", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        SetEvent(created);
        // B starts the chain by sending to A while A waits in GetMessageW.
        result = SendMessageW(g_windowA, WM_USER, 0, 0);
        DestroyWindow(g_windowB);
        PostThreadMessageW(mainThread, WM_APP, 0, 0);
    });
    WaitForSingleObject(created, INFINITE);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) && message.message != WM_APP)
        DispatchMessageW(&message);
    b.join();
    EXPECT_EQ(result.load(), 3 + 100 + 1000);
    DestroyWindow(g_windowA);
    CloseHandle(created);
}

TEST_F(MessageTest, SendToAnEndedThreadGivesZeroAtOnce)
{
    HWND window = nullptr;
    std::thread([&] { window = MakeRecorderWindow(); }).join();
    // The thread ended without destroying its window: the window is gone.
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(SendMessageW(window, WM_USER + 100, 1, 0), 0);

    // A thread that ends while a message to it waits.
    auto other = std::make_unique<WindowThread>(false);
    std::thread releaser([&] {
        Sleep(200);
        other->Release();
    });
    EXPECT_EQ(SendMessageW(other->Window(), WM_USER + 100, 1, 0), 0);
    releaser.join();
}

TEST_F(MessageTest, WindowDestroyedWhileASendWaitsGivesZero)
{
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window = nullptr;
    Recorder::Instance().Take();
    std::thread owner([&] {
        window = MakeRecorderWindow();
        SetEvent(created);
        Sleep(200);  // not pumping: the send below waits in the queue
        DestroyWindow(window);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    });
    WaitForSingleObject(created, INFINITE);
    EXPECT_EQ(SendMessageW(window, WM_USER + 100, 1, 0), 0);
    owner.join();
    // The window was created and destroyed; the waiting send never reached it.
    std::vector<UINT> seen = Recorder::Instance().Messages(window);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(std::vector<UINT>(seen.end() - 2, seen.end()), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_USER + 100), 0);
    CloseHandle(created);
}

TEST_F(MessageTest, SendMessageTimeoutGivesUpOnABusyThread)
{
    WindowThread busy(false);
    DWORD_PTR result = 9;
    DWORD start = GetTickCount();
    EXPECT_FALSE(SendMessageTimeoutW(busy.Window(), WM_USER + 100, 1, 0, SMTO_ABORTIFHUNG, 3000, &result));
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_EQ(result, 0u);
    EXPECT_GE(GetTickCount() - start, 3000u);
}

int g_timerProcCalls = 0;
void CountingTimerProc(HWND, UINT message, UINT_PTR, DWORD)
{
    if (message == WM_TIMER)
        ++g_timerProcCalls;
}

TEST_F(MessageTest, TimersFireOnTheDeviceClockAfterPostedMessages)
{
    HWND window = MakeRecorderWindow();
    DWORD start = GetTickCount();
    ASSERT_EQ(SetTimer(window, 7, 5000, nullptr), 7u);
    MSG message;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
        EXPECT_EQ(message.message, WM_TIMER);
        EXPECT_EQ(message.wParam, 7u);
    }
    EXPECT_GE(GetTickCount() - start, 15000u);

    Sleep(6000);  // the timer is due again; posted messages still come first
    PostMessageW(window, WM_APP, 0, 0);
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_APP);
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_TIMER);

    EXPECT_TRUE(KillTimer(window, 7));
    EXPECT_FALSE(KillTimer(window, 7));
    Sleep(6000);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(window);
}

TEST_F(MessageTest, TimerProcedureIsCalledByDispatchOnly)
{
    g_timerProcCalls = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 1000, CountingTimerProc);
    ASSERT_NE(id, 0u);
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(message.wParam, id);
    EXPECT_EQ(g_timerProcCalls, 0);
    DispatchMessageW(&message);
    EXPECT_EQ(g_timerProcCalls, 1);
    KillTimer(nullptr, id);

    // A WM_TIMER posted with a procedure that is not a live timer's is not called.
    PostThreadMessageW(GetCurrentThreadId(), WM_TIMER, id, reinterpret_cast<LPARAM>(&CountingTimerProc));
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    DispatchMessageW(&message);
    EXPECT_EQ(g_timerProcCalls, 1);
}

}  // namespace
