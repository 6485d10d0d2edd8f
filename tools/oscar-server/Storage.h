// Storage: the data folder that keeps server-stored lists and offline
// messages across restarts.
//
// One text file per account and kind: <uin>.list and <uin>.offline. Each file
// is rewritten whole through a temporary file that is renamed over the old
// one, so a crash never leaves a half-written file. Lines that do not parse
// are skipped on reading. Files:
//   <uin>.list     "date <seconds>" then one line per item:
//                  "item <type> <group id> <item id> <name hex> <data hex>"
//   <uin>.offline  one line per message:
//                  "msg <sender uin> <utc seconds> <type> <flags> <text hex>"
// A store without a folder keeps nothing (loads find nothing, saves succeed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/oscar-server/ServerList.h"

namespace oscarserver {

struct OfflineMessage {
    std::uint32_t sender = 0;
    std::uint32_t time = 0;  // seconds since 1970, UTC
    std::uint8_t type = 1;
    std::uint8_t flags = 0;
    // Without a terminating zero: 8-bit text as the sender encoded it, text
    // sent in Unicode form as UTF-8 (files written before hold such text as
    // UTF-16 and are read as they are).
    Bytes text;
};

// Largest number of offline messages kept for one account.
constexpr std::size_t kMaxOfflineMessages = 1000;

class DataStore {
public:
    DataStore() = default;
    explicit DataStore(std::string folder) : m_folder(std::move(folder)) {}

    // Creates the folder when missing; false with a message when impossible.
    bool Prepare(std::string& error) const;
    bool Persistent() const { return !m_folder.empty(); }

    // False when the account has no (readable) list file.
    bool LoadList(std::uint32_t uin, ServerList& list) const;
    bool SaveList(std::uint32_t uin, const ServerList& list) const;
    std::vector<OfflineMessage> LoadOffline(std::uint32_t uin) const;
    bool SaveOffline(std::uint32_t uin, const std::vector<OfflineMessage>& messages) const;

private:
    std::string PathOf(std::uint32_t uin, const char* suffix) const;
    bool WriteAtomically(const std::string& path, const std::string& text) const;

    std::string m_folder;
};

std::string ToHex(ByteView bytes);
// False for odd lengths and characters that are not hex digits.
bool FromHex(std::string_view text, Bytes& out);

}  // namespace oscarserver
