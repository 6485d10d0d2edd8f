#include "platform/controls/MultiTap.h"

namespace platform::controls {

std::u16string_view MultiTapCycle(WPARAM key)
{
    static constexpr std::u16string_view kCycles[10] = {
        u" 0",   u".,?!'\"-()@/:_1", u"abc2", u"def3", u"ghi4",
        u"jkl5", u"mno6",            u"pqrs7", u"tuv8", u"wxyz9",
    };
    if (key < '0' || key > '9')
        return {};
    return kCycles[key - '0'];
}

}  // namespace platform::controls
