// SetTimer and KillTimer. A timer lives in the queue of the thread that owns
// its window (the calling thread for a timer without window); GetMessageW and
// PeekMessageW generate WM_TIMER from it when due on the device clock.
#include <algorithm>

#include "platform/base/Clock.h"
#include "platform/base/LastError.h"
#include "platform/win/WindowState.h"

namespace platform::win {
namespace {

// The queue a timer of this window belongs to; null (and the error) for an
// invalid window.
std::shared_ptr<ThreadQueue> TimerQueueLocked(HWND window)
{
    if (window == nullptr)
        return CurrentQueueLocked();
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr || record->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return QueueLocked(record->threadId);
}

bool HasTimer(const ThreadQueue& queue, HWND window, UINT_PTR id)
{
    return std::any_of(queue.timers.begin(), queue.timers.end(),
                       [&](const Timer& t) { return t.window == window && t.id == id; });
}

}  // namespace
}  // namespace platform::win

// Setting an existing (window, id) pair restarts it with the new period and
// procedure. A timer without window gets a fresh id unless id names one of the
// thread's windowless timers. Periods below 1 device ms are raised to 1.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
{
    using namespace platform::win;
    WinState& state = State();
    std::lock_guard guard(state.lock);
    std::shared_ptr<ThreadQueue> queue = TimerQueueLocked(window);
    if (!queue || queue->dead)
        return 0;
    if (window == nullptr && (id == 0 || !HasTimer(*queue, nullptr, id))) {
        do {
            id = state.nextThreadTimerId++;
        } while (id == 0 || HasTimer(*queue, nullptr, id));
    }
    DWORD period = std::max<UINT>(elapse, 1);
    Timer timer{window, id, period, GetTickCount() + period, procedure};
    auto it = std::find_if(queue->timers.begin(), queue->timers.end(),
                           [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it != queue->timers.end())
        *it = timer;
    else
        queue->timers.push_back(timer);
    queue->wake.notify_all();
    return id != 0 ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    std::shared_ptr<ThreadQueue> queue = TimerQueueLocked(window);
    if (!queue)
        return FALSE;
    auto removed = std::erase_if(queue->timers, [&](const Timer& t) { return t.window == window && t.id == id; });
    if (removed == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
