// SendMessageW and SendMessageTimeoutW.
//
// Same thread: the procedure is called directly. Another thread: the message
// is queued to the owner thread and the sender waits; while it waits it runs
// messages other threads send to it, so two threads sending to each other do
// not deadlock. An ended owner thread, or a window destroyed while the
// message waits, completes the send at once with 0.
#include <algorithm>

#include "platform/base/LastError.h"
#include "platform/sync/Sync.h"
#include "platform/win/WindowState.h"

namespace platform::win {
namespace {

bool WaitForReply(Lock& guard, ThreadQueue& self, ThreadQueue& target, const std::shared_ptr<SentMessage>& sent,
                  RealClock::time_point deadline)
{
    while (!sent->done) {
        if (ProcessOneSentMessage(guard, self))
            continue;
        if (deadline != RealClock::time_point::max() && RealClock::now() >= deadline) {
            // Withdraw it if the receiver has not started it; otherwise the
            // receiver finishes it later and nobody reads the result.
            std::erase(target.sent, sent);
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
        if (deadline == RealClock::time_point::max())
            self.wake.wait(guard);
        else
            self.wake.wait_until(guard, deadline);
    }
    if (!sent->delivered)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return sent->delivered;
}

}  // namespace

bool SendLocal(HWND window, UINT message, WPARAM wParam, LPARAM lParam, RealClock::time_point deadline,
               LRESULT* result)
{
    *result = 0;
    WinState& state = State();
    Lock guard(state.lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return false;
    if (record->threadId == GetCurrentThreadId()) {
        WNDPROC procedure = record->procedure;
        guard.unlock();
        *result = procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
        return true;
    }
    std::shared_ptr<ThreadQueue> target = QueueLocked(record->threadId);
    if (!target || target->dead) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    std::shared_ptr<ThreadQueue> self = CurrentQueueLocked();
    auto sent = std::make_shared<SentMessage>();
    sent->window = window;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    target->sent.push_back(sent);
    target->wake.notify_all();
    bool ok = WaitForReply(guard, *self, *target, sent, deadline);
    *result = ok ? sent->result : 0;
    return ok;
}

}  // namespace platform::win

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace platform::win;
    LRESULT result = 0;
    if (IsRemoteHandle(window)) {
        RemoteSend(window, message, wParam, lParam, INFINITE, &result);
        return result;
    }
    SendLocal(window, message, wParam, lParam, platform::RealClock::time_point::max(), &result);
    return result;
}

// Returns nonzero on success with the procedure's result in *result; 0 on
// time-out (ERROR_TIMEOUT) or an invalid window. The flags are accepted; a
// hung receiver is always given up at the time-out.
LRESULT SendMessageTimeoutW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            DWORD_PTR* result)
{
    using namespace platform::win;
    (void)flags;
    LRESULT value = 0;
    bool ok = IsRemoteHandle(window)
                  ? RemoteSend(window, message, wParam, lParam, timeout, &value)
                  : SendLocal(window, message, wParam, lParam, platform::DeadlineAfter(timeout), &value);
    if (result != nullptr)
        *result = static_cast<DWORD_PTR>(value);
    return ok ? TRUE : FALSE;
}
