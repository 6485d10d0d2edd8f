// Posted messages and the message loop: PostMessageW, PostThreadMessageW,
// PostQuitMessage, GetMessageW, PeekMessageW, DispatchMessageW.
//
// Retrieval order, as on the device: messages sent by other threads are run
// first (never returned), then posted messages in posting order, then WM_QUIT
// once no posted message is left, then WM_PAINT for a window with an update
// region, then due timers.
#include <algorithm>

#include "platform/base/Clock.h"
#include "platform/base/LastError.h"
#include "platform/sync/Sync.h"
#include "platform/win/WindowState.h"

constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_NOT_ENOUGH_QUOTA = 1816;

namespace platform::win {
namespace {

// A window filter of (HWND)-1 takes thread messages only; null takes all.
bool Matches(HWND hwnd, UINT message, HWND filter, UINT filterMin, UINT filterMax)
{
    if (filterMin != 0 || filterMax != 0) {
        if (message < filterMin || message > filterMax)
            return false;
    }
    if (filter == nullptr)
        return true;
    if (filter == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)))
        return hwnd == nullptr;
    return hwnd != nullptr && IsDescendantLocked(hwnd, filter);
}

enum class Fetched { Message, Quit, Nothing };

Fetched FetchTimerLocked(ThreadQueue& queue, MSG* out, HWND filter, UINT filterMin, UINT filterMax, bool remove)
{
    DWORD now = GetTickCount();
    for (Timer& timer : queue.timers) {
        if (static_cast<std::int32_t>(timer.due - now) > 0 ||
            !Matches(timer.window, WM_TIMER, filter, filterMin, filterMax))
            continue;
        *out = MSG{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure), now, {}};
        // One WM_TIMER however late: the next one is a full period away.
        if (remove)
            timer.due = now + timer.period;
        return Fetched::Message;
    }
    return Fetched::Nothing;
}

bool FetchPaintLocked(const ThreadQueue& queue, MSG* out, HWND filter, UINT filterMin, UINT filterMax)
{
    bool inRange = (filterMin == 0 && filterMax == 0) || (WM_PAINT >= filterMin && WM_PAINT <= filterMax);
    if (!inRange || filter == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)))
        return false;
    HWND window = PaintCandidateLocked(queue, filter);
    if (window == nullptr)
        return false;
    *out = MSG{window, WM_PAINT, 0, 0, GetTickCount(), {}};
    return true;
}

Fetched FetchLocked(Lock& guard, ThreadQueue& queue, MSG* out, HWND filter, UINT filterMin, UINT filterMax,
                    bool remove)
{
    while (ProcessOneSentMessage(guard, queue)) {
    }
    auto it = std::find_if(queue.posted.begin(), queue.posted.end(), [&](const MSG& m) {
        return Matches(m.hwnd, m.message, filter, filterMin, filterMax);
    });
    if (it != queue.posted.end()) {
        *out = *it;
        if (remove)
            queue.posted.erase(it);
        return Fetched::Message;
    }
    if (queue.quitPending) {
        *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, GetTickCount(), {}};
        if (remove)
            queue.quitPending = false;
        return Fetched::Quit;
    }
    // WM_PAINT stays until the window validates its update region.
    if (FetchPaintLocked(queue, out, filter, filterMin, filterMax))
        return Fetched::Message;
    return FetchTimerLocked(queue, out, filter, filterMin, filterMax, remove);
}

// Real deadline of the next timer, or max() when there is none.
RealClock::time_point NextTimerDeadline(const ThreadQueue& queue)
{
    if (queue.timers.empty())
        return RealClock::time_point::max();
    DWORD now = GetTickCount();
    std::int64_t soonest = INT64_MAX;
    for (const Timer& timer : queue.timers)
        soonest = std::min<std::int64_t>(soonest, static_cast<std::int32_t>(timer.due - now));
    return DeadlineAfter(static_cast<DWORD>(std::max<std::int64_t>(soonest, 0)));
}

BOOL PostToQueueLocked(ThreadQueue* queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (queue == nullptr || queue->dead) {
        SetLastError(window != nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    if (queue->posted.size() >= kMaxPostedMessages) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    queue->posted.push_back(MSG{window, message, wParam, lParam, GetTickCount(), {}});
    queue->wake.notify_all();
    return TRUE;
}

}  // namespace
}  // namespace platform::win

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace platform::win;
    if (window == nullptr)
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    if (IsRemoteHandle(window))
        return RemotePost(window, message, wParam, lParam);
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr || record->procedure == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return PostToQueueLocked(QueueLocked(record->threadId).get(), window, message, wParam, lParam);
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    std::shared_ptr<ThreadQueue> queue =
        threadId == GetCurrentThreadId() ? CurrentQueueLocked() : QueueLocked(threadId);
    return PostToQueueLocked(queue.get(), nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    std::shared_ptr<ThreadQueue> queue = CurrentQueueLocked();
    queue->quitPending = true;
    queue->quitCode = exitCode;
    queue->wake.notify_all();
}

// Blocks until a message is available. Returns FALSE for WM_QUIT, -1 for a
// null message pointer, TRUE otherwise.
BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax)
{
    using namespace platform::win;
    if (message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    Lock guard(State().lock);
    std::shared_ptr<ThreadQueue> queue = CurrentQueueLocked();
    for (;;) {
        Fetched fetched = FetchLocked(guard, *queue, message, window, filterMin, filterMax, true);
        // A WM_QUIT posted as a plain message ends the loop as well.
        if (fetched != Fetched::Nothing)
            return message->message == WM_QUIT ? FALSE : TRUE;
        platform::RealClock::time_point deadline = NextTimerDeadline(*queue);
        if (deadline == platform::RealClock::time_point::max())
            queue->wake.wait(guard);
        else
            queue->wake.wait_until(guard, deadline);
    }
}

BOOL PeekMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    using namespace platform::win;
    if (message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Lock guard(State().lock);
    std::shared_ptr<ThreadQueue> queue = CurrentQueueLocked();
    bool remove = (removeFlags & PM_REMOVE) != 0;
    return FetchLocked(guard, *queue, message, window, filterMin, filterMax, remove) != Fetched::Nothing ? TRUE
                                                                                                         : FALSE;
}

// The phone's keys that carry a character: the number keys, star (VK_F8)
// and pound (VK_F9). Their WM_CHAR is the next message the thread gets.
// Keyboard text other than these arrives as WM_CHAR directly.
BOOL TranslateMessage(const MSG* message)
{
    using namespace platform::win;
    if (message == nullptr || message->message != WM_KEYDOWN || message->hwnd == nullptr)
        return FALSE;
    WPARAM key = message->wParam;
    WPARAM character = 0;
    if (key >= '0' && key <= '9')
        character = key;
    else if (key == 0x77)
        character = '*';
    else if (key == 0x78)
        character = '#';
    if (character == 0)
        return FALSE;
    std::lock_guard guard(State().lock);
    std::shared_ptr<ThreadQueue> queue = CurrentQueueLocked();
    queue->posted.push_front(MSG{message->hwnd, WM_CHAR, character, message->lParam, GetTickCount(), {}});
    return TRUE;
}

// A WM_TIMER whose lParam names a procedure calls that procedure, but only
// when it is the procedure of a live timer of this thread: a number posted
// from elsewhere is never called.
LRESULT DispatchMessageW(const MSG* message)
{
    using namespace platform::win;
    if (message == nullptr)
        return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        TIMERPROC procedure = nullptr;
        {
            std::lock_guard guard(State().lock);
            std::shared_ptr<ThreadQueue> queue = CurrentQueueLocked();
            auto it = std::find_if(queue->timers.begin(), queue->timers.end(), [&](const Timer& t) {
                return t.window == message->hwnd && t.id == message->wParam &&
                       reinterpret_cast<LPARAM>(t.procedure) == message->lParam;
            });
            if (it != queue->timers.end())
                procedure = it->procedure;
        }
        if (procedure != nullptr)
            procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    if (message->hwnd == nullptr)
        return 0;
    return CallProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}
