#include "net/FlapConnection.h"

#include <poll.h>

#include <cerrno>
#include <climits>
#include <random>

#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/net/Sockets.h"

namespace {

constexpr std::uint16_t kSequenceWrap = 0x8000;
constexpr std::uint32_t kTrafficOverhead = 40;

// The first sequence number: a random number as the device's rand() gives it
// (0..0x7FFF), seeded with the tick count.
std::uint16_t FirstSequence()
{
    std::minstd_rand generator(GetTickCount());
    return static_cast<std::uint16_t>(generator() % kSequenceWrap);
}

WideString Wide(const char* text) { return platform::Utf8ToWide(text); }

}  // namespace

FlapConnection::FlapConnection(RefPtr<ConnectionOwner> owner, net::ConnectionKind kind, std::string label, std::string host,
                               std::string port)
    : m_owner(std::move(owner)), m_kind(kind), m_label(std::move(label)), m_host(std::move(host)),
      m_port(std::move(port))
{
    InitializeCriticalSection(&m_socketLock);
    InitializeCriticalSection(&m_queueLock);
    m_queueEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_accumulator = MakeRef<oscar::ByteBuffer>();
}

FlapConnection::~FlapConnection()
{
    CloseSocket();
    CloseHandle(m_queueEvent);
    DeleteCriticalSection(&m_queueLock);
    DeleteCriticalSection(&m_socketLock);
}

void FlapConnection::Start()
{
    m_open = true;
    AddRef();  // the receive thread's reference
    HANDLE thread = CreateThread(nullptr, 0, &FlapConnection::ReceiveThread, this, 0, nullptr);
    if (thread != nullptr) {
        CloseHandle(thread);
    } else {
        m_open = false;
        Release();
    }
}

void FlapConnection::Send(const RefPtr<oscar::FlapFrame>& packet)
{
    if (!packet || !m_open)
        return;
    platform::CriticalSectionLock guard(m_queueLock);
    m_queue.push_back(packet);
    SetEvent(m_queueEvent);
}

void FlapConnection::Close()
{
    if (!m_open)
        return;
    {
        platform::CriticalSectionLock guard(m_socketLock);
        m_open = false;
    }
    {
        platform::CriticalSectionLock guard(m_queueLock);
        SetEvent(m_queueEvent);
    }
    platform::CriticalSectionLock guard(m_socketLock);
    if (int socket = m_socket.load(); socket >= 0)
        platform::net::Sockets().Shutdown(socket);
}

DWORD FlapConnection::ReceiveThread(void* parameter)
{
    auto* connection = static_cast<FlapConnection*>(parameter);
    connection->Run();
    connection->Release();
    return 0;
}

void FlapConnection::Run()
{
    RefPtr<ConnectionOwner> owner = m_owner;
    if (owner && Establish(*owner))
        ServeConnection(*owner);
    CloseSocket();
    {
        platform::CriticalSectionLock guard(m_queueLock);
        m_queue.clear();  // released unsent
    }
    m_accumulator->Wipe();
    m_owner = nullptr;
}

bool FlapConnection::Establish(ConnectionOwner& owner)
{
    platform::net::SocketLayer& sockets = platform::net::Sockets();
    sockaddr_in address{};
    if (!sockets.Resolve(m_host, m_port, address)) {
        owner.OnError(*this, u"Can't resolve host");
        return false;
    }
    if (!m_open)
        return false;
    int socket = sockets.Open();
    if (socket < 0) {
        owner.OnError(*this, Wide(std::to_string(errno).c_str()));
        return false;
    }
    {
        platform::CriticalSectionLock guard(m_socketLock);
        m_socket = socket;
    }
    if (ConnectTo(address) < 0) {
        CloseSocket();
        if (m_open)
            owner.OnError(*this, u"socket connect failed");
        return false;
    }
    if (!m_open)
        return false;
    owner.OnConnected(*this);
    m_sequence = FirstSequence();
    return true;
}

// Connects without blocking past a local close: waits for the socket to
// become writable or for the queue event. Returns 0 when connected, -1 when
// the connect failed or the connection was closed meanwhile.
int FlapConnection::ConnectTo(const sockaddr_in& address)
{
    platform::net::SocketLayer& sockets = platform::net::Sockets();
    int socket = m_socket.load();
    if (sockets.Connect(socket, address) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return -1;
    int queueDescriptor = platform::EventDescriptor(m_queueEvent);
    for (;;) {
        pollfd fds[2] = {{socket, POLLOUT, 0}, {queueDescriptor, POLLIN, 0}};
        int ready = sockets.Poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || !m_open)
            return -1;
        if (fds[0].revents != 0)
            break;
    }
    return sockets.ConnectError(socket) == 0 ? 0 : -1;
}

void FlapConnection::ServeConnection(ConnectionOwner& owner)
{
    int queueDescriptor = platform::EventDescriptor(m_queueEvent);
    for (;;) {
        pollfd fds[2] = {{m_socket.load(), POLLIN, 0}, {queueDescriptor, POLLIN, 0}};
        int ready = platform::net::Sockets().Poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            owner.OnClosed(*this, !m_open);
            return;
        }
        // A local close seen while waiting ends the thread without a report,
        // even though the shutdown also made the socket readable.
        if (fds[1].revents != 0 && !m_open)
            return;
        // Otherwise the socket comes first, as the receive completion did.
        if (fds[0].revents != 0) {
            Outcome outcome = HandleReceived(owner);
            if (outcome != Outcome::KeepGoing)
                return;
            continue;
        }
        if (fds[1].revents != 0) {
            if (SendQueue(owner) != Outcome::KeepGoing)
                return;
        }
    }
}

FlapConnection::Outcome FlapConnection::HandleReceived(ConnectionOwner& owner)
{
    std::uint8_t buffer[kReceiveSize];
    ssize_t received = platform::net::Sockets().Receive(m_socket.load(), buffer, sizeof buffer);
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return Outcome::KeepGoing;
    if (received <= 0 || !m_open) {
        oscar::SecureZero(buffer, sizeof buffer);
        owner.OnClosed(*this, !m_open);
        return Outcome::ClosedByPeer;
    }
    owner.OnTraffic(static_cast<std::uint32_t>(received) + kTrafficOverhead);
    bool appended = m_accumulator->Append(buffer, static_cast<std::int32_t>(received));
    oscar::SecureZero(buffer, sizeof buffer);

    std::int32_t position = 0;
    while (appended) {
        std::int32_t before = position;
        owner.Parse(*this, *m_accumulator, position);
        if (position <= before || position >= m_accumulator->Size())
            break;
    }
    if (position > 0)
        m_accumulator->Erase(position);

    // What is left must be the start of a frame that is still arriving. A
    // peer that sends bytes where a frame must start, or more than a frame
    // can hold, would make the accumulator grow without end: it is cut off.
    bool corrupt = !appended || m_accumulator->Size() > kMaxAccumulator ||
                   (m_accumulator->Size() > 0 && m_accumulator->Data()[0] != oscar::kFlapStartMarker);
    if (corrupt) {
        owner.OnClosed(*this, !m_open);
        return Outcome::ClosedByPeer;
    }
    return Outcome::KeepGoing;
}

FlapConnection::Outcome FlapConnection::SendQueue(ConnectionOwner& owner)
{
    std::vector<RefPtr<oscar::FlapFrame>> batch;
    {
        platform::CriticalSectionLock guard(m_queueLock);
        batch.swap(m_queue);
        ResetEvent(m_queueEvent);
    }
    // Serialise every packet first, then copy them into one buffer sized in
    // advance: growing the batch buffer packet by packet would copy it over
    // and over for a large batch.
    std::vector<RefPtr<oscar::FlapFrame>> sent;
    std::vector<RefPtr<oscar::ByteBuffer>> parts;
    sent.reserve(batch.size());
    parts.reserve(batch.size());
    std::int64_t total = 0;
    for (const RefPtr<oscar::FlapFrame>& packet : batch) {
        packet->SetSequence(m_sequence);
        RefPtr<oscar::ByteBuffer> bytes = packet->Serialise();
        if (!bytes || total + bytes->Size() > INT32_MAX)
            continue;  // a frame too large for its length field is dropped
        total += bytes->Size();
        parts.push_back(std::move(bytes));
        sent.push_back(packet);
        m_sequence = static_cast<std::uint16_t>(m_sequence + 1);
        if (m_sequence == kSequenceWrap)
            m_sequence = 0;
    }
    auto buffer = MakeRef<oscar::ByteBuffer>();
    buffer->Reserve(static_cast<std::int32_t>(total));
    for (RefPtr<oscar::ByteBuffer>& part : parts) {
        buffer->Append(part->Bytes());
        part->Wipe();
    }
    parts.clear();
    if (buffer->Size() == 0)
        return Outcome::KeepGoing;
    bool ok = SendAll(buffer->Data(), static_cast<std::size_t>(buffer->Size()));
    std::int32_t size = buffer->Size();
    buffer->Wipe();
    if (!ok) {
        if (m_open)
            owner.OnClosed(*this, false);
        return Outcome::EndedLocally;
    }
    owner.OnTraffic(static_cast<std::uint32_t>(size) + kTrafficOverhead);
    for (const RefPtr<oscar::FlapFrame>& packet : sent)
        owner.OnPacketSent(*this, packet);
    return Outcome::KeepGoing;
}

// Writes the whole batch, waiting for the socket to become writable whenever
// its send buffer is full (no time limit, as the device's blocking send).
bool FlapConnection::SendAll(const std::uint8_t* data, std::size_t size)
{
    platform::net::SocketLayer& sockets = platform::net::Sockets();
    int socket = m_socket.load();
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = sockets.Send(socket, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd fd{socket, POLLOUT, 0};
            if (sockets.Poll(&fd, 1, -1) < 0 && errno != EINTR)
                return false;
            if ((fd.revents & (POLLERR | POLLHUP)) != 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

void FlapConnection::CloseSocket()
{
    platform::CriticalSectionLock guard(m_socketLock);
    int socket = m_socket.exchange(-1);
    if (socket >= 0)
        platform::net::Sockets().Close(socket);
}
