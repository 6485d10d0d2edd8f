#include "platform/com/MemoryStream.h"

#include <algorithm>

namespace platform::com {

MemoryStream* MemoryStream::Create(std::vector<BYTE> bytes) { return new MemoryStream(std::move(bytes)); }

HRESULT MemoryStream::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IStream) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG MemoryStream::AddRef()
{
    std::lock_guard lock(m_mutex);
    return ++m_references;
}

ULONG MemoryStream::Release()
{
    ULONG left = 0;
    {
        std::lock_guard lock(m_mutex);
        left = --m_references;
    }
    if (left == 0)
        delete this;
    return left;
}

HRESULT MemoryStream::Read(void* buffer, ULONG size, ULONG* read)
{
    if (buffer == nullptr && size > 0)
        return STG_E_INVALIDPOINTER;
    std::lock_guard lock(m_mutex);
    std::size_t count = std::min<std::size_t>(size, m_bytes.size() - m_position);
    if (count > 0)
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_position), count, static_cast<BYTE*>(buffer));
    m_position += count;
    if (read != nullptr)
        *read = static_cast<ULONG>(count);
    return count == size ? S_OK : S_FALSE;
}

HRESULT MemoryStream::Write(const void* buffer, ULONG size, ULONG* written)
{
    if (buffer == nullptr && size > 0)
        return STG_E_INVALIDPOINTER;
    std::lock_guard lock(m_mutex);
    const auto* bytes = static_cast<const BYTE*>(buffer);
    std::size_t end = m_position + size;
    if (end > m_bytes.size())
        m_bytes.resize(end);
    std::copy_n(bytes, size, m_bytes.begin() + static_cast<std::ptrdiff_t>(m_position));
    m_position = end;
    if (written != nullptr)
        *written = size;
    return S_OK;
}

std::vector<BYTE> MemoryStream::Bytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

void MemoryStream::Rewind()
{
    std::lock_guard lock(m_mutex);
    m_position = 0;
}

}  // namespace platform::com
