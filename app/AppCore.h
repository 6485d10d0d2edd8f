// AppCore: the one application object. It owns the worker thread and the
// worker stage of the event queue, the Settings, and the current account.
//
// post() may be called from any thread. Events of worker types are queued and
// handled on the worker thread by the registered EventHandlers in
// registration order, then (when the type also has the interface stage)
// handed to the interface thread.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <vector>

#include "app/Account.h"
#include "app/AppEvent.h"
#include "app/DataConnectionLink.h"
#include "app/ProgramWindow.h"
#include "app/RefCounted.h"
#include "app/Settings.h"
#include "platform/sync/Sync.h"

class AppCore;

// What AppCore start builds from the other subsystems. The entry fills these
// in; a missing part is skipped (tests run the core without them).
struct AppCoreParts {
    // Skin and icon set from "SKIN_SOURCE" and "ICONS_SOURCE".
    std::function<void(AppCore&)> loadLook;
    // The data-connection link and its hidden window.
    std::function<void(AppCore&)> createConnectionLink;
    // The protocol's worker-stage handler.
    std::function<RefPtr<EventHandler>(AppCore&)> createProtocolHandler;
    // The account object for a UIN.
    std::function<RefPtr<::Account>(AppCore&, const WideString& uin)> createAccount;
};

class AppCore : public virtual RefCounted {
public:
    // The main window may be null (tests and the console run without one).
    AppCore(ProgramWindow* mainWindow, AppCoreParts parts);

    // Runs the start-up sequence on the interface thread: look, settings,
    // connection link, code page, worker thread, account set-up, and the
    // start-up event (type 7).
    void Start();

    // Routes an event by its type. Any thread. A post to a stopped AppCore
    // still queues the event; it is never processed.
    void Post(const RefPtr<AppEvent>& event);

    // Posts the event after a delay in device milliseconds, from a one-shot
    // thread.
    void PostAfter(DWORD delayMilliseconds, const RefPtr<AppEvent>& event);

    void AddHandler(const RefPtr<EventHandler>& handler);
    void RemoveHandler(const EventHandler* handler);

    // Removes the handler once the worker has handled every event queued
    // before this call, so that frames a connection delivered before it
    // closed still reach the handler that served that connection. Any
    // thread. A stopped worker never gets there; the handler then stays
    // registered until AppCore ends.
    void RemoveHandlerAfterQueued(const RefPtr<EventHandler>& handler);

    // The current Settings, created with its defaults on first request.
    RefPtr<Settings> GetSettings();

    // The current account (may be null) and its removal.
    RefPtr<::Account> Account();
    void DropAccount();

    // The account set-up: for an enabled ICQ account with a UIN, creates the
    // account object, makes it the current account and loads its cache.
    void SetUpAccount();

    // Shuts the current account down and drops it (the first step of Quit).
    void ShutDownAccount();

    // Clears the running flag and wakes the worker thread so that it leaves
    // its loop; events still queued are not processed.
    void StopWorker();

    // The AppCore lock (recursive): guards the queue, the handlers, the
    // session and the settings.
    CRITICAL_SECTION& Lock() { return m_lock; }

    bool IsRunning() const { return m_running.load(); }
    ProgramWindow* GetMainWindow() const { return m_mainWindow; }

    // The last error text shown by the interface (for example a rejected
    // login); empty when there is none.
    void SetLastErrorText(const WideString& text);
    WideString LastErrorText();

    // The data-connection link, owned here and provided by the transport
    // (null when the core runs without one).
    void SetConnectionLink(RefPtr<DataConnectionLink> link);
    RefPtr<DataConnectionLink> ConnectionLink();

    // The current skin and icon set (the look of every window), loaded at
    // start-up by AppCoreParts::loadLook. The core holds them as shared
    // objects only: their types belong to the skin subsystem above it, which
    // offers typed access (skin/Look.h). Null until loaded.
    void SetLook(RefPtr<RefCounted> skin, RefPtr<RefCounted> iconSet);
    void SetSkinObject(RefPtr<RefCounted> skin);
    RefPtr<RefCounted> SkinObject();
    RefPtr<RefCounted> IconSetObject();

    // State of the device's data connection (low 4 bits: 1 connected,
    // 2 waiting, 4 disconnecting, 8 not connected, 0 other); 8 at start.
    std::uint32_t DataLinkState();
    void SetDataLinkState(std::uint32_t state);

    // Bytes moved by every connection of the process (32-bit, wraps).
    void AddTraffic(std::uint32_t bytes);
    std::uint32_t Traffic();

    // Worker queue length (tests and diagnostics).
    std::size_t QueuedEventCount();

protected:
    ~AppCore() override;

private:
    static DWORD WorkerThread(void* parameter);
    void WorkerLoop();
    void HandleNext();
    void Enqueue(const RefPtr<AppEvent>& event);
    void ApplyQueuedRemovals();
    bool TakeNext(RefPtr<AppEvent>& event, std::vector<RefPtr<EventHandler>>& handlers);

    ProgramWindow* m_mainWindow;
    AppCoreParts m_parts;
    CRITICAL_SECTION m_lock;
    RefPtr<Settings> m_settings;
    std::vector<RefPtr<EventHandler>> m_handlers;
    std::deque<RefPtr<AppEvent>> m_queue;
    std::atomic<bool> m_running{false};
    HANDLE m_wake = nullptr;
    RefPtr<::Account> m_account;
    RefPtr<DataConnectionLink> m_connectionLink;
    RefPtr<RefCounted> m_skin;
    RefPtr<RefCounted> m_iconSet;
    WideString m_lastErrorText;
    std::uint32_t m_dataLinkState = 8;
    CRITICAL_SECTION m_trafficLock;
    std::uint32_t m_traffic = 0;
};
