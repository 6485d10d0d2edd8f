#include "skin/SkinImage.h"

#include <string>

#include "skin/BitmapFile.h"
#include "skin/ResourceFolder.h"

namespace skin {

SkinImage::SkinImage(WideString folder, WideString fileName)
    : m_folder(std::move(folder)), m_fileName(std::move(fileName))
{
}

SkinImage::~SkinImage() { ReleaseHandles(); }

std::optional<SkinImage::Drawable> SkinImage::Get(HDC target)
{
    if (m_bitmap == nullptr && !m_failed)
        Load(target);
    if (m_bitmap == nullptr)
        return std::nullopt;
    return m_drawable;
}

bool SkinImage::Draw(HDC target, int x, int y)
{
    std::optional<Drawable> image = Get(target);
    if (!image)
        return false;
    return TransparentImage(target, x, y, image->width, image->height, image->dc, 0, 0, image->width, image->height,
                            image->keyColour) != FALSE;
}

void SkinImage::Load(HDC target)
{
    if (m_folder.empty() || m_fileName.empty())
        return;
    std::string path = SetFilePath(m_folder, m_fileName);
    std::string bytes;
    ++m_fileReads;
    std::optional<BitmapFileView> file = ReadBitmapFile(path, bytes);
    if (!file) {
        m_failed = true;
        return;
    }
    m_dc = CreateCompatibleDC(target);
    m_bitmap = m_dc != nullptr ? CreateCompatibleBitmap(target, file->width, file->height) : nullptr;
    if (m_bitmap == nullptr) {
        m_failed = true;
        ReleaseHandles();
        return;
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(file->description.data());
    int lines = SetDIBitsToDevice(m_dc, 0, 0, static_cast<DWORD>(file->width), static_cast<DWORD>(file->height), 0, 0,
                                  0, static_cast<UINT>(file->height), file->pixels.data(), info, DIB_RGB_COLORS);
    if (lines == 0) {
        m_failed = true;
        ReleaseHandles();
        return;
    }
    m_drawable = Drawable{m_dc, file->width, file->height, GetPixel(m_dc, 0, 0)};
}

void SkinImage::ReleaseHandles()
{
    if (m_dc != nullptr && m_previous != nullptr)
        SelectObject(m_dc, m_previous);
    if (m_bitmap != nullptr)
        DeleteObject(m_bitmap);
    if (m_dc != nullptr)
        DeleteDC(m_dc);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_drawable = {};
}

}  // namespace skin
