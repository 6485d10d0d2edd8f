#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "app/AppCore.h"
#include "net/DataLink.h"
#include "platform/base/Clock.h"
#include "platform/connmgr/ConnMgr.h"
#include "platform/win/Window.h"

namespace {

TEST(DataLinkState, StatusTable)
{
    struct Case {
        DWORD status;
        std::uint32_t state;
        std::int32_t event;
    } cases[] = {
        {0x00, 8, 5}, {0x10, 1, 4}, {0x11, 0, 0}, {0x20, 8, 5}, {0x24, 8, 5}, {0x25, 2, 3}, {0x26, 2, 3},
        {0x27, 8, 5}, {0x2B, 8, 5}, {0x2C, 0, 0}, {0x40, 2, 3}, {0x42, 2, 3}, {0x43, 0, 0}, {0x80, 4, 0},
        {0x81, 4, 0}, {0xFFFF, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DataLinkStateOf(c.status), c.state) << std::hex << c.status;
        EXPECT_EQ(DataLinkEventOf(c.status), c.event) << std::hex << c.status;
    }
}

class RecordingHandler : public EventHandler {
public:
    void Handle(const RefPtr<AppEvent>& event) override
    {
        std::lock_guard guard(lock);
        types.push_back(event->Type());
    }
    std::vector<std::int32_t> Types()
    {
        std::lock_guard guard(lock);
        return types;
    }
    std::mutex lock;
    std::vector<std::int32_t> types;
};

class DataLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetTimeScale(100.0);
        platform::connmgr::Reset();
        ResetDataLinkStatus();
        AppCoreParts parts;
        parts.createConnectionLink = [](AppCore& core) { ConnMgrLink::Install(core); };
        m_core = MakeRef<AppCore>(nullptr, parts);
        m_core->Start();
        m_handler = MakeRef<RecordingHandler>();
        m_core->AddHandler(m_handler);
    }
    void TearDown() override
    {
        m_core->StopWorker();
        platform::connmgr::Reset();
    }

    // Runs this thread's messages until the handler saw `count` events.
    bool PumpUntilEvents(std::size_t count)
    {
        DWORD start = GetTickCount();
        MSG message{};
        while (m_handler->Types().size() < count) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            if (GetTickCount() - start > 100000)
                return false;
            Sleep(5);
        }
        return true;
    }
    void PumpAWhile()
    {
        DWORD start = GetTickCount();
        MSG message{};
        while (GetTickCount() - start < 2000) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            Sleep(5);
        }
    }

    RefPtr<AppCore> m_core;
    RefPtr<RecordingHandler> m_handler;
};

// Linux has no link to bring up: the answer is queued before the request
// returns. A delay set by a test holds it back.
TEST_F(DataLinkTest, SimulatedDeviceConnectsAtOnceUnlessDelayed)
{
    for (DWORD delay : {0u, 5000u}) {
        SCOPED_TRACE(delay);
        ResetDataLinkStatus();
        m_core->SetDataLinkState(DataLink::NotConnected);
        platform::connmgr::SetAnswerDelay(delay);
        RefPtr<ConnMgrLink> link = ConnMgrLink::Of(*m_core);
        ASSERT_TRUE(link);
        link->RequestDataConnection();
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        EXPECT_EQ(m_core->DataLinkState(), delay == 0 ? DataLink::Connected : DataLink::NotConnected);
        ASSERT_TRUE(PumpUntilEvents(delay == 0 ? 1 : 2));
        EXPECT_EQ(m_core->DataLinkState(), DataLink::Connected);
        EXPECT_EQ(link->LastStatus(), CONNMGR_STATUS_CONNECTED);
    }
    EXPECT_EQ(m_handler->Types(), (std::vector<std::int32_t>{EventType::DataLinkUp, EventType::DataLinkUp}));
}

TEST_F(DataLinkTest, InjectedSequenceWithRepeatsPostsOneEventPerChange)
{
    platform::connmgr::SetManualMode(true);
    RefPtr<ConnMgrLink> link = ConnMgrLink::Of(*m_core);
    link->RequestDataConnection();
    for (DWORD status : {0x25u, 0x25u, 0x10u, 0x10u, 0x80u, 0x21u, 0x21u, 0x10u})
        platform::connmgr::InjectStatus(status);
    ASSERT_TRUE(PumpUntilEvents(4));
    PumpAWhile();
    // 0x80 changes the last status but has no event of its own.
    EXPECT_EQ(m_handler->Types(), (std::vector<std::int32_t>{3, 4, 5, 4}));
    EXPECT_EQ(m_core->DataLinkState(), DataLink::Connected);
}

}  // namespace
