// SessionConnections: the login and the BOS connection of one session, at
// most one of each. Opening a connection of a kind replaces the one held;
// dropping it closes it. Every operation takes the object's own lock, so the
// login thread, the worker and the connections' receive threads may call in.
#pragma once

#include <string>

#include "app/RefCounted.h"
#include "net/ConnectionKind.h"
#include "net/FlapConnection.h"
#include "oscar/codec/FlapFrame.h"
#include "platform/sync/Sync.h"

namespace oscar {

class SessionConnections {
public:
    SessionConnections();
    ~SessionConnections();
    SessionConnections(const SessionConnections&) = delete;
    SessionConnections& operator=(const SessionConnections&) = delete;

    // Creates, holds and starts a connection of the kind; its label counts
    // the connections of that kind ("Login1", "BOS2", ...).
    RefPtr<FlapConnection> Open(ConnectionOwner& owner, net::ConnectionKind kind, const std::string& host,
                                const std::string& port);
    // Forgets and closes the connection of the kind, if any.
    void Drop(net::ConnectionKind kind);
    // Hands a frame to the connection of the kind; dropped when there is none.
    void Send(net::ConnectionKind kind, const RefPtr<FlapFrame>& frame);
    // True for a connection this object holds now: reports of a replaced or
    // dropped connection are not the session's concern any more.
    bool IsCurrent(const FlapConnection& connection);

private:
    RefPtr<FlapConnection>& Slot(net::ConnectionKind kind);

    CRITICAL_SECTION m_lock;
    RefPtr<FlapConnection> m_login;
    RefPtr<FlapConnection> m_bos;
    int m_loginCounter = 1;
    int m_bosCounter = 1;
};

}  // namespace oscar
