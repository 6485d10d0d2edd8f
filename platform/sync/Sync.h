// Kernel objects of the simulated device: events, threads, waits and
// critical sections, with Win32 names and semantics.
//
// All time-outs are device milliseconds and go through the device clock
// (CORVANE_TIME_SCALE). Handles are opaque values from a table, so a stale or
// invented handle is reported as ERROR_INVALID_HANDLE instead of crashing.
#pragma once

#include <mutex>

#include "platform/base/Types.h"

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD STILL_ACTIVE = 259;

// Events. Name and attributes are not supported (named events are not used).
HANDLE CreateEventW(void* attributes, BOOL manualReset, BOOL initialState, LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Releases a handle. The object lives on while a wait or a running thread
// still uses it; closing a thread handle does not stop the thread.
BOOL CloseHandle(HANDLE object);

// Waits for one object. Returns WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED
// (invalid handle). Taking an auto-reset event resets it.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

// Waits for any (waitAll false) or all objects. With waitAll false the result
// is WAIT_OBJECT_0 + the lowest index of a signalled object; only that object
// is taken. With waitAll true every object is taken at once, never some.
// count must be 1..MAXIMUM_WAIT_OBJECTS.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

// Threads. The handle is signalled when the thread has returned. Stack size
// and flags are ignored (no suspended start).
using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);
HANDLE CreateThread(void* attributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD flags, DWORD* threadId);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
DWORD GetCurrentThreadId();

// Critical sections: recursive, as on the device. Initialize and Delete are
// kept for the shape of the calling code.
struct CRITICAL_SECTION {
    std::recursive_mutex mutex;
};
void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section);

namespace platform {

// Holds a critical section for a scope.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& section) : m_section(section) { EnterCriticalSection(&m_section); }
    ~CriticalSectionLock() { LeaveCriticalSection(&m_section); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

// A descriptor that poll() reports readable exactly while the manual-reset
// event is signalled, so that a socket loop can wait for the event and its
// socket together. Created on first request; owned by the event. Returns -1
// for invalid handles and for auto-reset events.
int EventDescriptor(HANDLE event);

}  // namespace platform
