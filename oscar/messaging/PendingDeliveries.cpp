#include "oscar/messaging/PendingDeliveries.h"

namespace oscar {

std::uint64_t PendingDeliveries::AddByCookie(std::uint64_t cookie, const WideString& uin)
{
    std::uint64_t serial = m_nextSerial++;
    m_byCookie[cookie] = {uin, serial};
    return serial;
}

std::uint64_t PendingDeliveries::AddByFrame(std::uint32_t frameNumber, const WideString& uin)
{
    std::uint64_t serial = m_nextSerial++;
    m_byFrame[frameNumber] = {uin, serial};
    return serial;
}

template <typename Key>
std::optional<WideString> PendingDeliveries::Take(std::map<Key, Entry>& map, Key key,
                                                  std::optional<std::uint64_t> serial)
{
    auto found = map.find(key);
    if (found == map.end() || (serial && found->second.serial != *serial))
        return std::nullopt;
    WideString uin = std::move(found->second.uin);
    map.erase(found);
    return uin;
}

std::optional<WideString> PendingDeliveries::TakeCookie(std::uint64_t cookie)
{
    return Take(m_byCookie, cookie, std::nullopt);
}

std::optional<WideString> PendingDeliveries::TakeFrame(std::uint32_t frameNumber)
{
    return Take(m_byFrame, frameNumber, std::nullopt);
}

std::optional<WideString> PendingDeliveries::TakeCookieIf(std::uint64_t cookie, std::uint64_t serial)
{
    return Take(m_byCookie, cookie, std::optional<std::uint64_t>(serial));
}

std::optional<WideString> PendingDeliveries::TakeFrameIf(std::uint32_t frameNumber, std::uint64_t serial)
{
    return Take(m_byFrame, frameNumber, std::optional<std::uint64_t>(serial));
}

}  // namespace oscar
