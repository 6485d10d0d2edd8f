#include "app/AppCore.h"

#include "app/AppGlobals.h"
#include "app/InterfaceStage.h"
#include "platform/base/Clock.h"
#include "platform/sync/DetachedThread.h"

AppCore::AppCore(ProgramWindow* mainWindow, AppCoreParts parts) : m_mainWindow(mainWindow), m_parts(std::move(parts))
{
    InitializeCriticalSection(&m_lock);
    InitializeCriticalSection(&m_trafficLock);
    // Created here rather than in Start so that events posted before the
    // worker runs are not left without a wake-up.
    m_wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

AppCore::~AppCore()
{
    if (m_wake != nullptr)
        CloseHandle(m_wake);
    DeleteCriticalSection(&m_trafficLock);
    DeleteCriticalSection(&m_lock);
}

void AppCore::Start()
{
    if (m_parts.loadLook)
        m_parts.loadLook(*this);
    RefPtr<Settings> settings = GetSettings();
    if (m_parts.createConnectionLink)
        m_parts.createConnectionLink(*this);
    settings->EnsureLoaded();
    app::SetProcessCodePage(settings->codePage);

    if (m_parts.createProtocolHandler) {
        if (RefPtr<EventHandler> handler = m_parts.createProtocolHandler(*this))
            AddHandler(handler);
    }

    m_running = true;
    AddRef();  // the worker thread's reference, released when it ends
    HANDLE worker = CreateThread(nullptr, 0, &AppCore::WorkerThread, this, 0, nullptr);
    if (worker != nullptr)
        CloseHandle(worker);
    else
        Release();

    SetUpAccount();
    Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}

void AppCore::SetUpAccount()
{
    platform::CriticalSectionLock guard(m_lock);
    RefPtr<Settings> settings = GetSettings();
    WideString uin = settings->Uin();
    if (!settings->icqEnabled || uin.empty() || !m_parts.createAccount)
        return;
    m_account = m_parts.createAccount(*this, uin);
    if (m_account)
        m_account->LoadCache();
}

namespace {

// A queue entry that is not an event: it tells the worker to remove a
// handler when it gets there. Its type is outside the event types, and the
// worker never hands it to handlers or listeners.
class HandlerRemoval : public AppEvent {
public:
    explicit HandlerRemoval(RefPtr<EventHandler> handler) : AppEvent(0), m_handler(std::move(handler)) {}
    const EventHandler* Handler() const { return m_handler.Get(); }

protected:
    ~HandlerRemoval() override = default;

private:
    // Held so that the address cannot be reused by a new handler before the
    // removal runs.
    RefPtr<EventHandler> m_handler;
};

}  // namespace

void AppCore::Post(const RefPtr<AppEvent>& event)
{
    if (!event)
        return;
    EventRoute route = RouteOf(event->Type());
    if (route.worker) {
        platform::CriticalSectionLock guard(m_lock);
        if (DropsSettings(event->Type()))
            m_settings = nullptr;
        Enqueue(event);
    } else if (route.interface) {
        app::HandToInterface(event);
    }
}

void AppCore::Enqueue(const RefPtr<AppEvent>& event)
{
    platform::CriticalSectionLock guard(m_lock);
    m_queue.push_back(event);
    if (m_wake != nullptr)
        SetEvent(m_wake);
}

void AppCore::PostAfter(DWORD delayMilliseconds, const RefPtr<AppEvent>& event)
{
    RefPtr<AppCore> core(this);
    platform::StartDetachedThread([core, delayMilliseconds, event] {
        Sleep(delayMilliseconds);
        core->Post(event);
    });
}

void AppCore::AddHandler(const RefPtr<EventHandler>& handler)
{
    if (!handler)
        return;
    platform::CriticalSectionLock guard(m_lock);
    m_handlers.push_back(handler);
}

void AppCore::RemoveHandler(const EventHandler* handler)
{
    platform::CriticalSectionLock guard(m_lock);
    std::erase_if(m_handlers, [handler](const RefPtr<EventHandler>& h) { return h.Get() == handler; });
}

// A worker that does not run (not started, or stopped) will not reach the
// entry: the handler goes at once, so that it does not keep what it holds
// (a session, for one) alive until AppCore ends.
void AppCore::RemoveHandlerAfterQueued(const RefPtr<EventHandler>& handler)
{
    if (!handler)
        return;
    platform::CriticalSectionLock guard(m_lock);
    if (m_running)
        Enqueue(MakeRef<HandlerRemoval>(handler));
    else
        RemoveHandler(handler.Get());
}

// The worker has stopped: the removals still queued are applied, the events
// are left unprocessed.
void AppCore::ApplyQueuedRemovals()
{
    platform::CriticalSectionLock guard(m_lock);
    for (const RefPtr<AppEvent>& entry : m_queue) {
        if (auto* removal = dynamic_cast<HandlerRemoval*>(entry.Get()))
            RemoveHandler(removal->Handler());
    }
    std::erase_if(m_queue, [](const RefPtr<AppEvent>& entry) { return dynamic_cast<HandlerRemoval*>(entry.Get()) != nullptr; });
}

RefPtr<Settings> AppCore::GetSettings()
{
    platform::CriticalSectionLock guard(m_lock);
    if (!m_settings)
        m_settings = MakeRef<Settings>();
    return m_settings;
}

RefPtr<Account> AppCore::Account()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_account;
}

void AppCore::DropAccount()
{
    RefPtr<::Account> dropped;
    platform::CriticalSectionLock guard(m_lock);
    dropped = std::move(m_account);
    m_account = nullptr;
}

void AppCore::ShutDownAccount()
{
    if (RefPtr<::Account> account = Account())
        account->Shutdown();
    DropAccount();
}

void AppCore::StopWorker()
{
    platform::CriticalSectionLock guard(m_lock);
    m_running = false;
    if (m_wake != nullptr)
        SetEvent(m_wake);
}

void AppCore::SetLastErrorText(const WideString& text)
{
    platform::CriticalSectionLock guard(m_lock);
    m_lastErrorText = text;
}

WideString AppCore::LastErrorText()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_lastErrorText;
}

void AppCore::SetConnectionLink(RefPtr<DataConnectionLink> link)
{
    platform::CriticalSectionLock guard(m_lock);
    m_connectionLink = std::move(link);
}

void AppCore::SetLook(RefPtr<RefCounted> skin, RefPtr<RefCounted> iconSet)
{
    platform::CriticalSectionLock guard(m_lock);
    m_skin = std::move(skin);
    m_iconSet = std::move(iconSet);
}

void AppCore::SetSkinObject(RefPtr<RefCounted> skin)
{
    platform::CriticalSectionLock guard(m_lock);
    m_skin = std::move(skin);
}

RefPtr<RefCounted> AppCore::SkinObject()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_skin;
}

RefPtr<RefCounted> AppCore::IconSetObject()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_iconSet;
}

RefPtr<DataConnectionLink> AppCore::ConnectionLink()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_connectionLink;
}

std::uint32_t AppCore::DataLinkState()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_dataLinkState & 0x0F;
}

void AppCore::SetDataLinkState(std::uint32_t state)
{
    platform::CriticalSectionLock guard(m_lock);
    m_dataLinkState = (m_dataLinkState & ~0x0Fu) | (state & 0x0Fu);
}

void AppCore::AddTraffic(std::uint32_t bytes)
{
    platform::CriticalSectionLock guard(m_trafficLock);
    m_traffic += bytes;
}

std::uint32_t AppCore::Traffic()
{
    platform::CriticalSectionLock guard(m_trafficLock);
    return m_traffic;
}

std::size_t AppCore::QueuedEventCount()
{
    platform::CriticalSectionLock guard(m_lock);
    return m_queue.size();
}

DWORD AppCore::WorkerThread(void* parameter)
{
    auto* core = static_cast<AppCore*>(parameter);
    core->WorkerLoop();
    core->Release();
    return 0;
}

bool AppCore::TakeNext(RefPtr<AppEvent>& event, std::vector<RefPtr<EventHandler>>& handlers)
{
    platform::CriticalSectionLock guard(m_lock);
    if (m_queue.empty()) {
        ResetEvent(m_wake);
        return false;
    }
    event = std::move(m_queue.front());
    m_queue.pop_front();
    handlers = m_handlers;
    if (m_queue.empty())
        ResetEvent(m_wake);
    return true;
}

void AppCore::HandleNext()
{
    RefPtr<AppEvent> event;
    std::vector<RefPtr<EventHandler>> handlers;
    if (!TakeNext(event, handlers))
        return;
    if (auto* removal = dynamic_cast<HandlerRemoval*>(event.Get())) {
        RemoveHandler(removal->Handler());
        return;
    }
    for (const RefPtr<EventHandler>& handler : handlers) {
        RefPtr<AppEvent> copy = event;
        handler->Handle(copy);
    }
    if (RouteOf(event->Type()).interface)
        app::HandToInterface(event);
}

void AppCore::WorkerLoop()
{
    WaitForSingleObject(m_wake, INFINITE);
    while (m_running) {
        HandleNext();
        // The event and the handler snapshot are released before waiting, so
        // that a removed handler does not live on until the next event.
        WaitForSingleObject(m_wake, INFINITE);
    }
    ApplyQueuedRemovals();
}
