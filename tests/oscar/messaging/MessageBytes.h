// Incoming message commands as a server relays them, for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace messagebytes {

using Bytes = std::vector<std::uint8_t>;

// An incoming 0x04/0x07 body: cookie, channel, sender, no user info, items.
inline Bytes Incoming(std::uint16_t channel, const Bytes& items, Bytes userInfo = {}, std::uint8_t cookieByte = 9)
{
    Bytes data = {cookieByte, 9, 9, 9, 9, 9, 9, 9, 0, static_cast<std::uint8_t>(channel), 3, '5', '5', '5', 0, 0, 0,
                  static_cast<std::uint8_t>(userInfo.empty() ? 0 : 1)};
    data.insert(data.end(), userInfo.begin(), userInfo.end());
    data.insert(data.end(), items.begin(), items.end());
    return data;
}

inline Bytes Tlv(std::uint16_t type, const Bytes& value)
{
    Bytes t = {static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type),
               static_cast<std::uint8_t>(value.size() >> 8), static_cast<std::uint8_t>(value.size())};
    t.insert(t.end(), value.begin(), value.end());
    return t;
}

inline Bytes ChannelTwoItem(bool utf8, Bytes plugin = Bytes(16, 0), std::uint16_t textLength = 4)
{
    Bytes ext;
    auto le16 = [&ext](std::uint16_t v) {
        ext.push_back(static_cast<std::uint8_t>(v));
        ext.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    le16(27);
    ext.insert(ext.end(), {0x08, 0x00});
    ext.insert(ext.end(), {0, 0});
    ext.insert(ext.end(), plugin.begin(), plugin.end());
    ext.resize(2 + 27, 0);
    le16(14);
    ext.resize(ext.size() + 14, 0);
    ext.insert(ext.end(), {1, 0});  // type, flags
    le16(0);                        // status
    le16(1);                        // priority
    le16(textLength);
    ext.insert(ext.end(), {'h', 'i', '!', 0});
    ext.insert(ext.end(), {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0});
    std::string cap = utf8 ? "{0946134E-4C7F-11D1-8222-444553540000}" : "{00000000-0000-0000-0000-000000000000}";
    Bytes length = {static_cast<std::uint8_t>(cap.size()), 0, 0, 0};
    ext.insert(ext.end(), length.begin(), length.end());
    ext.insert(ext.end(), cap.begin(), cap.end());

    Bytes rendezvous = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    Bytes channelTwoCapability = {0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1,
                                  0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
    rendezvous.insert(rendezvous.end(), channelTwoCapability.begin(), channelTwoCapability.end());
    Bytes inner = Tlv(0x000A, {0, 1});
    Bytes extension = Tlv(0x2711, ext);
    rendezvous.insert(rendezvous.end(), inner.begin(), inner.end());
    rendezvous.insert(rendezvous.end(), extension.begin(), extension.end());
    return Tlv(5, rendezvous);
}

}  // namespace messagebytes
