// An off-screen drawing surface of a fixed size, made compatible with a
// window's DC, so that a window draws its picture there and copies it to
// the screen in one blit.
#pragma once

#include "platform/gdi/Gdi.h"

namespace chat {

class MemorySurface {
public:
    MemorySurface() = default;
    ~MemorySurface() { Drop(); }
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    // The surface's DC, made at the given size when there is none; null when
    // the device has no room for it.
    HDC Get(HDC compatible, int width, int height);
    void Drop();

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
};

}  // namespace chat
