#include "plugin/StateMessage.h"

#include <algorithm>

#include "plugin/LittleEndian.h"

namespace plugin {

namespace {

class Reader {
public:
    explicit Reader(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    bool Int32(std::int32_t& value) { return ReadInt32(m_bytes, m_offset, value); }

    // Up to `keep` of `length` characters; false when the payload ends before
    // the text and its padding do. Whatever characters are there are kept.
    bool Text(std::int32_t length, std::size_t keep, WideString& text)
    {
        if (length < 0)
            return false;
        std::size_t available = (m_bytes.size() - m_offset) / 2;
        std::size_t wanted = static_cast<std::size_t>(length);
        std::size_t taken = std::min({wanted, keep, available});
        for (std::size_t i = 0; i < taken; ++i)
            text.push_back(CharacterAt(m_bytes, m_offset + 2 * i));
        std::size_t skip = wanted * 2;
        skip += (4 - skip % 4) % 4;
        if (m_bytes.size() - m_offset < skip) {
            m_offset = m_bytes.size();
            return false;
        }
        m_offset += skip;
        return true;
    }

private:
    std::span<const BYTE> m_bytes;
    std::size_t m_offset = 0;
};

// One block; false when the payload ended inside it.
bool ReadBlock(Reader& reader, ServiceBlock& block)
{
    std::int32_t flag = 0;
    if (!reader.Int32(flag))
        return false;
    block.present = flag == 1;
    if (!block.present)
        return true;
    std::int32_t length = 0;
    if (!reader.Int32(block.count) || !reader.Int32(block.unread) || !reader.Int32(length))
        return false;
    return reader.Text(length, kMaxStatusText, block.text);
}

}  // namespace

ProgramStatus DecodeStateMessage(std::uintptr_t dwData, std::span<const BYTE> payload)
{
    ProgramStatus status;
    if (dwData == 0)
        return status;
    status.haveData = true;
    Reader reader(payload);
    if (ReadBlock(reader, status.icq))
        ReadBlock(reader, status.msn);
    return status;
}

}  // namespace plugin
