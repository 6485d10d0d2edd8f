#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/LastError.h"
#include "platform/sync/DetachedThread.h"
#include "platform/sync/Sync.h"

namespace {

class SyncTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetTimeScale(1000.0); }
    void TearDown() override { platform::SetTimeScale(1.0); }
};

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE value) : h(value) {}
    ~Handle() { CloseHandle(h); }
};

TEST_F(SyncTest, ManualResetEventStaysSignalledUntilReset)
{
    Handle e(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_EQ(WaitForSingleObject(e.h, 0), WAIT_TIMEOUT);
    SetEvent(e.h);
    EXPECT_EQ(WaitForSingleObject(e.h, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e.h, 0), WAIT_OBJECT_0);
    ResetEvent(e.h);
    EXPECT_EQ(WaitForSingleObject(e.h, 0), WAIT_TIMEOUT);
}

TEST_F(SyncTest, AutoResetEventIsTakenByExactlyOneWait)
{
    Handle e(CreateEventW(nullptr, FALSE, TRUE, nullptr));
    EXPECT_EQ(WaitForSingleObject(e.h, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e.h, 0), WAIT_TIMEOUT);
}

TEST_F(SyncTest, TimedWaitReturnsTimeoutAfterTheDeviceTime)
{
    Handle e(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(e.h, 15000), WAIT_TIMEOUT);
    EXPECT_GE(GetTickCount() - start, 15000u);
}

TEST_F(SyncTest, WaitForMultipleReturnsTheLowestSignalledIndex)
{
    std::vector<HANDLE> events;
    for (int i = 0; i < 4; ++i)
        events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    SetEvent(events[3]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(4, events.data(), FALSE, 0), WAIT_OBJECT_0 + 1);
    ResetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(4, events.data(), FALSE, 0), WAIT_OBJECT_0 + 3);
    for (HANDLE h : events)
        CloseHandle(h);
}

TEST_F(SyncTest, WaitAnyTakesOnlyTheReportedAutoResetEvent)
{
    HANDLE events[2] = {CreateEventW(nullptr, FALSE, TRUE, nullptr), CreateEventW(nullptr, FALSE, TRUE, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_OBJECT_0);  // still signalled
    for (HANDLE h : events)
        CloseHandle(h);
}

TEST_F(SyncTest, WaitAllTakesEverythingOrNothing)
{
    HANDLE events[2] = {CreateEventW(nullptr, FALSE, TRUE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0);  // not consumed by the failed wait-all
    SetEvent(events[0]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT);
    for (HANDLE h : events)
        CloseHandle(h);
}

TEST_F(SyncTest, InvalidHandlesAndArgumentsFailCleanly)
{
    HANDLE bogus = reinterpret_cast<HANDLE>(0xDEAD0);
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetEvent(bogus));
    EXPECT_FALSE(CloseHandle(bogus));
    EXPECT_EQ(WaitForMultipleObjects(0, nullptr, FALSE, 0), WAIT_FAILED);

    HANDLE closed = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    CloseHandle(closed);
    EXPECT_EQ(WaitForSingleObject(closed, 0), WAIT_FAILED);
}

TEST_F(SyncTest, SignalFromAnotherThreadWakesAnInfiniteWait)
{
    Handle e(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    struct Arg {
        HANDLE event;
    } arg{e.h};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            Sleep(50);
            SetEvent(static_cast<Arg*>(p)->event);
            return 7;
        },
        &arg, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(e.h, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
}

TEST_F(SyncTest, ThreadHandleReportsStillActiveAndClosingDoesNotStopTheThread)
{
    static HANDLE go;
    static std::atomic<bool> finished;
    go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    finished = false;
    DWORD id = 0;
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            WaitForSingleObject(go, INFINITE);
            finished = true;
            return 0;
        },
        nullptr, 0, &id);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, STILL_ACTIVE);
    CloseHandle(thread);
    SetEvent(go);
    for (int i = 0; i < 1000 && !finished; ++i)
        Sleep(10);
    EXPECT_TRUE(finished);
    CloseHandle(go);
}

TEST_F(SyncTest, AutoResetEventReleasesOneOfManyWaitersPerSignal)
{
    static HANDLE gate;
    static std::atomic<int> passed;
    gate = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    passed = 0;
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i)
        threads.push_back(CreateThread(
            nullptr, 0,
            [](void*) -> DWORD {
                if (WaitForSingleObject(gate, 2000) == WAIT_OBJECT_0)
                    ++passed;
                return 0;
            },
            nullptr, 0, nullptr));
    SetEvent(gate);
    SetEvent(gate);
    // Each signal admits one waiter; a signal with nobody waiting stays set,
    // so two signals admit at most two.
    EXPECT_EQ(WaitForMultipleObjects(4, threads.data(), TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_GE(passed.load(), 1);
    EXPECT_LE(passed.load(), 2);
    for (HANDLE h : threads)
        CloseHandle(h);
    CloseHandle(gate);
}

TEST_F(SyncTest, EventDescriptorFollowsTheEventState)
{
    Handle e(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    int fd = platform::EventDescriptor(e.h);
    ASSERT_GE(fd, 0);
    auto readable = [fd] {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 0) == 1;
    };
    EXPECT_FALSE(readable());
    SetEvent(e.h);
    SetEvent(e.h);
    EXPECT_TRUE(readable());
    ResetEvent(e.h);
    EXPECT_FALSE(readable());
    EXPECT_EQ(platform::EventDescriptor(e.h), fd);

    Handle autoReset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    EXPECT_EQ(platform::EventDescriptor(autoReset.h), -1);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
    static CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));  // same thread: recursive
    LeaveCriticalSection(&section);
    static std::atomic<int> otherGot{-1};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            otherGot = TryEnterCriticalSection(&section);
            return 0;
        },
        nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(otherGot.load(), FALSE);
    LeaveCriticalSection(&section);
    DeleteCriticalSection(&section);
}

}  // namespace

TEST_F(SyncTest, DetachedThreadRunsItsBodyAndThenReleasesWhatTheBodyHolds)
{
    HANDLE ran = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto held = std::make_shared<int>(7);
    std::weak_ptr<int> watch = held;
    ASSERT_TRUE(platform::StartDetachedThread([held = std::move(held), ran] {
        EXPECT_EQ(*held, 7);
        SetEvent(ran);
    }));
    EXPECT_EQ(WaitForSingleObject(ran, 60000), WAIT_OBJECT_0);
    for (int i = 0; i < 10000 && !watch.expired(); ++i)
        Sleep(1000);
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(platform::StartDetachedThread({}));
    CloseHandle(ran);
}
