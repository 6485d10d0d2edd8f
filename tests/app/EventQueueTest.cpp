#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "app/InterfaceStage.h"
#include "app/main/UIDispatcherWnd.h"
#include "platform/base/Clock.h"
#include "platform/sync/Sync.h"
#include "platform/win/Window.h"

namespace {

// Runs the interface thread's loop (this test thread) until the predicate
// holds or the device-time limit passes.
template <typename Predicate>
bool PumpUntil(Predicate done, DWORD limit = 20000)
{
    DWORD start = GetTickCount();
    MSG message{};
    while (!done()) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            break;
        if (GetTickCount() - start > limit)
            return false;
        Sleep(5);
    }
    return true;
}

void PumpPending()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

// Records what reached it, on which thread, and when relative to others.
struct Journal {
    std::mutex lock;
    std::vector<std::string> entries;

    void Add(std::string entry)
    {
        std::lock_guard guard(lock);
        entries.push_back(std::move(entry));
    }
    std::vector<std::string> Copy()
    {
        std::lock_guard guard(lock);
        return entries;
    }
    std::size_t Size()
    {
        std::lock_guard guard(lock);
        return entries.size();
    }
};

class RecordingHandler : public EventHandler {
public:
    RecordingHandler(Journal& journal, std::string name) : m_journal(journal), m_name(std::move(name)) {}
    void Handle(const RefPtr<AppEvent>& event) override
    {
        m_journal.Add(m_name + ":" + std::to_string(event->Type()));
        if (onHandle)
            onHandle(event);
    }
    std::function<void(const RefPtr<AppEvent>&)> onHandle;

private:
    Journal& m_journal;
    std::string m_name;
};

class RecordingListener : public EventListener {
public:
    RecordingListener(Journal& journal, std::string name) : m_journal(journal), m_name(std::move(name)) {}
    void OnEvent(const RefPtr<AppEvent>& event) override
    {
        threadId = GetCurrentThreadId();
        m_journal.Add(m_name + ":" + std::to_string(event->Type()));
        if (onEvent)
            onEvent(event);
    }
    std::function<void(const RefPtr<AppEvent>&)> onEvent;
    std::atomic<DWORD> threadId{0};

private:
    Journal& m_journal;
    std::string m_name;
};

class EventQueueTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        platform::SetTimeScale(100.0);
        static RefPtr<UIDispatcherWnd> dispatcher = [] {
            auto d = MakeRef<UIDispatcherWnd>();
            d->CreateDispatcher();
            return d;
        }();
        ASSERT_NE(app::DispatcherHandle(), nullptr);
    }

    void SetUp() override
    {
        PumpPending();
        m_core = MakeRef<AppCore>(nullptr, AppCoreParts{});
        m_core->Start();
        // The start-up view refresh (type 7) is not part of these tests.
        PumpUntil([] { return app::PendingEventCount() == 0; });
        PumpPending();
    }

    void TearDown() override
    {
        m_core->StopWorker();
        PumpPending();
    }

    RefPtr<AppCore> m_core;
    Journal m_journal;
};

TEST(EventRouting, TableDecidesTheStages)
{
    struct Case {
        std::int32_t type;
        bool worker;
        bool interface;
    } cases[] = {
        {1, true, false},  {26, true, false}, {64, true, false}, {3, true, true},   {47, true, true},
        {66, true, true},  {7, false, true},  {16, false, true}, {51, false, true}, {12, true, true},
        {62, true, true},  {0, true, true},   {67, true, true},  {-5, true, true},
    };
    for (const Case& c : cases) {
        EventRoute route = RouteOf(c.type);
        EXPECT_EQ(route.worker, c.worker) << "type " << c.type;
        EXPECT_EQ(route.interface, c.interface) << "type " << c.type;
    }
}

TEST_F(EventQueueTest, InterfaceOnlyEventFromAnotherThreadReachesEachListenerOnceOnTheInterfaceThread)
{
    RecordingListener first(m_journal, "L1");
    RecordingListener second(m_journal, "L2");
    app::AddListener(&first);
    app::AddListener(&second);

    struct Arg {
        AppCore* core;
    } arg{m_core.Get()};
    HANDLE poster = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            static_cast<Arg*>(p)->core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
            return 0;
        },
        &arg, 0, nullptr);
    WaitForSingleObject(poster, INFINITE);
    CloseHandle(poster);

    EXPECT_TRUE(PumpUntil([&] { return m_journal.Size() == 2; }));
    PumpPending();
    EXPECT_EQ(m_journal.Copy(), (std::vector<std::string>{"L1:7", "L2:7"}));
    EXPECT_EQ(first.threadId.load(), GetCurrentThreadId());
    app::RemoveListener(&first);
    app::RemoveListener(&second);
}

TEST_F(EventQueueTest, EventOfBothStagesReachesListenersOnlyAfterAllHandlers)
{
    auto slow = MakeRef<RecordingHandler>(m_journal, "H1");
    slow->onHandle = [](const RefPtr<AppEvent>&) { Sleep(200); };
    auto fast = MakeRef<RecordingHandler>(m_journal, "H2");
    RecordingListener listener(m_journal, "L");
    m_core->AddHandler(slow);
    m_core->AddHandler(fast);
    app::AddListener(&listener);

    m_core->Post(MakeRef<AppEvent>(EventType::DataLinkWaiting));
    EXPECT_TRUE(PumpUntil([&] { return m_journal.Size() == 3; }));
    EXPECT_EQ(m_journal.Copy(), (std::vector<std::string>{"H1:3", "H2:3", "L:3"}));
    EXPECT_NE(listener.threadId.load(), 0u);

    app::RemoveListener(&listener);
    m_core->RemoveHandler(slow.Get());
    m_core->RemoveHandler(fast.Get());
}

TEST_F(EventQueueTest, WorkerOnlyAndUnlistedTypesTakeTheirStages)
{
    auto handler = MakeRef<RecordingHandler>(m_journal, "H");
    RecordingListener listener(m_journal, "L");
    m_core->AddHandler(handler);
    app::AddListener(&listener);

    m_core->Post(MakeRef<AppEvent>(EventType::LoginRequested));  // worker only
    m_core->Post(MakeRef<AppEvent>(12));                          // unlisted: both
    EXPECT_TRUE(PumpUntil([&] { return m_journal.Size() == 3; }));
    Sleep(100);
    PumpPending();
    EXPECT_EQ(m_journal.Copy(), (std::vector<std::string>{"H:1", "H:12", "L:12"}));

    app::RemoveListener(&listener);
    m_core->RemoveHandler(handler.Get());
}

TEST_F(EventQueueTest, BurstBeforeTheLoopRunsIsDeliveredInOneDeliveryInOrder)
{
    std::vector<int> deliveryOf;
    int deliveries = 0;
    RecordingListener listener(m_journal, "L");
    // A delivery is one DispatchMessage of the dispatcher message; count the
    // deliveries in which each event arrives.
    listener.onEvent = [&](const RefPtr<AppEvent>&) { deliveryOf.push_back(deliveries); };
    app::AddListener(&listener);

    for (int n = 0; n < 10; ++n)
        m_core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
    // Interface-only events are handed over at once; nothing ran yet.
    EXPECT_EQ(app::PendingEventCount(), 10u);

    MSG message{};
    int dispatcherMessages = 0;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == app::kDispatchMessage)
            ++dispatcherMessages;
        DispatchMessageW(&message);
        ++deliveries;
    }
    EXPECT_EQ(dispatcherMessages, 10);
    ASSERT_EQ(deliveryOf.size(), 10u);
    for (int d : deliveryOf)
        EXPECT_EQ(d, deliveryOf.front());  // all in the first delivery
    app::RemoveListener(&listener);
}

TEST_F(EventQueueTest, BurstKeepsPostingOrder)
{
    std::vector<std::int32_t> order;
    RecordingListener listener(m_journal, "L");
    listener.onEvent = [&](const RefPtr<AppEvent>& e) { order.push_back(e->Type()); };
    app::AddListener(&listener);
    const std::int32_t types[] = {7, 14, 15, 16, 17, 36, 37, 40, 42, 44};
    for (std::int32_t type : types)
        m_core->Post(MakeRef<AppEvent>(type));
    PumpPending();
    EXPECT_EQ(order, std::vector<std::int32_t>(std::begin(types), std::end(types)));
    app::RemoveListener(&listener);
}

TEST_F(EventQueueTest, HandlerThatRemovesItselfGetsNoFurtherEventsButOthersStillGetTheCurrentOne)
{
    auto quitter = MakeRef<RecordingHandler>(m_journal, "Q");
    auto other = MakeRef<RecordingHandler>(m_journal, "O");
    AppCore* core = m_core.Get();
    RecordingHandler* self = quitter.Get();
    quitter->onHandle = [core, self](const RefPtr<AppEvent>&) { core->RemoveHandler(self); };
    m_core->AddHandler(quitter);
    m_core->AddHandler(other);
    quitter = nullptr;  // the core's registration is the last holder

    m_core->Post(MakeRef<AppEvent>(EventType::LoginRequested));
    m_core->Post(MakeRef<AppEvent>(EventType::PresenceChosen));
    EXPECT_TRUE(PumpUntil([&] { return m_journal.Size() == 3; }));
    Sleep(100);
    EXPECT_EQ(m_journal.Copy(), (std::vector<std::string>{"Q:1", "O:1", "O:10"}));
    m_core->RemoveHandler(other.Get());
}

class FlaggingHandler : public EventHandler {
public:
    explicit FlaggingHandler(std::atomic<int>& handled, std::atomic<bool>& gone) : m_handled(handled), m_gone(gone) {}
    void Handle(const RefPtr<AppEvent>&) override { ++m_handled; }

protected:
    ~FlaggingHandler() override { m_gone = true; }

private:
    std::atomic<int>& m_handled;
    std::atomic<bool>& m_gone;
};

TEST_F(EventQueueTest, RemovedHandlerIsReleasedWithoutWaitingForAnotherEvent)
{
    std::atomic<int> handled{0};
    std::atomic<bool> gone{false};
    {
        auto handler = MakeRef<FlaggingHandler>(handled, gone);
        m_core->AddHandler(handler);
        m_core->Post(MakeRef<AppEvent>(EventType::LoginRequested));
        ASSERT_TRUE(PumpUntil([&] { return handled == 1; }));
        m_core->RemoveHandler(handler.Get());
    }
    // The worker now waits for the next event; it must not hold the handler.
    EXPECT_TRUE(PumpUntil([&] { return gone.load(); }, 2000));
}

// While the worker is held on an event, two more are queued and then the
// handler's removal: it still gets those two, and nothing posted after.
TEST_F(EventQueueTest, RemovalAfterQueuedEventsLetsThemReachTheHandlerFirst)
{
    std::atomic<bool> release{false};
    auto blocker = MakeRef<RecordingHandler>(m_journal, "B");
    blocker->onHandle = [&](const RefPtr<AppEvent>& event) {
        while (event->Type() == EventType::LoginRequested && !release)
            Sleep(1);
    };
    auto handler = MakeRef<RecordingHandler>(m_journal, "R");
    m_core->AddHandler(blocker);
    m_core->AddHandler(handler);

    m_core->Post(MakeRef<AppEvent>(EventType::LoginRequested));
    ASSERT_TRUE(PumpUntil([&] { return m_journal.Size() == 1; }));
    m_core->Post(MakeRef<AppEvent>(EventType::DeleteFile));
    m_core->Post(MakeRef<AppEvent>(EventType::BosFrameReceived));
    m_core->RemoveHandlerAfterQueued(handler);
    m_core->Post(MakeRef<AppEvent>(EventType::SendBosFrame));
    release = true;
    ASSERT_TRUE(PumpUntil([&] { return m_journal.Size() == 7; }));
    Sleep(100);
    EXPECT_EQ(m_journal.Copy(), (std::vector<std::string>{"B:1", "R:1", "B:9", "R:9", "B:26", "R:26", "B:29"}));
    m_core->RemoveHandler(blocker.Get());
}

// A stopped worker never reaches a queued removal: the handler (which may
// hold a session) must not stay registered until the core ends.
TEST_F(EventQueueTest, RemovalAfterQueuedEventsOnAStoppedCoreHappensAtOnce)
{
    std::atomic<int> handled{0};
    std::atomic<bool> gone{false};
    {
        auto handler = MakeRef<FlaggingHandler>(handled, gone);
        m_core->AddHandler(handler);
        m_core->StopWorker();
        m_core->RemoveHandlerAfterQueued(handler);
    }
    EXPECT_TRUE(gone.load());
}

TEST_F(EventQueueTest, ListenerRemovedDuringADeliveryIsNotCalled)
{
    auto* doomed = new RecordingListener(m_journal, "D");
    RecordingListener killer(m_journal, "K");
    killer.onEvent = [&doomed](const RefPtr<AppEvent>&) {
        if (doomed != nullptr) {
            app::RemoveListener(doomed);
            delete doomed;  // a window destroyed by an earlier listener
            doomed = nullptr;
        }
    };
    app::AddListener(&killer);
    app::AddListener(doomed);

    m_core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
    m_core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
    PumpPending();
    EXPECT_EQ(m_journal.Copy(), (std::vector<std::string>{"K:7", "K:7"}));
    app::RemoveListener(&killer);
}

TEST_F(EventQueueTest, SettingsChangeMakesTheNextRequestReadTheFileAgain)
{
    RefPtr<Settings> before = m_core->GetSettings();
    EXPECT_EQ(m_core->GetSettings(), before);
    m_core->Post(MakeRef<AppEvent>(EventType::SettingsChanged));
    RefPtr<Settings> after = m_core->GetSettings();
    EXPECT_NE(after, before);
    PumpPending();
}

TEST_F(EventQueueTest, DelayedPostArrivesAfterItsDelay)
{
    RecordingListener listener(m_journal, "L");
    app::AddListener(&listener);
    DWORD start = GetTickCount();
    m_core->PostAfter(5000, MakeRef<AppEvent>(EventType::ViewRefresh));
    EXPECT_TRUE(PumpUntil([&] { return m_journal.Size() == 1; }));
    EXPECT_GE(GetTickCount() - start, 5000u);
    app::RemoveListener(&listener);
}

TEST_F(EventQueueTest, StoppedCoreQueuesButNeverProcesses)
{
    auto handler = MakeRef<RecordingHandler>(m_journal, "H");
    m_core->AddHandler(handler);
    m_core->StopWorker();
    Sleep(50);
    m_core->Post(MakeRef<AppEvent>(EventType::LoginRequested));
    Sleep(200);
    EXPECT_EQ(m_journal.Size(), 0u);
    EXPECT_EQ(m_core->QueuedEventCount(), 1u);
}

TEST_F(EventQueueTest, EventsPostedBeforeTheLoopRunsWaitForIt)
{
    RecordingListener listener(m_journal, "L");
    app::AddListener(&listener);
    auto core = MakeRef<AppCore>(nullptr, AppCoreParts{});
    core->Start();  // posts the start-up view refresh
    Sleep(50);
    EXPECT_EQ(m_journal.Size(), 0u);
    PumpUntil([&] { return m_journal.Size() >= 1; });
    EXPECT_EQ(m_journal.Copy(), (std::vector<std::string>{"L:7"}));
    core->StopWorker();
    app::RemoveListener(&listener);
}

}  // namespace
