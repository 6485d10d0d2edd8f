#include "oscar/UserInfo.h"

#include <algorithm>

#include "oscar/codec/ByteReader.h"
#include "platform/base/WideString.h"

namespace oscar {

namespace {

constexpr std::uint16_t kItemStatus = 0x0006;
constexpr std::uint16_t kItemCapabilities = 0x000D;
}  // namespace

bool AppendLengthPrefixedUin(ByteBuffer& out, const WideString& uin)
{
    std::string digits = platform::WideToUtf8(uin);
    if (digits.size() > 0xFF)
        return false;
    return out.AppendU8(static_cast<std::uint8_t>(digits.size())) &&
           out.Append(digits.data(), static_cast<std::int32_t>(digits.size()));
}

std::optional<WideString> ReadLengthPrefixedUin(std::span<const std::uint8_t> data, std::size_t* consumed)
{
    ByteReader reader(data);
    std::uint8_t length = 0;
    std::span<const std::uint8_t> digits;
    if (!reader.ReadU8(length) || !reader.ReadBytes(length, digits))
        return std::nullopt;
    WideString uin(digits.begin(), digits.end());
    if (!IsUinText(uin))
        return std::nullopt;
    if (consumed != nullptr)
        *consumed = reader.Position();
    return uin;
}

std::optional<UserInfo> ReadUserInfo(std::span<const std::uint8_t> data, UserInfoItems rule, std::size_t* consumed)
{
    std::size_t uinSize = 0;
    std::optional<WideString> uin = ReadLengthPrefixedUin(data, &uinSize);
    if (!uin)
        return std::nullopt;
    UserInfo info;
    info.uin = *uin;
    ByteReader reader(data.subspan(uinSize));
    std::uint16_t count = 0;
    if (reader.ReadU16BE(info.warningLevel) && reader.ReadU16BE(count)) {
        TlvView item;
        for (std::uint16_t i = 0; i < count && ReadTlv(reader, item); ++i)
            info.items.push_back(item);
    }
    if (rule == UserInfoItems::Exact && !reader.Ok())
        return std::nullopt;
    if (consumed != nullptr)
        *consumed = uinSize + reader.Position();
    return info;
}

std::optional<std::int32_t> UserInfo::Status() const
{
    std::optional<TlvView> item = FindTlv(items, kItemStatus);
    if (!item || item->value.size() < 4)
        return std::nullopt;
    return static_cast<std::int32_t>(item->value[2] << 8 | item->value[3]);
}

std::optional<std::vector<Capability>> UserInfo::Capabilities() const
{
    std::optional<TlvView> item = FindTlv(items, kItemCapabilities);
    if (!item)
        return std::nullopt;
    std::vector<Capability> list;
    for (std::size_t at = 0; at + 16 <= item->value.size(); at += 16) {
        Capability capability{};
        std::copy_n(item->value.begin() + static_cast<std::ptrdiff_t>(at), 16, capability.begin());
        list.push_back(capability);
    }
    return list;
}

}  // namespace oscar
