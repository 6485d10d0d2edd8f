#include "oscar/OscarSession.h"

#include <algorithm>
#include <charconv>

#include "app/AppGlobals.h"
#include "net/DataLink.h"
#include "oscar/BosHandler.h"
#include "oscar/FrameEvents.h"
#include "oscar/LoginHandler.h"
#include "oscar/OnlineHandler.h"
#include "oscar/SessionEvents.h"
#include "oscar/codec/FrameParser.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"

namespace {

constexpr DWORD kRetryStep = 5000;
// A step of login or sign-on that gets no answer in this time counts as a
// failure and is retried, so that a server that accepts the connection and
// then stays silent cannot hold the session in "Logging on" for ever.
constexpr DWORD kStepTimeout = 60000;
constexpr DWORD kRetryLimit = 60000;

HANDLE ManualEvent(bool signalled) { return CreateEventW(nullptr, TRUE, signalled ? TRUE : FALSE, nullptr); }

// Setting one event of a pair resets the other.
void SetOneOf(HANDLE set, HANDLE reset)
{
    ResetEvent(reset);
    SetEvent(set);
}

std::uint32_t ParseUinNumber(const WideString& uin)
{
    std::string digits = platform::WideToUtf8(uin);
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return (error == std::errc() && end == digits.data() + digits.size()) ? value : 0;
}

}  // namespace

OscarSession::OscarSession(AppCore& core, RefPtr<ContactStore> store, RefPtr<Messenger> messenger, WideString uin,
                           WideString password)
    : m_core(core), m_store(std::move(store)), m_messenger(std::move(messenger)), m_uin(std::move(uin)),
      m_password(std::move(password))
{
    app::LiveSessionCount().fetch_add(1);
    m_uinNumber = ParseUinNumber(m_uin);
    InitializeCriticalSection(&m_lock);
    bool linkUp = core.DataLinkState() == DataLink::Connected;
    m_quit = ManualEvent(false);
    m_start = ManualEvent(false);
    m_stop = ManualEvent(true);
    m_networkUp = ManualEvent(linkUp);
    m_networkDown = ManualEvent(!linkUp);
    m_backoffWake = ManualEvent(false);
    m_loginConnected = ManualEvent(false);
    m_loginAccepted = ManualEvent(false);
    m_loginFailed = ManualEvent(false);
    m_bosConnected = ManualEvent(false);
    m_signedOn = ManualEvent(false);
    m_bosFailed = ManualEvent(false);

    for (LPTHREAD_START_ROUTINE routine : {&OscarSession::LoginThread, &OscarSession::KeepAliveThread}) {
        AddRef();  // each thread holds a reference
        HANDLE thread = CreateThread(nullptr, 0, routine, this, 0, nullptr);
        if (thread != nullptr)
            CloseHandle(thread);
        else
            Release();
    }
}

OscarSession::~OscarSession()
{
    for (HANDLE event : {m_quit, m_start, m_stop, m_networkUp, m_networkDown, m_backoffWake, m_loginConnected,
                         m_loginAccepted, m_loginFailed, m_bosConnected, m_signedOn, m_bosFailed})
        CloseHandle(event);
    DeleteCriticalSection(&m_lock);
    app::LiveSessionCount().fetch_sub(1);
}

void OscarSession::Start() { SetOneOf(m_start, m_stop); }
void OscarSession::Stop() { SetOneOf(m_stop, m_start); }
void OscarSession::NetworkUp() { SetOneOf(m_networkUp, m_networkDown); }
void OscarSession::NetworkDown() { SetOneOf(m_networkDown, m_networkUp); }
void OscarSession::Quit() { SetEvent(m_quit); }

// The login thread resets the wake before every retry wait, so a wake given
// while nobody waits cuts nothing short later: it acts as a pulse.
void OscarSession::RetryNow() { SetEvent(m_backoffWake); }

void OscarSession::SetBosAddress(std::string host, std::string port, RefPtr<oscar::ByteBuffer> cookie)
{
    platform::CriticalSectionLock guard(m_lock);
    m_bosHost = std::move(host);
    m_bosPort = std::move(port);
    m_cookie = std::move(cookie);
}

void OscarSession::LoginAccepted() { SetEvent(m_loginAccepted); }

void OscarSession::LoginFailed(std::uint16_t errorCode)
{
    m_lastLoginError = errorCode;
    SetEvent(m_loginFailed);
}

void OscarSession::SignedOn() { SetEvent(m_signedOn); }

void OscarSession::StartOnlineHandler()
{
    StopOnlineHandler();
    auto handler = MakeRef<oscar::OnlineHandler>(m_core, m_store, m_messenger);
    {
        platform::CriticalSectionLock guard(m_lock);
        m_onlineHandler = handler;
    }
    m_core.AddHandler(handler);
}

// The receive thread queues every frame it read before it reports the
// close; removing the handler at once would leave those frames to nobody.
void OscarSession::StopOnlineHandler()
{
    RefPtr<EventHandler> handler;
    {
        platform::CriticalSectionLock guard(m_lock);
        handler = std::move(m_onlineHandler);
        m_onlineHandler = nullptr;
    }
    m_core.RemoveHandlerAfterQueued(handler);
}

void OscarSession::BosFailed()
{
    m_lastLoginError = 0;
    SetEvent(m_bosFailed);
}

RefPtr<oscar::ByteBuffer> OscarSession::Cookie()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_cookie;
}

void OscarSession::SendFrame(net::ConnectionKind kind, const RefPtr<oscar::FlapFrame>& frame)
{
    m_connections.Send(kind, frame);
}

void OscarSession::OnTraffic(std::uint32_t bytes)
{
    m_traffic.fetch_add(bytes);
    m_core.AddTraffic(bytes);
}

void OscarSession::OnConnected(FlapConnection& connection)
{
    if (!m_connections.IsCurrent(connection))
        return;
    SetEvent(connection.Kind() == net::ConnectionKind::Login ? m_loginConnected : m_bosConnected);
}

void OscarSession::OnClosed(FlapConnection& connection, bool)
{
    if (!m_connections.IsCurrent(connection))
        return;
    if (connection.Kind() == net::ConnectionKind::Login) {
        // Login servers close the connection right after their reply. Once
        // the reply is queued, the LoginHandler decides the outcome when it
        // reads it; a close reported here first must not overtake it.
        if (!m_loginReplyQueued)
            SetEvent(m_loginFailed);
    } else
        BosFailed();
}

void OscarSession::OnError(FlapConnection& connection, const WideString&) { OnClosed(connection, false); }

void OscarSession::OnPacketSent(FlapConnection& connection, const RefPtr<oscar::FlapFrame>& packet)
{
    std::int32_t type =
        connection.Kind() == net::ConnectionKind::Login ? EventType::LoginFrameSent : EventType::BosFrameSent;
    m_core.Post(MakeRef<oscar::FrameSentEvent>(type, packet->FrameNumber()));
}

void OscarSession::Parse(FlapConnection& connection, const oscar::ByteBuffer& accumulator, std::int32_t& position)
{
    if (connection.Kind() == net::ConnectionKind::Bos) {
        m_keepAlive.NoteReceived(GetTickCount());
        oscar::ParseAndPost(m_core, connection.Kind(), accumulator, position);
        return;
    }
    std::int32_t type = oscar::FrameEventType(net::ConnectionKind::Login);
    oscar::ParseFrames(accumulator, position, [this, type](RefPtr<oscar::FlapFrame> frame) {
        if (frame->Channel() == oscar::kChannelSignOff)
            m_loginReplyQueued = true;
        m_core.Post(MakeRef<oscar::FrameEvent>(type, std::move(frame)));
    });
}

void OscarSession::PostStatusText(const WideString& text) { m_core.Post(MakeRef<oscar::StatusTextEvent>(text)); }

DWORD OscarSession::LoginThread(void* parameter)
{
    auto* session = static_cast<OscarSession*>(parameter);
    session->RunLogin();
    session->Release();
    return 0;
}

DWORD OscarSession::KeepAliveThread(void* parameter)
{
    auto* session = static_cast<OscarSession*>(parameter);
    session->m_keepAlive.Run(*session, session->m_quit);
    session->Release();
    return 0;
}

OscarSession::Outcome OscarSession::WaitOutcome(HANDLE success, HANDLE failure)
{
    HANDLE waits[] = {success, failure, m_stop, m_networkDown, m_quit};
    switch (WaitForMultipleObjects(5, waits, FALSE, kStepTimeout)) {
    case WAIT_TIMEOUT:
        return Outcome::Failed;
    case WAIT_OBJECT_0:
        return Outcome::Success;
    case WAIT_OBJECT_0 + 1:
        return Outcome::Failed;
    case WAIT_OBJECT_0 + 2:
        return Outcome::Stopped;
    case WAIT_OBJECT_0 + 3:
        return Outcome::NetworkDown;
    default:
        return Outcome::Quit;
    }
}

void OscarSession::RunLogin()
{
    enum class Step { WaitNetwork, WaitStart, Attempt, Retry, End };
    Step step = Step::WaitNetwork;
    while (step != Step::End) {
        switch (step) {
        case Step::WaitNetwork: {
            HANDLE waits[] = {m_networkUp, m_quit};
            step = WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 ? Step::WaitStart : Step::End;
            break;
        }
        case Step::WaitStart: {
            HANDLE waits[] = {m_start, m_networkDown, m_quit};
            DWORD which = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
            step = which == WAIT_OBJECT_0 ? Step::Attempt
                   : which == WAIT_OBJECT_0 + 1 ? Step::WaitNetwork
                                                : Step::End;
            break;
        }
        case Step::Attempt: {
            Outcome outcome = LogIn();
            if (outcome == Outcome::Success)
                outcome = ConnectAndSignOn();
            if (outcome == Outcome::Success)
                outcome = StayOnline();
            if (outcome == Outcome::Stopped)
                m_retryDelay = 0;
            step = outcome == Outcome::Failed        ? Step::Retry
                   : outcome == Outcome::Stopped     ? Step::WaitStart
                   : outcome == Outcome::NetworkDown ? Step::WaitNetwork
                                                     : Step::End;
            break;
        }
        case Step::Retry:
            step = WaitBeforeRetry() ? Step::WaitStart : Step::End;
            break;
        case Step::End:
            break;
        }
    }
    m_connections.Drop(net::ConnectionKind::Login);
    m_connections.Drop(net::ConnectionKind::Bos);
    StopOnlineHandler();
}

// Logging in: a login host, its connection and the authorisation. The
// LoginHandler is registered before the connection starts: the server greets
// as soon as the connection is up, and a handler added only after "connected"
// could miss that greeting and leave the login waiting for ever.
OscarSession::Outcome OscarSession::LogIn()
{
    PostStatusText(u"Finding host");
    std::vector<LoginHost> hosts = m_core.GetSettings()->loginHosts;
    if (hosts.empty()) {
        PostStatusText(u"Offline");
        return Outcome::Failed;
    }
    ++m_hostIndex;
    if (m_hostIndex < 0 || m_hostIndex >= static_cast<int>(hosts.size()))
        m_hostIndex = 0;
    const LoginHost& host = hosts[static_cast<std::size_t>(m_hostIndex)];
    auto handler = MakeRef<LoginHandler>(*this);
    ResetEvent(m_loginConnected);
    ResetEvent(m_loginFailed);
    ResetEvent(m_loginAccepted);
    m_loginReplyQueued = false;
    m_core.AddHandler(handler);
    m_connections.Open(*this, net::ConnectionKind::Login, host.host, host.port);
    Outcome outcome = WaitOutcome(m_loginConnected, m_loginFailed);
    if (outcome == Outcome::Success) {
        PostStatusText(u"Logging on");
        outcome = WaitOutcome(m_loginAccepted, m_loginFailed);
    }
    m_core.RemoveHandlerAfterQueued(handler);
    m_connections.Drop(net::ConnectionKind::Login);
    if (outcome != Outcome::Success)
        PostStatusText(u"Offline");
    return outcome;
}

// Signing on: the BOS connection, the sign-on exchange, then "Online".
// As with the login, the BosHandler is registered before the connection
// starts so that the server's greeting cannot pass unseen.
OscarSession::Outcome OscarSession::ConnectAndSignOn()
{
    std::string host;
    std::string port;
    {
        platform::CriticalSectionLock guard(m_lock);
        host = m_bosHost;
        port = m_bosPort;
    }
    auto handler = MakeRef<BosHandler>(*this, Cookie());
    ResetEvent(m_bosConnected);
    ResetEvent(m_bosFailed);
    ResetEvent(m_signedOn);
    m_core.AddHandler(handler);
    m_connections.Open(*this, net::ConnectionKind::Bos, host, port);
    Outcome outcome = WaitOutcome(m_bosConnected, m_bosFailed);
    if (outcome == Outcome::Success)
        outcome = WaitOutcome(m_signedOn, m_bosFailed);
    m_core.RemoveHandlerAfterQueued(handler);
    if (outcome != Outcome::Success) {
        StopOnlineHandler();
        PostStatusText(u"Offline");
        m_connections.Drop(net::ConnectionKind::Bos);
        return outcome;
    }
    MoveSuccessfulHostFirst();
    // Online is set before the text goes out, so that whoever reacts to
    // "Online" (a user sending a message at once) finds the session online.
    m_retryDelay = 0;
    m_keepAlive.NoteReceived(GetTickCount());
    m_online = true;
    PostStatusText(u"Online");
    m_core.Post(MakeRef<AppEvent>(EventType::SessionOnline));
    return Outcome::Success;
}

// Staying online until the BOS connection ends or the user or the network
// ends it.
OscarSession::Outcome OscarSession::StayOnline()
{
    HANDLE waits[] = {m_bosFailed, m_stop, m_networkDown, m_quit};
    DWORD which = WaitForMultipleObjects(4, waits, FALSE, INFINITE);
    m_connections.Drop(net::ConnectionKind::Bos);
    StopOnlineHandler();
    m_online = false;
    m_core.Post(MakeRef<AppEvent>(EventType::SessionOffline));
    // Going offline by choice shows "Offline" like every other way out of a
    // login; a lost connection goes on to "Finding host" instead.
    if (which == WAIT_OBJECT_0 + 1)
        PostStatusText(u"Offline");
    switch (which) {
    case WAIT_OBJECT_0:
        return Outcome::Failed;
    case WAIT_OBJECT_0 + 1:
        return Outcome::Stopped;
    case WAIT_OBJECT_0 + 2:
        return Outcome::NetworkDown;
    default:
        return Outcome::Quit;
    }
}

void OscarSession::MoveSuccessfulHostFirst()
{
    if (m_hostIndex <= 0)
        return;
    RefPtr<Settings> settings = m_core.GetSettings();
    auto& hosts = settings->loginHosts;
    if (m_hostIndex < static_cast<int>(hosts.size())) {
        std::rotate(hosts.begin(), hosts.begin() + m_hostIndex, hosts.begin() + m_hostIndex + 1);
        settings->Save();
    }
    m_hostIndex = -1;
}

// Waits the growing retry delay. Quit ends the wait too, so that a session
// told to quit during a 60 s delay does not outlive the program's drain.
// Returns false on quit.
DWORD OscarSession::NextRetryDelay(DWORD current) { return current < kRetryLimit ? current + kRetryStep : current; }

bool OscarSession::WaitBeforeRetry()
{
    m_retryDelay = NextRetryDelay(m_retryDelay);
    ResetEvent(m_backoffWake);
    HANDLE waits[] = {m_backoffWake, m_quit};
    return WaitForMultipleObjects(2, waits, FALSE, m_retryDelay) != WAIT_OBJECT_0 + 1;
}
