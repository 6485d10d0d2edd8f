// ByteBuffer: the growable byte block that every packet object is built on.
//
// Sizes are 32-bit signed. Every operation that would take the size or the
// capacity past INT32_MAX (or is given a negative count) refuses and returns
// false, leaving the buffer unchanged; nothing wraps. Capacity grows in steps
// of 16 bytes. A buffer marked "wipe on release" overwrites every block it
// gives up (when it grows, and when it is destroyed) with zeros; serialised
// frames and password material use it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "app/RefCounted.h"

namespace oscar {

class ByteBuffer : public virtual RefCounted {
public:
    ByteBuffer() = default;
    ~ByteBuffer() override;

    // An empty buffer with exactly `capacity` bytes allocated (none for a
    // capacity of 0 or below).
    static RefPtr<ByteBuffer> WithCapacity(std::int32_t capacity);
    // A copy of the bytes; null when there are more than INT32_MAX of them.
    static RefPtr<ByteBuffer> CopyOf(std::span<const std::uint8_t> bytes);

    const std::uint8_t* Data() const { return m_data.get(); }
    std::uint8_t* Data() { return m_data.get(); }
    std::int32_t Size() const { return m_size; }
    std::int32_t Capacity() const { return m_capacity; }
    bool Empty() const { return m_size == 0; }
    std::span<const std::uint8_t> Bytes() const;

    // When capacity is below n, allocates n rounded up to a multiple of 16 and
    // moves the used bytes there.
    bool Reserve(std::int32_t n);
    // Sets the size; new bytes are zero.
    bool Resize(std::int32_t n);

    bool AppendU8(std::uint8_t value);
    bool AppendU16(std::uint16_t value);  // high byte first
    bool AppendU32(std::uint32_t value);  // most significant byte first
    bool AppendU16LE(std::uint16_t value);
    bool AppendU32LE(std::uint32_t value);
    // Appends count bytes; count 0 does nothing. Into a buffer that never held
    // data the block is allocated with exactly count bytes.
    bool Append(const void* bytes, std::int32_t count);
    bool Append(std::span<const std::uint8_t> bytes);

    // Removes count bytes from the front; false (and no change) when count is
    // negative or larger than the size.
    bool Erase(std::int32_t count);
    void Clear();

    void SetWipeOnRelease(bool wipe) { m_wipe = wipe; }
    bool WipesOnRelease() const { return m_wipe; }
    // Zeros the whole block and empties the buffer (capacity is kept).
    void Wipe();

private:
    bool Grow(std::int64_t needed);
    void ReplaceBlock(std::unique_ptr<std::uint8_t[]> block, std::int32_t capacity);

    std::unique_ptr<std::uint8_t[]> m_data;
    std::int32_t m_capacity = 0;
    std::int32_t m_size = 0;
    bool m_wipe = false;
};

// Overwrites memory with zeros in a way the compiler may not remove.
void SecureZero(void* data, std::size_t size);

}  // namespace oscar
