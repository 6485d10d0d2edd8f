#include "oscar/codec/TlvBlock.h"

#include "oscar/codec/ByteReader.h"

namespace oscar {

bool ReadTlv(ByteReader& reader, TlvView& item)
{
    std::uint16_t length = 0;
    return reader.ReadU16BE(item.type) && reader.ReadU16BE(length) && reader.ReadBytes(length, item.value);
}

std::vector<TlvView> ReadTlvBlock(std::span<const std::uint8_t> bytes)
{
    std::vector<TlvView> items;
    ByteReader reader(bytes);
    TlvView item;
    while (!reader.AtEnd() && ReadTlv(reader, item))
        items.push_back(item);
    return items;
}

std::optional<TlvView> FindTlv(const std::vector<TlvView>& items, std::uint16_t type)
{
    for (const TlvView& item : items) {
        if (item.type == type)
            return item;
    }
    return std::nullopt;
}

RefPtr<Tlv> FindTlv(const std::vector<RefPtr<Tlv>>& items, std::uint16_t type)
{
    for (const RefPtr<Tlv>& item : items) {
        if (item && item->Type() == type)
            return item;
    }
    return nullptr;
}

std::optional<std::uint16_t> FirstU16(std::span<const std::uint8_t> value)
{
    if (value.size() < 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(value[0] << 8 | value[1]);
}

}  // namespace oscar
