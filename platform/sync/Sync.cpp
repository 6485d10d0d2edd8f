#include "platform/sync/Sync.h"

#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/LastError.h"

namespace {

// One waiting thread. It registers itself with every object it waits for, and
// a state change wakes exactly the threads registered on that object.
struct Waiter {
    std::condition_variable wake;
};

enum class ObjectKind { Event, Thread };

struct KernelObject {
    ObjectKind kind = ObjectKind::Event;
    bool manualReset = true;
    bool signalled = false;
    int descriptor = -1;  // eventfd mirroring a manual-reset event's state
    DWORD exitCode = STILL_ACTIVE;
    std::vector<Waiter*> waiters;

    ~KernelObject()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
};

using ObjectRef = std::shared_ptr<KernelObject>;

// All kernel objects share one lock: a wait over several objects must see
// their states at one instant. The state is never destroyed, so detached
// threads that end after main() returned still find it.
struct KernelState {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, ObjectRef> handles;
    std::uintptr_t nextHandle = 0x1000;
};

KernelState& Kernel()
{
    static KernelState* state = new KernelState;
    return *state;
}

HANDLE AddObject(KernelState& k, ObjectRef object)
{
    std::uintptr_t value = k.nextHandle;
    k.nextHandle += 4;
    k.handles.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

ObjectRef FindObject(KernelState& k, HANDLE handle)
{
    auto it = k.handles.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == k.handles.end() ? nullptr : it->second;
}

void MirrorDescriptor(KernelObject& object)
{
    if (object.descriptor < 0)
        return;
    if (object.signalled) {
        std::uint64_t one = 1;
        std::uint64_t pending = 0;
        // Keep the counter at exactly 1 while signalled.
        if (::read(object.descriptor, &pending, sizeof pending) < 0) {
        }
        if (::write(object.descriptor, &one, sizeof one) < 0) {
        }
    } else {
        std::uint64_t pending = 0;
        if (::read(object.descriptor, &pending, sizeof pending) < 0) {
        }
    }
}

void Signal(KernelObject& object)
{
    object.signalled = true;
    MirrorDescriptor(object);
    for (Waiter* waiter : object.waiters)
        waiter->wake.notify_one();
}

void Take(KernelObject& object)
{
    if (object.kind == ObjectKind::Event && !object.manualReset) {
        object.signalled = false;
        MirrorDescriptor(object);
    }
}

DWORD WaitLocked(std::unique_lock<std::mutex>& guard, std::vector<ObjectRef>& objects, bool waitAll,
                 DWORD milliseconds)
{
    auto deadline = platform::DeadlineAfter(milliseconds);
    Waiter self;
    for (;;) {
        if (waitAll) {
            bool all = std::all_of(objects.begin(), objects.end(), [](const ObjectRef& o) { return o->signalled; });
            if (all) {
                for (auto& o : objects)
                    Take(*o);
                return WAIT_OBJECT_0;
            }
        } else {
            for (std::size_t i = 0; i < objects.size(); ++i) {
                if (objects[i]->signalled) {
                    Take(*objects[i]);
                    return WAIT_OBJECT_0 + static_cast<DWORD>(i);
                }
            }
        }
        if (platform::RealClock::now() >= deadline)
            return WAIT_TIMEOUT;
        for (auto& o : objects)
            o->waiters.push_back(&self);
        if (deadline == platform::RealClock::time_point::max())
            self.wake.wait(guard);
        else
            self.wake.wait_until(guard, deadline);
        for (auto& o : objects)
            o->waiters.erase(std::find(o->waiters.begin(), o->waiters.end(), &self));
    }
}

DWORD CurrentThreadIdNow() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

}  // namespace

HANDLE CreateEventW(void* attributes, BOOL manualReset, BOOL initialState, LPCWSTR name)
{
    (void)attributes;
    (void)name;
    auto object = std::make_shared<KernelObject>();
    object->kind = ObjectKind::Event;
    object->manualReset = manualReset != FALSE;
    object->signalled = initialState != FALSE;
    KernelState& k = Kernel();
    std::lock_guard guard(k.lock);
    return AddObject(k, std::move(object));
}

BOOL SetEvent(HANDLE event)
{
    KernelState& k = Kernel();
    std::lock_guard guard(k.lock);
    ObjectRef object = FindObject(k, event);
    if (!object || object->kind != ObjectKind::Event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Signal(*object);
    return TRUE;
}

BOOL ResetEvent(HANDLE event)
{
    KernelState& k = Kernel();
    std::lock_guard guard(k.lock);
    ObjectRef object = FindObject(k, event);
    if (!object || object->kind != ObjectKind::Event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->signalled = false;
    MirrorDescriptor(*object);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    ObjectRef released;  // destroyed after the lock is left
    KernelState& k = Kernel();
    std::lock_guard guard(k.lock);
    auto it = k.handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == k.handles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    released = std::move(it->second);
    k.handles.erase(it);
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) { return WaitForMultipleObjects(1, &object, FALSE, milliseconds); }

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    KernelState& k = Kernel();
    std::unique_lock guard(k.lock);
    std::vector<ObjectRef> objects;
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        ObjectRef object = FindObject(k, handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    return WaitLocked(guard, objects, waitAll != FALSE, milliseconds);
}

HANDLE CreateThread(void* attributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD flags, DWORD* threadId)
{
    (void)attributes;
    (void)stackSize;
    (void)flags;
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<KernelObject>();
    object->kind = ObjectKind::Thread;
    object->manualReset = true;

    // The new thread reports its id before CreateThread returns.
    std::mutex idLock;
    std::condition_variable idReady;
    DWORD id = 0;

    HANDLE handle = nullptr;
    {
        KernelState& k = Kernel();
        std::lock_guard guard(k.lock);
        handle = AddObject(k, object);
    }
    try {
        std::thread thread([object, start, parameter, &idLock, &idReady, &id] {
            {
                std::lock_guard idGuard(idLock);
                id = CurrentThreadIdNow();
            }
            idReady.notify_one();
            DWORD code = start(parameter);
            KernelState& k = Kernel();
            std::lock_guard guard(k.lock);
            object->exitCode = code;
            Signal(*object);
        });
        thread.detach();
    } catch (const std::system_error&) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::unique_lock idGuard(idLock);
    idReady.wait(idGuard, [&] { return id != 0; });
    if (threadId != nullptr)
        *threadId = id;
    return handle;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode)
{
    KernelState& k = Kernel();
    std::lock_guard guard(k.lock);
    ObjectRef object = FindObject(k, thread);
    if (!object || object->kind != ObjectKind::Thread || exitCode == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->exitCode;
    return TRUE;
}

DWORD GetCurrentThreadId()
{
    thread_local DWORD id = CurrentThreadIdNow();
    return id;
}

void InitializeCriticalSection(CRITICAL_SECTION*) {}

void DeleteCriticalSection(CRITICAL_SECTION*) {}

void EnterCriticalSection(CRITICAL_SECTION* section) { section->mutex.lock(); }

void LeaveCriticalSection(CRITICAL_SECTION* section) { section->mutex.unlock(); }

BOOL TryEnterCriticalSection(CRITICAL_SECTION* section) { return section->mutex.try_lock() ? TRUE : FALSE; }

namespace platform {

int EventDescriptor(HANDLE event)
{
    KernelState& k = Kernel();
    std::lock_guard guard(k.lock);
    ObjectRef object = FindObject(k, event);
    if (!object || object->kind != ObjectKind::Event || !object->manualReset) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    if (object->descriptor < 0) {
        object->descriptor = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        MirrorDescriptor(*object);
    }
    return object->descriptor;
}

}  // namespace platform
