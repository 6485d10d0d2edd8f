#include "app/InterfaceStage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/AppGlobals.h"
#include "platform/sync/Sync.h"
#include "platform/win/Window.h"

namespace app {
namespace {

// A registration. The serial tells a re-registration at the same address
// apart from the one a delivery copied.
struct ListenerEntry {
    EventListener* listener = nullptr;
    std::uint64_t serial = 0;
};

struct InterfaceState {
    CRITICAL_SECTION lock;
    std::vector<RefPtr<AppEvent>> pending;
    std::vector<ListenerEntry> listeners;
    std::uint64_t nextSerial = 1;
};

InterfaceState& State()
{
    static InterfaceState* state = new InterfaceState;
    return *state;
}

bool StillRegistered(InterfaceState& s, const ListenerEntry& entry)
{
    platform::CriticalSectionLock guard(s.lock);
    return std::any_of(s.listeners.begin(), s.listeners.end(), [&](const ListenerEntry& live) {
        return live.listener == entry.listener && live.serial == entry.serial;
    });
}

}  // namespace

void HandToInterface(const RefPtr<AppEvent>& event)
{
    if (!event)
        return;
    InterfaceState& s = State();
    platform::CriticalSectionLock guard(s.lock);
    s.pending.push_back(event);
    if (HWND dispatcher = DispatcherHandle())
        PostMessageW(dispatcher, kDispatchMessage, kDispatchWParam, kDispatchLParam);
}

void DeliverPendingEvents()
{
    InterfaceState& s = State();
    std::vector<ListenerEntry> listeners;
    std::vector<RefPtr<AppEvent>> events;
    {
        platform::CriticalSectionLock guard(s.lock);
        listeners = s.listeners;
        events.swap(s.pending);
    }
    for (const RefPtr<AppEvent>& event : events) {
        for (const ListenerEntry& entry : listeners) {
            if (!StillRegistered(s, entry))
                continue;
            RefPtr<AppEvent> copy = event;
            entry.listener->OnEvent(copy);
        }
    }
}

void AddListener(EventListener* listener)
{
    if (listener == nullptr)
        return;
    InterfaceState& s = State();
    platform::CriticalSectionLock guard(s.lock);
    s.listeners.push_back({listener, s.nextSerial++});
}

void RemoveListener(EventListener* listener)
{
    InterfaceState& s = State();
    platform::CriticalSectionLock guard(s.lock);
    std::erase_if(s.listeners, [listener](const ListenerEntry& e) { return e.listener == listener; });
}

std::size_t PendingEventCount()
{
    InterfaceState& s = State();
    platform::CriticalSectionLock guard(s.lock);
    return s.pending.size();
}

}  // namespace app
