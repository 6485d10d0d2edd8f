#include "oscar/SessionConnections.h"

namespace oscar {

SessionConnections::SessionConnections() { InitializeCriticalSection(&m_lock); }

SessionConnections::~SessionConnections() { DeleteCriticalSection(&m_lock); }

RefPtr<FlapConnection>& SessionConnections::Slot(net::ConnectionKind kind)
{
    return kind == net::ConnectionKind::Login ? m_login : m_bos;
}

RefPtr<FlapConnection> SessionConnections::Open(ConnectionOwner& owner, net::ConnectionKind kind,
                                                const std::string& host, const std::string& port)
{
    std::string label;
    {
        platform::CriticalSectionLock guard(m_lock);
        label = kind == net::ConnectionKind::Login ? "Login" + std::to_string(m_loginCounter++)
                                                   : "BOS" + std::to_string(m_bosCounter++);
    }
    auto connection = MakeRef<FlapConnection>(RefPtr<ConnectionOwner>(&owner), kind, label, host, port);
    {
        platform::CriticalSectionLock guard(m_lock);
        Slot(kind) = connection;
    }
    connection->Start();
    return connection;
}

void SessionConnections::Drop(net::ConnectionKind kind)
{
    RefPtr<FlapConnection> connection;
    {
        platform::CriticalSectionLock guard(m_lock);
        connection = std::move(Slot(kind));
        Slot(kind) = nullptr;
    }
    if (connection)
        connection->Close();
}

void SessionConnections::Send(net::ConnectionKind kind, const RefPtr<FlapFrame>& frame)
{
    RefPtr<FlapConnection> connection;
    {
        platform::CriticalSectionLock guard(m_lock);
        connection = Slot(kind);
    }
    if (connection)
        connection->Send(frame);
}

bool SessionConnections::IsCurrent(const FlapConnection& connection)
{
    platform::CriticalSectionLock guard(m_lock);
    return m_login.Get() == &connection || m_bos.Get() == &connection;
}

}  // namespace oscar
