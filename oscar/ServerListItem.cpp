#include "oscar/ServerListItem.h"

namespace oscar {

bool ServerListItem::Read(ByteReader& reader)
{
    std::uint16_t nameLength = 0;
    std::span<const std::uint8_t> nameBytes;
    std::uint16_t dataLength = 0;
    std::span<const std::uint8_t> dataBytes;
    if (!reader.ReadU16BE(nameLength) || !reader.ReadBytes(nameLength, nameBytes) || !reader.ReadU16BE(groupId) ||
        !reader.ReadU16BE(itemId) || !reader.ReadU16BE(type) || !reader.ReadU16BE(dataLength) ||
        !reader.ReadBytes(dataLength, dataBytes))
        return false;
    name.assign(nameBytes.begin(), nameBytes.end());
    data.assign(dataBytes.begin(), dataBytes.end());
    return true;
}

bool ServerListItem::Write(ByteBuffer& out) const
{
    if (name.size() > 0xFFFF || data.size() > 0xFFFF)
        return false;
    return out.AppendU16(static_cast<std::uint16_t>(name.size())) &&
           out.Append(name.data(), static_cast<std::int32_t>(name.size())) && out.AppendU16(groupId) &&
           out.AppendU16(itemId) && out.AppendU16(type) && out.AppendU16(static_cast<std::uint16_t>(data.size())) &&
           out.Append(data.data(), static_cast<std::int32_t>(data.size()));
}

ServerListPart ReadServerListPart(std::span<const std::uint8_t> data, bool lastPart)
{
    ServerListPart part;
    // The date of the last part is its final 4 bytes; items never run into it.
    std::span<const std::uint8_t> itemBytes = data;
    if (lastPart) {
        ByteReader dateReader(data.size() < 4 ? data.first(0) : data.last(4));
        if (!dateReader.ReadU32BE(part.date)) {
            part.complete = false;
            return part;
        }
        itemBytes = data.first(data.size() - 4);
    }
    ByteReader reader(itemBytes);
    std::uint8_t version = 0;
    std::uint16_t count = 0;
    if (!reader.ReadU8(version) || !reader.ReadU16BE(count)) {
        part.complete = false;
        return part;
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        ServerListItem item;
        if (!item.Read(reader)) {
            part.complete = false;
            break;
        }
        part.items.push_back(std::move(item));
    }
    return part;
}

}  // namespace oscar
