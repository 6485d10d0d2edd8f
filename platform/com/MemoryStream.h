// A stream over bytes in memory, the device's stream on global memory:
// writes append at the position, reads move it on.
#pragma once

#include <mutex>
#include <vector>

#include "platform/com/Com.h"

namespace platform::com {

class MemoryStream final : public IStream {
public:
    // A new stream with one reference, positioned at its start.
    static MemoryStream* Create(std::vector<BYTE> bytes = {});

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;

    std::vector<BYTE> Bytes() const;
    void Rewind();

private:
    explicit MemoryStream(std::vector<BYTE> bytes) : m_bytes(std::move(bytes)) {}
    ~MemoryStream() = default;

    mutable std::mutex m_mutex;
    std::vector<BYTE> m_bytes;
    std::size_t m_position = 0;
    ULONG m_references = 1;
};

}  // namespace platform::com
