// The user's messages that wait for confirmation: by cookie (acknowledged by
// the server) or by the number of the frame that carried them (confirmed once
// sent). Each entry has a serial so that a watch thread removes only the
// entry it watches. The owner's lock guards every call.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "platform/base/Types.h"

namespace oscar {

class PendingDeliveries {
public:
    std::uint64_t AddByCookie(std::uint64_t cookie, const WideString& uin);
    std::uint64_t AddByFrame(std::uint32_t frameNumber, const WideString& uin);

    // Removes and returns the UIN of a pending entry; nullopt when none.
    std::optional<WideString> TakeCookie(std::uint64_t cookie);
    std::optional<WideString> TakeFrame(std::uint32_t frameNumber);
    // The same, only when the entry is still the one with this serial.
    std::optional<WideString> TakeCookieIf(std::uint64_t cookie, std::uint64_t serial);
    std::optional<WideString> TakeFrameIf(std::uint32_t frameNumber, std::uint64_t serial);

    std::size_t Count() const { return m_byCookie.size() + m_byFrame.size(); }

private:
    struct Entry {
        WideString uin;
        std::uint64_t serial = 0;
    };
    template <typename Key>
    static std::optional<WideString> Take(std::map<Key, Entry>& map, Key key, std::optional<std::uint64_t> serial);

    std::map<std::uint64_t, Entry> m_byCookie;
    std::map<std::uint32_t, Entry> m_byFrame;
    std::uint64_t m_nextSerial = 1;
};

}  // namespace oscar
