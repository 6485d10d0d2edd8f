#include "oscar/codec/ByteBuffer.h"

#include <cstring>
#include <limits>
#include <string.h>

namespace oscar {
namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kGrowthStep = 16;

}  // namespace

void SecureZero(void* data, std::size_t size)
{
    if (data != nullptr && size > 0)
        explicit_bzero(data, size);
}

ByteBuffer::~ByteBuffer()
{
    if (m_wipe)
        SecureZero(m_data.get(), static_cast<std::size_t>(m_capacity));
}

RefPtr<ByteBuffer> ByteBuffer::WithCapacity(std::int32_t capacity)
{
    RefPtr<ByteBuffer> buffer = MakeRef<ByteBuffer>();
    if (capacity > 0)
        buffer->ReplaceBlock(std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity)), capacity);
    return buffer;
}

RefPtr<ByteBuffer> ByteBuffer::CopyOf(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > static_cast<std::size_t>(kMaxSize))
        return nullptr;
    RefPtr<ByteBuffer> buffer = MakeRef<ByteBuffer>();
    buffer->Append(bytes);
    return buffer;
}

std::span<const std::uint8_t> ByteBuffer::Bytes() const
{
    return {m_data.get(), static_cast<std::size_t>(m_size)};
}

void ByteBuffer::ReplaceBlock(std::unique_ptr<std::uint8_t[]> block, std::int32_t capacity)
{
    if (m_size > 0)
        std::memcpy(block.get(), m_data.get(), static_cast<std::size_t>(m_size));
    if (m_wipe)
        SecureZero(m_data.get(), static_cast<std::size_t>(m_capacity));
    m_data = std::move(block);
    m_capacity = capacity;
}

bool ByteBuffer::Reserve(std::int32_t n)
{
    if (n < 0)
        return false;
    if (n <= m_capacity)
        return true;
    std::int64_t rounded = (static_cast<std::int64_t>(n) + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
    if (rounded > kMaxSize)
        rounded = n;
    auto capacity = static_cast<std::int32_t>(rounded);
    ReplaceBlock(std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity)), capacity);
    return true;
}

bool ByteBuffer::Grow(std::int64_t needed)
{
    if (needed > kMaxSize)
        return false;
    return Reserve(static_cast<std::int32_t>(needed));
}

bool ByteBuffer::Resize(std::int32_t n)
{
    if (n < 0 || !Reserve(n))
        return false;
    if (n > m_size)
        std::memset(m_data.get() + m_size, 0, static_cast<std::size_t>(n - m_size));
    else if (m_wipe && n < m_size)
        SecureZero(m_data.get() + n, static_cast<std::size_t>(m_size - n));
    m_size = n;
    return true;
}

bool ByteBuffer::AppendU8(std::uint8_t value)
{
    return Append(&value, 1);
}

bool ByteBuffer::AppendU16(std::uint16_t value)
{
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    return Append(bytes, 2);
}

bool ByteBuffer::AppendU32(std::uint32_t value)
{
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    return Append(bytes, 4);
}

bool ByteBuffer::AppendU16LE(std::uint16_t value)
{
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    return Append(bytes, 2);
}

bool ByteBuffer::AppendU32LE(std::uint32_t value)
{
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return Append(bytes, 4);
}

bool ByteBuffer::Append(const void* bytes, std::int32_t count)
{
    if (count < 0 || (count > 0 && bytes == nullptr))
        return false;
    if (count == 0)
        return true;
    if (m_data == nullptr) {
        m_data = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(count));
        m_capacity = count;
    } else if (!Grow(static_cast<std::int64_t>(m_size) + count)) {
        return false;
    }
    std::memcpy(m_data.get() + m_size, bytes, static_cast<std::size_t>(count));
    m_size += count;
    return true;
}

bool ByteBuffer::Append(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > static_cast<std::size_t>(kMaxSize))
        return false;
    return Append(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

bool ByteBuffer::Erase(std::int32_t count)
{
    if (count < 0 || count > m_size)
        return false;
    if (count == 0)
        return true;
    std::int32_t rest = m_size - count;
    if (rest > 0)
        std::memmove(m_data.get(), m_data.get() + count, static_cast<std::size_t>(rest));
    if (m_wipe)
        SecureZero(m_data.get() + rest, static_cast<std::size_t>(count));
    m_size = rest;
    return true;
}

void ByteBuffer::Clear()
{
    if (m_wipe)
        SecureZero(m_data.get(), static_cast<std::size_t>(m_size));
    m_size = 0;
}

void ByteBuffer::Wipe()
{
    SecureZero(m_data.get(), static_cast<std::size_t>(m_capacity));
    m_size = 0;
}

}  // namespace oscar
