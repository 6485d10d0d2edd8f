// The hand-over of events to the interface thread.
//
// Any thread appends an event to the pending list and posts one dispatcher
// message; on that message the interface thread takes every pending event and
// calls every listener for each, in order. Listeners run with no lock held.
#pragma once

#include "app/AppEvent.h"
#include "platform/base/Types.h"

namespace app {

// The dispatcher message: WM_APP + 1 with wParam 999 and lParam 999.
constexpr UINT kDispatchMessage = 0x8001;
constexpr WPARAM kDispatchWParam = 999;
constexpr LPARAM kDispatchLParam = 999;

// Appends the event to the pending list and posts the dispatcher message to
// the dispatcher window (when it exists yet; otherwise the event waits for the
// next delivery). Any thread.
void HandToInterface(const RefPtr<AppEvent>& event);

// Delivers every pending event to every listener. Interface thread only.
// A listener removed (or destroyed) during the delivery is not called again.
void DeliverPendingEvents();

// Listener registration, any thread. Duplicates are allowed; removal deletes
// every entry of that listener.
void AddListener(EventListener* listener);
void RemoveListener(EventListener* listener);

// Number of events waiting for delivery (tests and diagnostics).
std::size_t PendingEventCount();

}  // namespace app
