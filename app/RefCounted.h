// Shared-object convention: RefCounted is the base of every object that is
// shared between threads or windows, RefPtr the handle that holds one.
//
// The count is atomic: events and buffers are copied and released on several
// threads at once. Inherit virtually (class X : public virtual RefCounted) so
// that an object with several shared bases has one count.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

class RefCounted {
public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void AddRef() const { m_refs.fetch_add(1, std::memory_order_relaxed); }

    // Lowers the count; the object destroys itself when the count reaches 0
    // (or was already 0 or below: an object never held is destroyed by its
    // first release).
    void Release() const
    {
        std::int32_t before = m_refs.fetch_sub(1, std::memory_order_acq_rel);
        if (before > 1)
            return;
        const_cast<RefCounted*>(this)->DestroySelf();
    }

    std::int32_t RefCount() const { return m_refs.load(std::memory_order_relaxed); }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;

    // Called once when the last holder lets go.
    virtual void DestroySelf() { delete this; }

private:
    mutable std::atomic<std::int32_t> m_refs{0};
};

// A possibly null reference to a RefCounted object. Copying acquires,
// assigning releases the old object and acquires the new one, destruction
// releases.
template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    RefPtr(T* object) : m_object(object) { Acquire(); }
    RefPtr(const RefPtr& other) : m_object(other.m_object) { Acquire(); }
    RefPtr(RefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <typename U>
    RefPtr(const RefPtr<U>& other) : m_object(other.Get())
    {
        Acquire();
    }
    ~RefPtr() { ReleaseHeld(); }

    RefPtr& operator=(const RefPtr& other)
    {
        if (m_object != other.m_object) {
            T* old = m_object;
            m_object = other.m_object;
            Acquire();
            if (old != nullptr)
                old->Release();
        }
        return *this;
    }
    RefPtr& operator=(RefPtr&& other) noexcept
    {
        if (this != &other) {
            T* old = std::exchange(m_object, std::exchange(other.m_object, nullptr));
            if (old != nullptr)
                old->Release();
        }
        return *this;
    }
    RefPtr& operator=(std::nullptr_t)
    {
        ReleaseHeld();
        return *this;
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    friend bool operator==(const RefPtr& a, const RefPtr& b) { return a.m_object == b.m_object; }
    friend bool operator==(const RefPtr& a, std::nullptr_t) { return a.m_object == nullptr; }

private:
    void Acquire()
    {
        if (m_object != nullptr)
            m_object->AddRef();
    }
    void ReleaseHeld()
    {
        if (T* old = std::exchange(m_object, nullptr))
            old->Release();
    }

    T* m_object = nullptr;
};

// Creates a shared object and returns the first reference to it.
template <typename T, typename... Args>
RefPtr<T> MakeRef(Args&&... args)
{
    return RefPtr<T>(new T(std::forward<Args>(args)...));
}
