#include "oscar/messaging/OfflineMessages.h"

#include <ctime>

#include "oscar/codec/ByteReader.h"
#include "oscar/codec/TextCodec.h"
#include "oscar/codec/TlvBlock.h"
#include "platform/base/Clock.h"

namespace oscar {
namespace {

constexpr std::uint16_t kItemMetaData = 0x0001;

std::optional<std::span<const std::uint8_t>> MetaValue(std::span<const std::uint8_t> data)
{
    std::optional<TlvView> item = FindTlv(ReadTlvBlock(data), kItemMetaData);
    if (!item)
        return std::nullopt;
    return item->value;
}

bool ValidDate(std::uint16_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute)
{
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return year >= 1970 && year <= 2100 && month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1] &&
           hour < 24 && minute < 60;
}

SYSTEMTIME LocalTimeOf(std::uint16_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour,
                       std::uint8_t minute)
{
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    std::time_t seconds = timegm(&utc) - static_cast<std::time_t>(platform::TimeZoneBiasMinutes()) * 60;
    std::tm local{};
    gmtime_r(&seconds, &local);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(local.tm_year + 1900);
    time.wMonth = static_cast<WORD>(local.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time.wDay = static_cast<WORD>(local.tm_mday);
    time.wHour = static_cast<WORD>(local.tm_hour);
    time.wMinute = static_cast<WORD>(local.tm_min);
    return time;
}

}  // namespace

std::optional<std::uint16_t> MetaReplyType(std::span<const std::uint8_t> data)
{
    std::optional<std::span<const std::uint8_t>> value = MetaValue(data);
    if (!value)
        return std::nullopt;
    ByteReader reader(*value);
    std::uint16_t type = 0;
    if (!reader.Skip(6) || !reader.ReadU16LE(type))
        return std::nullopt;
    return type;
}

RefPtr<IncomingMessage> DecodeOfflineMessage(std::span<const std::uint8_t> data, UINT codePage)
{
    std::optional<std::span<const std::uint8_t>> value = MetaValue(data);
    if (!value)
        return nullptr;
    ByteReader reader(*value);
    std::uint32_t sender = 0;
    std::uint16_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint16_t length = 0;
    std::span<const std::uint8_t> text;
    auto message = MakeRef<IncomingMessage>();
    if (!reader.Skip(10) || !reader.ReadU32LE(sender) || !reader.ReadU16LE(year) || !reader.ReadU8(month) ||
        !reader.ReadU8(day) || !reader.ReadU8(hour) || !reader.ReadU8(minute) || !reader.ReadU8(message->kind) ||
        !reader.ReadU8(message->flags) || !reader.ReadU16LE(length) || !reader.ReadBytes(length, text))
        return nullptr;
    if (sender == 0)
        return nullptr;
    for (char c : std::to_string(sender))
        message->sender += static_cast<char16_t>(c);
    if (ValidDate(year, month, day, hour, minute))
        message->time = LocalTimeOf(year, month, day, hour, minute);
    else
        GetLocalTime(&message->time);
    std::span<const std::uint8_t> body = text.empty() ? text : text.first(text.size() - 1);
    message->text = Utf16UnknownOrderToWide(body, codePage);
    return message;
}

}  // namespace oscar
