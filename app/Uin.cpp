#include "app/Uin.h"

#include <algorithm>

namespace app {

bool IsUinText(std::u16string_view text)
{
    return !text.empty() && text.size() <= kMaxUinDigits &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace app
