// Smiley: one smiley of a set: the code the pickers insert (the first code
// the file gives it), its description and its picture. The picture is a
// SkinImage, so it is read on its first draw and kept from then on.
#pragma once

#include "app/RefCounted.h"
#include "platform/base/Types.h"
#include "skin/SkinImage.h"

namespace skin {

class Smiley : public virtual RefCounted {
public:
    // `fileName` is the picture's name inside the set's `folder`; an empty
    // name gives a smiley without a picture.
    Smiley(WideString code, WideString description, const WideString& folder, const WideString& fileName);

    const WideString& Code() const { return m_code; }
    // May be empty.
    const WideString& Description() const { return m_description; }
    // Null for a smiley without a picture. A picture that cannot be read
    // stays here, marked failed on its first draw.
    const RefPtr<SkinImage>& Image() const { return m_image; }

protected:
    ~Smiley() override = default;

private:
    WideString m_code;
    WideString m_description;
    RefPtr<SkinImage> m_image;
};

}  // namespace skin
