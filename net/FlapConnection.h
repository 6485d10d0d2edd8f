// FlapConnection: one TCP connection to an OSCAR server.
//
// Its receive thread resolves the host, connects, receives into an
// accumulator that the owner parses, and is also the only thread that writes
// to the socket: other threads queue packets (Send) and wake it. On this
// platform the thread waits with poll() over the non-blocking socket and a
// descriptor that mirrors the queue event.
//
// A connection is used once: Create, Start, then Close or a report of its end.
#pragma once

#include <netinet/in.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/RefCounted.h"
#include "net/ConnectionKind.h"
#include "net/ConnectionOwner.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"
#include "platform/sync/Sync.h"

class FlapConnection : public virtual RefCounted {
public:
    // The kind is passed back with reports through the connection itself.
    // Nothing touches the network yet.
    FlapConnection(RefPtr<ConnectionOwner> owner, net::ConnectionKind kind, std::string label, std::string host,
                   std::string port);

    // Sets open and starts the receive thread, which holds a reference.
    void Start();

    // Queues a packet for the receive thread to send; dropped when closed.
    void Send(const RefPtr<oscar::FlapFrame>& packet);

    // Asks the connection to end. The receive thread does the rest: a close
    // seen while waiting ends it without a report.
    void Close();

    net::ConnectionKind Kind() const { return m_kind; }
    const std::string& Label() const { return m_label; }
    const std::string& Host() const { return m_host; }
    const std::string& Port() const { return m_port; }
    bool IsOpen() const { return m_open.load(); }

    // Receive requests are at most this many bytes.
    static constexpr std::int32_t kReceiveSize = 8192;
    // The accumulator never holds more than one whole frame plus one
    // receive; a peer that exceeds it (no frame start where one must be) is
    // disconnected.
    static constexpr std::int32_t kMaxAccumulator = oscar::kFlapHeaderSize + oscar::kMaxFlapBodySize + kReceiveSize;

protected:
    ~FlapConnection() override;

private:
    enum class Outcome { KeepGoing, ClosedByPeer, EndedLocally };

    static DWORD ReceiveThread(void* parameter);
    void Run();
    bool Establish(ConnectionOwner& owner);
    int ConnectTo(const sockaddr_in& address);
    void ServeConnection(ConnectionOwner& owner);
    Outcome HandleReceived(ConnectionOwner& owner);
    Outcome SendQueue(ConnectionOwner& owner);
    bool SendAll(const std::uint8_t* data, std::size_t size);
    void CloseSocket();

    RefPtr<ConnectionOwner> m_owner;
    const net::ConnectionKind m_kind;
    const std::string m_label;
    const std::string m_host;
    const std::string m_port;

    std::atomic<int> m_socket{-1};
    std::atomic<bool> m_open{false};
    HANDLE m_queueEvent = nullptr;
    CRITICAL_SECTION m_socketLock;
    CRITICAL_SECTION m_queueLock;
    std::vector<RefPtr<oscar::FlapFrame>> m_queue;
    std::uint16_t m_sequence = 0;
    RefPtr<oscar::ByteBuffer> m_accumulator;
};
