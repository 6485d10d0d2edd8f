#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "net/FlapConnection.h"
#include "oscar/codec/FrameParser.h"
#include "platform/base/WideString.h"
#include "platform/net/Sockets.h"
#include "tests/net/LoopbackPeer.h"

namespace {

using namespace std::chrono_literals;

// Records every report; parses with the real frame parser.
class RecordingOwner : public ConnectionOwner {
public:
    void OnTraffic(std::uint32_t bytes) override
    {
        std::lock_guard guard(lock);
        traffic.push_back(bytes);
    }
    void OnConnected(FlapConnection& connection) override
    {
        connected = true;
        if (onConnected)
            onConnected(connection);
    }
    void OnClosed(FlapConnection&, bool closedLocally) override
    {
        ++closedReports;
        lastClosedLocally = closedLocally;
    }
    void OnError(FlapConnection&, const WideString& text) override
    {
        std::lock_guard guard(lock);
        errors.push_back(platform::WideToUtf8(text));
    }
    void OnPacketSent(FlapConnection&, const RefPtr<oscar::FlapFrame>& packet) override
    {
        std::lock_guard guard(lock);
        sent.push_back(packet->FrameNumber());
    }
    void Parse(FlapConnection&, const oscar::ByteBuffer& accumulator, std::int32_t& position) override
    {
        ++parseCalls;
        oscar::ParseFrames(accumulator, position, [this](RefPtr<oscar::FlapFrame> frame) {
            std::lock_guard guard(lock);
            frames.push_back(frame);
        });
    }

    std::size_t FrameCount()
    {
        std::lock_guard guard(lock);
        return frames.size();
    }
    std::vector<std::string> Errors()
    {
        std::lock_guard guard(lock);
        return errors;
    }

    std::mutex lock;
    std::vector<std::uint32_t> traffic;
    std::vector<std::string> errors;
    std::vector<std::uint32_t> sent;
    std::vector<RefPtr<oscar::FlapFrame>> frames;
    std::atomic<bool> connected{false};
    std::atomic<int> closedReports{0};
    std::atomic<bool> lastClosedLocally{false};
    std::atomic<int> parseCalls{0};
    std::function<void(FlapConnection&)> onConnected;
};

template <typename Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds limit = 10s)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::vector<std::uint8_t> Frame(std::uint8_t channel, std::uint16_t sequence, const std::vector<std::uint8_t>& body)
{
    std::vector<std::uint8_t> bytes = {0x2A, channel, static_cast<std::uint8_t>(sequence >> 8),
                                       static_cast<std::uint8_t>(sequence), static_cast<std::uint8_t>(body.size() >> 8),
                                       static_cast<std::uint8_t>(body.size())};
    bytes.reserve(bytes.size() + body.size());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

const std::vector<std::uint8_t> kServerReady = {0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

class FlapConnectionTest : public ::testing::Test {
protected:
    RefPtr<FlapConnection> Open(const std::string& host, const std::string& port)
    {
        auto connection = MakeRef<FlapConnection>(m_owner, net::ConnectionKind::Bos, "BOS1", host, port);
        connection->Start();
        return connection;
    }
    RefPtr<RecordingOwner> m_owner = MakeRef<RecordingOwner>();
    LoopbackPeer m_peer;
};

TEST_F(FlapConnectionTest, UnresolvableHostGivesExactlyOneError)
{
    auto connection = Open("nonexistent.invalid", "5190");
    ASSERT_TRUE(WaitFor([&] { return !m_owner->Errors().empty(); }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(m_owner->Errors(), std::vector<std::string>{"Can't resolve host"});
    EXPECT_FALSE(m_owner->connected);
    EXPECT_EQ(m_owner->closedReports, 0);
}

TEST_F(FlapConnectionTest, RefusedConnectGivesSocketConnectFailed)
{
    std::string port;
    {
        LoopbackPeer closedSoon;  // a port that nobody listens on afterwards
        port = closedSoon.Port();
    }
    auto connection = Open("127.0.0.1", port);
    ASSERT_TRUE(WaitFor([&] { return !m_owner->Errors().empty(); }));
    EXPECT_EQ(m_owner->Errors(), std::vector<std::string>{"socket connect failed"});
    EXPECT_EQ(m_owner->closedReports, 0);
}

TEST_F(FlapConnectionTest, FrameSplitOverTwoReceivesIsParsedOnceAfterTheSecondPart)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    ASSERT_TRUE(WaitFor([&] { return m_owner->connected.load(); }));
    std::vector<std::uint8_t> frame = Frame(2, 7, kServerReady);
    m_peer.Send({frame.begin(), frame.begin() + 9});
    ASSERT_TRUE(WaitFor([&] { return m_owner->parseCalls >= 1; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(m_owner->FrameCount(), 0u);
    m_peer.Send({frame.begin() + 9, frame.end()});
    ASSERT_TRUE(WaitFor([&] { return m_owner->FrameCount() == 1; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(m_owner->FrameCount(), 1u);
    EXPECT_EQ(m_owner->frames[0]->Sequence(), 7);
    ASSERT_TRUE(m_owner->frames[0]->Snac());
    EXPECT_EQ(m_owner->frames[0]->Snac()->Subtype(), 3);
    connection->Close();
}

TEST_F(FlapConnectionTest, TwoFramesInOneReceiveAreBothParsed)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    std::vector<std::uint8_t> bytes = Frame(2, 1, kServerReady);
    std::vector<std::uint8_t> second = Frame(5, 2, {});
    bytes.insert(bytes.end(), second.begin(), second.end());
    m_peer.Send(bytes);
    ASSERT_TRUE(WaitFor([&] { return m_owner->FrameCount() == 2; }));
    EXPECT_EQ(m_owner->frames[1]->Channel(), 5);
    connection->Close();
}

TEST_F(FlapConnectionTest, LargestFramesPassThrough)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    std::vector<std::uint8_t> body(0xFFFF, 0x41);
    body[0] = 0x00;
    body[1] = 0x09;
    body[2] = 0xFF;
    body[3] = 0xFB;  // one item filling the body
    for (int i = 0; i < 3; ++i)
        m_peer.Send(Frame(4, static_cast<std::uint16_t>(i), body));
    ASSERT_TRUE(WaitFor([&] { return m_owner->FrameCount() == 3; }));
    EXPECT_EQ(m_owner->frames[2]->Items().size(), 1u);
    EXPECT_EQ(m_owner->closedReports, 0);
    connection->Close();
}

TEST_F(FlapConnectionTest, QueuedPacketsLeaveInOneSendWithConsecutiveSequences)
{
    m_owner->onConnected = [](FlapConnection& connection) {
        for (int i = 0; i < 10; ++i)
            connection.Send(oscar::FlapFrame::KeepAlive());
    };
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    std::vector<std::uint8_t> bytes = m_peer.Receive(60);
    ASSERT_EQ(bytes.size(), 60u);
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard guard(m_owner->lock);
        return m_owner->sent.size() == 10;
    }));
    std::uint16_t first = static_cast<std::uint16_t>(bytes[2] << 8 | bytes[3]);
    EXPECT_LT(first, 0x8000);
    for (int i = 0; i < 10; ++i) {
        std::uint16_t sequence = static_cast<std::uint16_t>(bytes[6 * i + 2] << 8 | bytes[6 * i + 3]);
        EXPECT_EQ(sequence, (first + i) % 0x8000) << i;
        EXPECT_EQ(bytes[6 * i], 0x2A);
        EXPECT_EQ(bytes[6 * i + 1], 5);
    }
    std::lock_guard guard(m_owner->lock);
    ASSERT_EQ(m_owner->traffic.size(), 1u);  // one send for the batch
    EXPECT_EQ(m_owner->traffic[0], 60u + 40u);
}

TEST_F(FlapConnectionTest, SequenceWrapsFrom7FFFToZero)
{
    constexpr int kCount = 0x8000 + 2;
    m_owner->onConnected = [](FlapConnection& connection) {
        for (int i = 0; i < kCount; ++i)
            connection.Send(oscar::FlapFrame::KeepAlive());
    };
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    std::vector<std::uint8_t> bytes = m_peer.Receive(6u * kCount, 60000);
    ASSERT_EQ(bytes.size(), 6u * kCount);
    int wraps = 0;
    for (int i = 1; i < kCount; ++i) {
        auto previous = static_cast<std::uint16_t>(bytes[6 * (i - 1) + 2] << 8 | bytes[6 * (i - 1) + 3]);
        auto sequence = static_cast<std::uint16_t>(bytes[6 * i + 2] << 8 | bytes[6 * i + 3]);
        if (previous == 0x7FFF) {
            EXPECT_EQ(sequence, 0);
            ++wraps;
        } else {
            EXPECT_EQ(sequence, previous + 1);
        }
    }
    EXPECT_EQ(wraps, 1);
}

TEST_F(FlapConnectionTest, CloseWhileWaitingEndsWithoutAReport)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    ASSERT_TRUE(WaitFor([&] { return m_owner->connected.load(); }));
    connection->Close();
    EXPECT_TRUE(m_peer.SeesClose());
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(m_owner->closedReports, 0);
    connection->Send(oscar::FlapFrame::KeepAlive());  // dropped, no crash
}

TEST_F(FlapConnectionTest, PeerCloseIsReportedOnce)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    std::vector<std::uint8_t> frame = Frame(2, 1, kServerReady);
    m_peer.Send({frame.begin(), frame.begin() + 8});  // closes mid-frame
    m_peer.CloseClient();
    ASSERT_TRUE(WaitFor([&] { return m_owner->closedReports == 1; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(m_owner->closedReports, 1);
    EXPECT_FALSE(m_owner->lastClosedLocally);
    EXPECT_EQ(m_owner->FrameCount(), 0u);
}

TEST_F(FlapConnectionTest, StreamWithoutFrameStartsIsCutOffInsteadOfGrowing)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    std::vector<std::uint8_t> garbage(64 * 1024, 0x55);
    for (int i = 0; i < 8 && m_owner->closedReports == 0; ++i)
        m_peer.Send(garbage);
    ASSERT_TRUE(WaitFor([&] { return m_owner->closedReports == 1; }));
    EXPECT_FALSE(m_owner->lastClosedLocally);
    EXPECT_TRUE(m_peer.SeesClose());
}

TEST_F(FlapConnectionTest, GarbageAfterAGoodFrameKeepsTheFrameAndCloses)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    std::vector<std::uint8_t> bytes = Frame(5, 1, {});
    bytes.push_back(0x00);
    m_peer.Send(bytes);
    ASSERT_TRUE(WaitFor([&] { return m_owner->closedReports == 1; }));
    EXPECT_EQ(m_owner->FrameCount(), 1u);
}

TEST_F(FlapConnectionTest, TrafficCountsPayloadPlusOverhead)
{
    auto connection = Open("127.0.0.1", m_peer.Port());
    ASSERT_TRUE(m_peer.Accept());
    m_peer.Send(Frame(5, 1, {}));
    ASSERT_TRUE(WaitFor([&] { return m_owner->FrameCount() == 1; }));
    std::lock_guard guard(m_owner->lock);
    ASSERT_FALSE(m_owner->traffic.empty());
    EXPECT_EQ(m_owner->traffic[0], 6u + 40u);
}

}  // namespace

namespace {

// The real sockets, with one call made to fail.
class FaultySockets : public platform::net::SocketLayer {
public:
    enum class Fault { Resolve, Open, SendAfterHalf };
    explicit FaultySockets(Fault fault) : m_fault(fault) {}

    bool Resolve(const std::string& host, const std::string& port, sockaddr_in& address) override
    {
        return m_fault != Fault::Resolve && m_real.Resolve(host, port, address);
    }
    int Open() override
    {
        if (m_fault != Fault::Open)
            return m_real.Open();
        errno = EMFILE;
        return -1;
    }
    int Connect(int socket, const sockaddr_in& address) override { return m_real.Connect(socket, address); }
    int ConnectError(int socket) override { return m_real.ConnectError(socket); }
    int Poll(pollfd* fds, nfds_t count, int timeout) override { return m_real.Poll(fds, count, timeout); }
    ssize_t Receive(int socket, void* buffer, size_t size) override { return m_real.Receive(socket, buffer, size); }
    ssize_t Send(int socket, const void* data, size_t size) override
    {
        if (m_fault != Fault::SendAfterHalf)
            return m_real.Send(socket, data, size);
        if (m_sentHalf.exchange(true)) {
            errno = ECONNRESET;
            return -1;
        }
        return m_real.Send(socket, data, size / 2);
    }
    void Shutdown(int socket) override { m_real.Shutdown(socket); }
    void Close(int socket) override { m_real.Close(socket); }

private:
    platform::net::SocketLayer& m_real = platform::net::Sockets();
    Fault m_fault;
    std::atomic<bool> m_sentHalf{false};
};

// Each fault ends the connection with one report of the right kind, and a
// batch that did not leave whole is not reported as sent.
TEST_F(FlapConnectionTest, SocketFaultsEndTheConnectionWithOneReport)
{
    struct Case {
        const char* name;
        FaultySockets::Fault fault;
        std::vector<std::string> errors;
        int closedReports;
    };
    const Case cases[] = {
        {"resolver finds nothing", FaultySockets::Fault::Resolve, {"Can't resolve host"}, 0},
        {"no socket to be had", FaultySockets::Fault::Open, {std::to_string(EMFILE)}, 0},
        {"send fails half-way through a batch", FaultySockets::Fault::SendAfterHalf, {}, 1},
    };
    // The layers outlive the loop: a receive thread may still be ending.
    std::vector<std::unique_ptr<FaultySockets>> layers;
    struct Restore {
        ~Restore() { platform::net::SetSockets(nullptr); }
    } restore;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto owner = MakeRef<RecordingOwner>();
        owner->onConnected = [](FlapConnection& connection) {
            for (int i = 0; i < 10; ++i)
                connection.Send(oscar::FlapFrame::KeepAlive());
        };
        platform::net::SetSockets(nullptr);  // each fault wraps the real sockets
        layers.push_back(std::make_unique<FaultySockets>(c.fault));
        platform::net::SetSockets(layers.back().get());
        LoopbackPeer peer;
        auto connection = MakeRef<FlapConnection>(owner, net::ConnectionKind::Bos, "BOS1", "127.0.0.1", peer.Port());
        connection->Start();
        if (c.closedReports > 0) {
            ASSERT_TRUE(peer.Accept());
        }
        ASSERT_TRUE(WaitFor([&] { return !owner->Errors().empty() || owner->closedReports > 0; }));
        connection->Close();
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(owner->Errors(), c.errors);
        EXPECT_EQ(owner->closedReports, c.closedReports);
        EXPECT_FALSE(owner->lastClosedLocally);
        std::lock_guard guard(owner->lock);
        EXPECT_TRUE(owner->sent.empty());
    }
}

}  // namespace
