// SkinImage: a bitmap of a skin, icon or smiley set, read from its file on
// the first draw and then kept in a memory device context in the device's
// own format, so that every later draw is one transparent blit.
//
// The top-left pixel of the picture gives the key colour: every pixel of
// that colour is left out when the image is drawn. An image that cannot be
// loaded is marked failed on its first draw and never read again.
//
// Interface thread only.
#pragma once

#include <optional>

#include "app/RefCounted.h"
#include "platform/base/Types.h"
#include "platform/gdi/Gdi.h"

namespace skin {

class SkinImage : public virtual RefCounted {
public:
    // Does not touch the file.
    SkinImage(WideString folder, WideString fileName);

    struct Drawable {
        HDC dc = nullptr;
        int width = 0;
        int height = 0;
        COLORREF keyColour = 0;
    };

    // The loaded picture, reading the file on the first call (with a memory
    // context compatible with `target`); nothing when it cannot be loaded.
    std::optional<Drawable> Get(HDC target);

    // Draws the picture with its top-left corner at (x, y), leaving out the
    // key colour. False when there is nothing to draw.
    bool Draw(HDC target, int x, int y);

    // Restores the memory context's former bitmap and deletes the context
    // and the bitmap. A later Get loads the file again unless it failed.
    void ReleaseHandles();

    const WideString& Folder() const { return m_folder; }
    const WideString& FileName() const { return m_fileName; }
    bool Failed() const { return m_failed; }
    // How often the file has been opened (at most once unless released).
    int FileReads() const { return m_fileReads; }

protected:
    ~SkinImage() override;

private:
    void Load(HDC target);

    WideString m_folder;
    WideString m_fileName;
    bool m_failed = false;
    int m_fileReads = 0;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    Drawable m_drawable;
};

}  // namespace skin
