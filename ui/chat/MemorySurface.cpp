#include "ui/chat/MemorySurface.h"

namespace chat {

HDC MemorySurface::Get(HDC compatible, int width, int height)
{
    if (m_dc != nullptr)
        return m_dc;
    m_dc = CreateCompatibleDC(compatible);
    m_bitmap = m_dc != nullptr ? CreateCompatibleBitmap(compatible, width, height) : nullptr;
    if (m_bitmap == nullptr) {
        Drop();
        return nullptr;
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    return m_dc;
}

void MemorySurface::Drop()
{
    if (m_dc != nullptr) {
        if (m_previous != nullptr)
            SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    if (m_bitmap != nullptr)
        DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
}

}  // namespace chat
