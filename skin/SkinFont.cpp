#include "skin/SkinFont.h"

#include <algorithm>

namespace skin {
namespace {

WideString Clipped(WideString face)
{
    if (face.size() > SkinFont::kMaxFaceLength)
        face.resize(SkinFont::kMaxFaceLength);
    return face;
}

}  // namespace

SkinFont::SkinFont(WideString face, int size, LONG weight)
    : m_baseFace(Clipped(std::move(face))), m_baseSize(size), m_baseWeight(weight)
{
}

SkinFont::~SkinFont() { DropHandle(); }

void SkinFont::Rebuild(WideString face, int size, LONG weight)
{
    DropHandle();
    m_baseFace = Clipped(std::move(face));
    m_baseSize = size;
    m_baseWeight = weight;
    m_overrideFace.clear();
    m_overrideSize = 0;
    m_overrideWeight = 0;
}

void SkinFont::SetOverrideFace(WideString face)
{
    face = Clipped(std::move(face));
    if (face != m_overrideFace) {
        DropHandle();
        m_overrideFace = std::move(face);
    }
}

void SkinFont::SetOverrideSize(int size)
{
    if (size != m_overrideSize) {
        DropHandle();
        m_overrideSize = size;
    }
}

void SkinFont::SetOverrideWeight(LONG weight)
{
    if (weight != m_overrideWeight) {
        DropHandle();
        m_overrideWeight = weight;
    }
}

HFONT SkinFont::Handle()
{
    if (m_handle == nullptr) {
        LOGFONTW font;
        font.lfHeight = Size();
        font.lfWeight = Weight();
        font.lfCharSet = DEFAULT_CHARSET;
        const WideString& face = Face();
        std::copy(face.begin(), face.end(), font.lfFaceName);
        m_handle = CreateFontIndirectW(&font);
    }
    return m_handle;
}

void SkinFont::DropHandle()
{
    if (m_handle != nullptr)
        DeleteObject(m_handle);
    m_handle = nullptr;
}

}  // namespace skin
