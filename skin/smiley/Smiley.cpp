#include "skin/smiley/Smiley.h"

namespace skin {

Smiley::Smiley(WideString code, WideString description, const WideString& folder, const WideString& fileName)
    : m_code(std::move(code)), m_description(std::move(description))
{
    if (!fileName.empty())
        m_image = MakeRef<SkinImage>(folder, fileName);
}

}  // namespace skin
