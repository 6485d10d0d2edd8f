#include "oscar/OnlineStatus.h"

namespace OnlineStatus {

std::int32_t Principal(std::int32_t code)
{
    if (code == Offline || code == Online)
        return code;
    for (std::int32_t bit : {DoNotDisturb, Occupied, NotAvailable, Away, FreeForChat, Invisible}) {
        if ((code & bit) != 0)
            return bit;
    }
    return code;
}

WideString Text(std::int32_t code)
{
    switch (Principal(code)) {
    case Offline:
        return u"Offline";
    case Online:
        return u"Online";
    case Away:
        return u"Away";
    case DoNotDisturb:
        return u"DND";
    case NotAvailable:
        return u"NA";
    case Occupied:
        return u"Occupied";
    case FreeForChat:
        return u"Free for chat";
    case Invisible:
        return u"Invisible";
    default:
        return {};
    }
}

}  // namespace OnlineStatus

namespace {

const Capability kCapabilityTyping = {0x56, 0x3F, 0xC8, 0x09, 0x0B, 0x6F, 0x41, 0xBD,
                                      0x9F, 0x79, 0x42, 0x26, 0x09, 0xDF, 0xA2, 0xF3};
const Capability kCapabilityChannel2 = {0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1,
                                        0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
const Capability kCapabilityIcq = {0x09, 0x46, 0x13, 0x44, 0x4C, 0x7F, 0x11, 0xD1,
                                   0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};

}  // namespace

const Capability kCapabilityUtf8 = {0x09, 0x46, 0x13, 0x4E, 0x4C, 0x7F, 0x11, 0xD1,
                                    0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};

std::vector<Capability> AnnouncedCapabilities(bool supportChannel2)
{
    std::vector<Capability> list{kCapabilityTyping};
    if (supportChannel2)
        list.push_back(kCapabilityChannel2);
    list.push_back(kCapabilityUtf8);
    list.push_back(kCapabilityIcq);
    return list;
}
