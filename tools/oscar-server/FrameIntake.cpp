#include "tools/oscar-server/FrameIntake.h"

namespace oscarserver {

bool FrameIntake::Feed(ByteView bytes)
{
    if (m_failed)
        return false;
    m_partial.insert(m_partial.end(), bytes.begin(), bytes.end());
    Extract();
    return !m_failed;
}

void FrameIntake::Extract()
{
    std::size_t position = 0;
    while (!m_failed) {
        const std::size_t available = m_partial.size() - position;
        if (available >= 1 && m_partial[position] != kFlapStart)
            m_failed = true;
        else if (available >= 2 && (m_partial[position + 1] < 1 || m_partial[position + 1] > 5))
            m_failed = true;
        if (m_failed || available < kFlapHeaderSize)
            break;
        const std::uint8_t* header = m_partial.data() + position;
        const std::size_t length = static_cast<std::size_t>((header[4] << 8) | header[5]);
        if (available < kFlapHeaderSize + length)
            break;
        Frame frame;
        frame.channel = header[1];
        frame.sequence = static_cast<std::uint16_t>((header[2] << 8) | header[3]);
        frame.payload.assign(header + kFlapHeaderSize, header + kFlapHeaderSize + length);
        m_frames.push_back(std::move(frame));
        position += kFlapHeaderSize + length;
    }
    if (m_failed) {
        m_partial.clear();
        m_partial.shrink_to_fit();
        return;
    }
    m_partial.erase(m_partial.begin(), m_partial.begin() + static_cast<std::ptrdiff_t>(position));
}

bool FrameIntake::Next(Frame& out)
{
    if (m_frames.empty())
        return false;
    out = std::move(m_frames.front());
    m_frames.pop_front();
    return true;
}

}  // namespace oscarserver
