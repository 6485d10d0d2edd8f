// OscarSession: brings the account online and keeps it there.
//
// Its login thread waits for the data connection and for the user's wish to
// be online, tries the login hosts in turn, authorises on a login connection,
// moves to the BOS server and signs on, then stays online until the
// connection drops, the network goes away or the user goes offline; failures
// are retried with a growing delay (5, 10, ... 60 s). Its keep-alive thread
// (KeepAlive) keeps the BOS connection alive and notices when it went silent.
//
// The wire work is done by the LoginHandler and the BosHandler on the worker
// thread; they talk to the login thread only through the session's events.
// Frames go out only through events 28/29, so every send happens on the
// connection's own thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "app/AppCore.h"
#include "net/ConnectionOwner.h"
#include "net/FlapConnection.h"
#include "oscar/ContactStore.h"
#include "oscar/KeepAlive.h"
#include "oscar/SessionConnections.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/messaging/Messenger.h"
#include "platform/sync/Sync.h"

class OscarSession : public ConnectionOwner {
public:
    OscarSession(AppCore& core, RefPtr<ContactStore> store, RefPtr<Messenger> messenger, WideString uin,
                 WideString password);

    // Registers the handler that serves the signed-on session. Called by the
    // sign-on exchange before its last commands go out, so that nothing the
    // server sends in answer can pass unseen; removed when the BOS connection
    // ends, after every frame that connection delivered has been handled.
    void StartOnlineHandler();
    void StopOnlineHandler();

    // Operations of the worker stage and the interface; each only sets events.
    void Start();
    void Stop();
    void NetworkUp();
    void NetworkDown();
    void Quit();
    void RetryNow();

    // Reports of the handlers.
    void SetBosAddress(std::string host, std::string port, RefPtr<oscar::ByteBuffer> cookie);
    void LoginAccepted();
    void LoginFailed(std::uint16_t errorCode);
    void SignedOn();
    void BosFailed();

    // The status the user chose; -1 (offline) keeps the session offline.
    std::int32_t DesiredStatus() const { return m_desiredStatus.load(); }
    void SetDesiredStatus(std::int32_t status) { m_desiredStatus = status; }
    bool IsOnline() const { return m_online.load(); }
    std::uint16_t LastLoginError() const { return m_lastLoginError.load(); }

    const WideString& Uin() const { return m_uin; }
    const WideString& Password() const { return m_password; }
    // The own UIN as a number (0 when it is not a decimal number).
    std::uint32_t UinNumber() const { return m_uinNumber; }
    RefPtr<oscar::ByteBuffer> Cookie();
    AppCore& Core() { return m_core; }
    ContactStore& Store() { return *m_store; }

    // Hands a frame to the login or the BOS connection; a frame
    // for a connection that does not exist is dropped. Worker stage (28/29).
    void SendFrame(net::ConnectionKind kind, const RefPtr<oscar::FlapFrame>& frame);

    // The retry delay after one more failure: 5 s more, at most 60 s.
    static DWORD NextRetryDelay(DWORD current);

    // The delay of the last retry wait in device milliseconds (tests).
    DWORD RetryDelay() const { return m_retryDelay; }

    // Bytes moved by this session's connections.
    std::uint32_t Traffic() const { return m_traffic.load(); }

    // ConnectionOwner, on the connections' receive threads.
    void OnTraffic(std::uint32_t bytes) override;
    void OnConnected(FlapConnection& connection) override;
    void OnClosed(FlapConnection& connection, bool closedLocally) override;
    void OnError(FlapConnection& connection, const WideString& text) override;
    void OnPacketSent(FlapConnection& connection, const RefPtr<oscar::FlapFrame>& packet) override;
    void Parse(FlapConnection& connection, const oscar::ByteBuffer& accumulator, std::int32_t& position) override;

protected:
    ~OscarSession() override;

private:
    enum class Outcome { Success, Failed, Stopped, NetworkDown, Quit };

    static DWORD LoginThread(void* parameter);
    static DWORD KeepAliveThread(void* parameter);
    void RunLogin();

    // Waits for the event or for one of stop, network down or quit; no
    // answer within the step time-out counts as a failure.
    Outcome WaitOutcome(HANDLE success, HANDLE failure);
    Outcome LogIn();
    Outcome ConnectAndSignOn();
    Outcome StayOnline();
    void MoveSuccessfulHostFirst();
    bool WaitBeforeRetry();
    void PostStatusText(const WideString& text);

    AppCore& m_core;
    RefPtr<ContactStore> m_store;
    RefPtr<Messenger> m_messenger;
    RefPtr<EventHandler> m_onlineHandler;  // guarded by m_lock
    const WideString m_uin;
    const WideString m_password;
    std::uint32_t m_uinNumber = 0;

    std::atomic<std::int32_t> m_desiredStatus{-1};
    std::atomic<bool> m_online{false};
    std::atomic<std::uint16_t> m_lastLoginError{0};
    std::atomic<std::uint32_t> m_traffic{0};
    std::atomic<bool> m_loginReplyQueued{false};  // the login server's reply is on the worker's queue
    oscar::KeepAlive m_keepAlive;
    oscar::SessionConnections m_connections;

    CRITICAL_SECTION m_lock;  // online handler, BOS address and cookie
    std::string m_bosHost;
    std::string m_bosPort;
    RefPtr<oscar::ByteBuffer> m_cookie;
    int m_hostIndex = -1;
    std::atomic<DWORD> m_retryDelay{0};

    HANDLE m_quit;
    HANDLE m_start;
    HANDLE m_stop;
    HANDLE m_networkUp;
    HANDLE m_networkDown;
    HANDLE m_backoffWake;
    HANDLE m_loginConnected;
    HANDLE m_loginAccepted;
    HANDLE m_loginFailed;
    HANDLE m_bosConnected;
    HANDLE m_signedOn;
    HANDLE m_bosFailed;
};
