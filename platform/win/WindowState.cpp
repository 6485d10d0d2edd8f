// The window table, handle encoding and per-thread queue registry.
#include "platform/win/WindowState.h"

#include <unistd.h>

#include <algorithm>

#include "platform/base/LastError.h"
#include "platform/sync/Sync.h"

namespace platform::win {
namespace {

// Marks the thread's queue dead when the thread ends: senders waiting on it
// get 0 at once, its windows are dropped from the table without messages
// (their procedures may belong to code that is already gone).
struct QueueOwner {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueOwner();
};

thread_local QueueOwner t_queueOwner;

void FailSentLocked(ThreadQueue& queue)
{
    for (auto& sent : queue.sent) {
        sent->done = true;
        if (sent->sender)
            sent->sender->wake.notify_all();
    }
    queue.sent.clear();
}

QueueOwner::~QueueOwner()
{
    if (!queue)
        return;
    bool hadTopLevel = false;
    {
        WinState& state = State();
        std::lock_guard guard(state.lock);
        queue->dead = true;
        FailSentLocked(*queue);
        std::vector<std::shared_ptr<WindowRecord>> owned;
        for (auto& [value, record] : state.windows)
            if (record->threadId == queue->threadId)
                owned.push_back(record);
        for (auto& record : owned) {
            hadTopLevel = hadTopLevel || record->IsTopLevel();
            ForgetWindowLocked(*record);
        }
        state.queues.erase(queue->threadId);
    }
    if (hadTopLevel)
        SyncListener();
}

}  // namespace

WinState& State()
{
    static WinState* state = new WinState;
    return *state;
}

DWORD CurrentProcessId()
{
    static const DWORD pid = static_cast<DWORD>(::getpid());
    return pid;
}

HWND MakeHandle(std::uint64_t serial)
{
    std::uint64_t value = (static_cast<std::uint64_t>(CurrentProcessId()) << 32) | ((serial << 1) & 0xFFFFFFFFu);
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

std::uint64_t HandleValue(HWND window) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window)); }

DWORD HandleProcess(HWND window) { return static_cast<DWORD>(HandleValue(window) >> 32); }

bool IsRemoteHandle(HWND window)
{
    DWORD pid = HandleProcess(window);
    return window != nullptr && pid != 0 && pid != CurrentProcessId() && (HandleValue(window) & 1) == 0;
}

WindowRecord* FindRecordLocked(HWND window)
{
    WinState& state = State();
    auto it = state.windows.find(HandleValue(window));
    if (window == nullptr || it == state.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

bool IsDescendantLocked(HWND window, HWND ancestor)
{
    WinState& state = State();
    // Bounded walk: a parent chain never exceeds the number of windows.
    for (std::size_t steps = 0; window != nullptr && steps <= state.windows.size(); ++steps) {
        if (window == ancestor)
            return true;
        auto it = state.windows.find(HandleValue(window));
        if (it == state.windows.end())
            return false;
        window = it->second->parent;
    }
    return false;
}

std::shared_ptr<ThreadQueue> QueueLocked(DWORD threadId)
{
    WinState& state = State();
    auto it = state.queues.find(threadId);
    return it == state.queues.end() ? nullptr : it->second;
}

std::shared_ptr<ThreadQueue> CurrentQueueLocked()
{
    if (t_queueOwner.queue)
        return t_queueOwner.queue;
    auto queue = std::make_shared<ThreadQueue>();
    queue->threadId = GetCurrentThreadId();
    State().queues[queue->threadId] = queue;
    t_queueOwner.queue = queue;
    return queue;
}

void PurgeWindowMessagesLocked(ThreadQueue& queue, HWND window)
{
    std::erase_if(queue.posted, [window](const MSG& m) { return m.hwnd == window; });
    for (auto it = queue.sent.begin(); it != queue.sent.end();) {
        if ((*it)->window != window) {
            ++it;
            continue;
        }
        (*it)->done = true;
        if ((*it)->sender)
            (*it)->sender->wake.notify_all();
        it = queue.sent.erase(it);
    }
}

void DropTimersLocked(ThreadQueue& queue, HWND window)
{
    std::erase_if(queue.timers, [window](const Timer& t) { return t.window == window; });
}

void ForgetWindowLocked(WindowRecord& record)
{
    WinState& state = State();
    HWND window = record.handle;
    if (auto queue = QueueLocked(record.threadId)) {
        PurgeWindowMessagesLocked(*queue, window);
        DropTimersLocked(*queue, window);
    }
    if (record.parent != nullptr) {
        auto parent = state.windows.find(HandleValue(record.parent));
        if (parent != state.windows.end())
            std::erase(parent->second->children, window);
    }
    for (HWND child : record.children) {
        auto it = state.windows.find(HandleValue(child));
        if (it != state.windows.end())
            it->second->parent = nullptr;
    }
    if (record.windowClass)
        --record.windowClass->windowCount;
    if (record.IsTopLevel())
        --state.topLevelCount;
    if (state.foreground == window)
        state.foreground = nullptr;
    if (state.focus == window)
        state.focus = nullptr;
    DropFromZOrderLocked(window);
    record.procedure = nullptr;
    state.windows.erase(HandleValue(window));
}

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = nullptr;
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr)
            return 0;
        procedure = record->procedure;
    }
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

bool ProcessOneSentMessage(Lock& guard, ThreadQueue& queue)
{
    if (queue.sent.empty())
        return false;
    std::shared_ptr<SentMessage> sent = std::move(queue.sent.front());
    queue.sent.pop_front();
    auto it = State().windows.find(HandleValue(sent->window));
    WNDPROC procedure = it != State().windows.end() ? it->second->procedure : nullptr;
    bool valid = it != State().windows.end();
    guard.unlock();
    LRESULT result = procedure != nullptr ? procedure(sent->window, sent->message, sent->wParam, sent->lParam) : 0;
    guard.lock();
    sent->result = result;
    sent->delivered = valid;
    sent->done = true;
    if (sent->sender)
        sent->sender->wake.notify_all();
    return true;
}

void PumpSentMessages()
{
    WinState& state = State();
    Lock guard(state.lock);
    if (!t_queueOwner.queue)
        return;
    std::shared_ptr<ThreadQueue> queue = t_queueOwner.queue;
    while (ProcessOneSentMessage(guard, *queue)) {
    }
}

bool SameClassName(std::u16string_view a, std::u16string_view b)
{
    auto fold = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) {
               return fold(x) == fold(y);
           });
}

}  // namespace platform::win

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId)
{
    using namespace platform::win;
    if (IsRemoteHandle(window)) {
        if (processId != nullptr)
            *processId = HandleProcess(window);
        return 0;
    }
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return 0;
    if (processId != nullptr)
        *processId = CurrentProcessId();
    return record->threadId;
}
