// SkinFont: the font of one text area of a skin (contact list, status bar,
// chat, user information). Face, size and weight each have a base value
// from the skin file and an override from the override file; the override
// wins when it is set. The font handle is made on first use and discarded
// whenever a value changes.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/Gdi.h"

namespace skin {

class SkinFont {
public:
    // Face names keep at most this many characters (the platform's face
    // field holds one more for the terminator).
    static constexpr std::size_t kMaxFaceLength = LF_FACESIZE - 1;

    SkinFont(WideString face, int size, LONG weight);
    ~SkinFont();
    SkinFont(const SkinFont&) = delete;
    SkinFont& operator=(const SkinFont&) = delete;

    // Replaces the base values and clears every override.
    void Rebuild(WideString face, int size, LONG weight);

    const WideString& BaseFace() const { return m_baseFace; }
    int BaseSize() const { return m_baseSize; }
    LONG BaseWeight() const { return m_baseWeight; }
    // Empty, 0 and 0 mean no override.
    const WideString& OverrideFace() const { return m_overrideFace; }
    int OverrideSize() const { return m_overrideSize; }
    LONG OverrideWeight() const { return m_overrideWeight; }

    void SetOverrideFace(WideString face);
    void SetOverrideSize(int size);
    void SetOverrideWeight(LONG weight);

    const WideString& Face() const { return m_overrideFace.empty() ? m_baseFace : m_overrideFace; }
    int Size() const { return m_overrideSize != 0 ? m_overrideSize : m_baseSize; }
    LONG Weight() const { return m_overrideWeight != 0 ? m_overrideWeight : m_baseWeight; }

    // The font (character cell height = Size() pixels), made on first use;
    // owned by this object.
    HFONT Handle();

private:
    void DropHandle();

    WideString m_baseFace;
    int m_baseSize;
    LONG m_baseWeight;
    WideString m_overrideFace;
    int m_overrideSize = 0;
    LONG m_overrideWeight = 0;
    HFONT m_handle = nullptr;
};

}  // namespace skin
