// Internal state of the window manager: the window table, the class table and
// the per-thread message queues. Not part of the API; only platform/win
// includes it.
//
// Locking: one process-wide mutex (WinState::lock) guards every table, every
// window record and every queue. Window procedures are always called with the
// lock released, so a procedure may call any window function.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/win/Window.h"

namespace platform::win {

using Lock = std::unique_lock<std::mutex>;

struct ClassRecord {
    WNDCLASSW info;   // info.lpszClassName points into name
    WideString name;
    ATOM atom = 0;
    int windowCount = 0;  // live windows of the class; unregistering waits for 0
};

// One window. Later layers (drawing, focus, input, dialogs) add their fields
// here; every field is guarded by WinState::lock.
struct WindowRecord {
    HWND handle = nullptr;
    DWORD threadId = 0;
    std::shared_ptr<ClassRecord> windowClass;
    WNDPROC procedure = nullptr;  // null once destruction has begun
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;  // parent of a child, owner of a pop-up
    std::vector<HWND> children;  // children and owned pop-ups, in creation order
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;  // cbWndExtra bytes
    WideString text;
    RECT rect{};  // relative to the parent's client area (screen for top-level)
    bool destroying = false;
    RECT invalid{};  // bounding rectangle of the update region, client coordinates
    bool erasePending = false;  // WM_ERASEBKGND owed at the next BeginPaint

    bool IsTopLevel() const { return (style & WS_CHILD) == 0; }
};

struct ThreadQueue;

// A message sent to another thread. The sender waits until done; the receiver
// (or the clean-up of a destroyed window or an ended thread) completes it.
struct SentMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
    bool delivered = false;  // false: the window or its thread went away first
    std::shared_ptr<ThreadQueue> sender;  // woken on completion
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    DWORD period = 0;  // device ms
    DWORD due = 0;     // device tick of the next WM_TIMER
    TIMERPROC procedure = nullptr;
};

struct ThreadQueue {
    DWORD threadId = 0;
    bool dead = false;  // the thread has ended
    bool quitPending = false;
    int quitCode = 0;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::vector<Timer> timers;
    std::condition_variable wake;  // any change that the owner may wait for
};

struct WinState {
    std::mutex lock;
    std::unordered_map<std::uint64_t, std::shared_ptr<WindowRecord>> windows;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
    std::vector<std::shared_ptr<ClassRecord>> classes;
    ATOM nextAtom = 0xC000;
    std::uint64_t nextSerial = 1;
    UINT_PTR nextThreadTimerId = 1;
    HWND foreground = nullptr;
    HWND focus = nullptr;
    std::vector<HWND> zOrder;  // visible top-level windows, bottom first
    int topLevelCount = 0;
};

// Never destroyed, so detached threads ending after main() still find it.
WinState& State();

// Posted messages a queue holds at most; PostMessageW fails beyond it.
constexpr std::size_t kMaxPostedMessages = 100000;

// Handles: the owning process id in the high 32 bits, a serial number times
// two in the low 32 bits (the lowest bit is free for the device's "bring
// owned pop-ups forward" form).
HWND MakeHandle(std::uint64_t serial);
std::uint64_t HandleValue(HWND window);
DWORD HandleProcess(HWND window);
bool IsRemoteHandle(HWND window);
DWORD CurrentProcessId();

// The class registered under a name or atom in this process, or null.
std::shared_ptr<ClassRecord> FindClassLocked(LPCWSTR className);

// The record of a live local window, or null (and ERROR_INVALID_WINDOW_HANDLE).
WindowRecord* FindRecordLocked(HWND window);
bool IsDescendantLocked(HWND window, HWND ancestor);

// Queue of a thread (null if it has none); the caller's queue, created on
// first use.
std::shared_ptr<ThreadQueue> QueueLocked(DWORD threadId);
std::shared_ptr<ThreadQueue> CurrentQueueLocked();

// Removes a window from the tables: purges its messages and timers, unlinks
// it from its parent and class. Children are not touched.
void ForgetWindowLocked(WindowRecord& record);
void PurgeWindowMessagesLocked(ThreadQueue& queue, HWND window);
void DropTimersLocked(ThreadQueue& queue, HWND window);

// Calls the window's current procedure without the lock; 0 (and the error)
// for an invalid window, 0 for a window whose procedure is null.
LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the first message sent to this queue by another thread, releasing the
// lock during the call. False when none was waiting.
bool ProcessOneSentMessage(Lock& guard, ThreadQueue& queue);

// Runs every message waiting to be sent to the calling thread (used while a
// thread waits for a reply from another process).
void PumpSentMessages();

// Sends to a local window owned by another thread (or the caller) and waits
// until the deadline. False on time-out, a dead thread or destroyed window.
bool SendLocal(HWND window, UINT message, WPARAM wParam, LPARAM lParam, RealClock::time_point deadline,
               LRESULT* result);

// Foreground change within this process; WM_ACTIVATE sent with the deadline.
bool ActivateLocal(HWND window, RealClock::time_point deadline);

// Top-level window of this process matching class and title (null = any).
HWND FindLocalWindow(const WideString* className, const WideString* windowName);

// Case-insensitive comparison of class names (ASCII letters fold).
bool SameClassName(std::u16string_view a, std::u16string_view b);

// Painting: adds a client rectangle (null = all) to the window's update
// region; without WS_CLIPCHILDREN its children under it are invalidated too.
void InvalidateLocked(WindowRecord& record, const RECT* rect, bool erase);
// The window of this thread that needs WM_PAINT next (parents before
// children), or null.
HWND PaintCandidateLocked(const ThreadQueue& queue, HWND filter);
// Z-order of visible top-level windows.
void RaiseLocked(HWND window);
void DropFromZOrderLocked(HWND window);

// Starts or stops the listener so that it runs exactly while this process
// owns a top-level window. Call without the window lock.
void SyncListener();

// Calls to windows of other processes of the device. Each fails cleanly
// (FALSE / 0 and a last error) when the process or window is gone.
BOOL RemotePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool RemoteSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeout, LRESULT* result);
BOOL RemoteSetForeground(HWND window);
BOOL RemoteIsWindow(HWND window);
HWND RemoteFind(const WideString* className, const WideString* windowName);

}  // namespace platform::win
