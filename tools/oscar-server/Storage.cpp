#include "tools/oscar-server/Storage.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace oscarserver {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads an unsigned number of at most max from a line; false otherwise.
template <typename T>
bool ReadNumber(std::istringstream& line, T& out, unsigned long long max)
{
    std::string word;
    if (!(line >> word) || word.empty() || word.size() > 20)
        return false;
    unsigned long long value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long long>(c - '0');
        if (value > max)
            return false;
    }
    out = static_cast<T>(value);
    return true;
}

bool ReadHex(std::istringstream& line, Bytes& out)
{
    std::string word;
    if (!(line >> word))
        return false;
    return word == "-" ? (out.clear(), true) : FromHex(word, out);
}

std::string HexOrDash(ByteView bytes) { return bytes.empty() ? "-" : ToHex(bytes); }

bool ParseItem(std::istringstream& line, ListItem& item)
{
    Bytes name;
    return ReadNumber(line, item.type, 0xFFFF) && ReadNumber(line, item.groupId, 0xFFFF) &&
           ReadNumber(line, item.itemId, 0xFFFF) && ReadHex(line, name) && ReadHex(line, item.data) &&
           name.size() <= 0xFFFF && item.data.size() <= 0xFFFF && (item.name = Text(name), true);
}

bool ParseMessage(std::istringstream& line, OfflineMessage& message)
{
    return ReadNumber(line, message.sender, 0xFFFFFFFF) && ReadNumber(line, message.time, 0xFFFFFFFF) &&
           ReadNumber(line, message.type, 0xFF) && ReadNumber(line, message.flags, 0xFF) &&
           ReadHex(line, message.text) && message.text.size() < 0xFFFF;
}

}  // namespace

std::string ToHex(ByteView bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

bool FromHex(std::string_view text, Bytes& out)
{
    if (text.size() % 2 != 0)
        return false;
    Bytes bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    out = std::move(bytes);
    return true;
}

bool DataStore::Prepare(std::string& error) const
{
    if (m_folder.empty())
        return true;
    struct stat info {};
    if (::stat(m_folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) || (error = m_folder + " is not a folder", false);
    if (::mkdir(m_folder.c_str(), 0700) != 0) {
        error = "cannot create " + m_folder;
        return false;
    }
    return true;
}

std::string DataStore::PathOf(std::uint32_t uin, const char* suffix) const
{
    return m_folder + "/" + std::to_string(uin) + suffix;
}

bool DataStore::WriteAtomically(const std::string& path, const std::string& text) const
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n <= 0) {
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool DataStore::LoadList(std::uint32_t uin, ServerList& list) const
{
    if (m_folder.empty())
        return false;
    std::ifstream file(PathOf(uin, ".list"));
    if (!file)
        return false;
    ServerList loaded;
    bool dated = false;
    std::string text;
    while (std::getline(file, text) && loaded.items.size() < kMaxListItems) {
        std::istringstream line(text);
        std::string keyword;
        line >> keyword;
        ListItem item;
        if (keyword == "date")
            dated = ReadNumber(line, loaded.date, 0xFFFFFFFF);
        else if (keyword == "item" && ParseItem(line, item) && loaded.Find(item.groupId, item.itemId) == nullptr)
            loaded.items.push_back(std::move(item));
    }
    if (!dated)
        return false;
    list = std::move(loaded);
    return true;
}

bool DataStore::SaveList(std::uint32_t uin, const ServerList& list) const
{
    if (m_folder.empty())
        return true;
    std::string text = "date " + std::to_string(list.date) + "\n";
    for (const ListItem& item : list.items) {
        text += "item " + std::to_string(item.type) + " " + std::to_string(item.groupId) + " " +
                std::to_string(item.itemId) + " " + HexOrDash(View(item.name)) + " " + HexOrDash(item.data) + "\n";
    }
    return WriteAtomically(PathOf(uin, ".list"), text);
}

std::vector<OfflineMessage> DataStore::LoadOffline(std::uint32_t uin) const
{
    std::vector<OfflineMessage> messages;
    if (m_folder.empty())
        return messages;
    std::ifstream file(PathOf(uin, ".offline"));
    std::string text;
    while (std::getline(file, text) && messages.size() < kMaxOfflineMessages) {
        std::istringstream line(text);
        std::string keyword;
        line >> keyword;
        OfflineMessage message;
        if (keyword == "msg" && ParseMessage(line, message))
            messages.push_back(std::move(message));
    }
    return messages;
}

bool DataStore::SaveOffline(std::uint32_t uin, const std::vector<OfflineMessage>& messages) const
{
    if (m_folder.empty())
        return true;
    std::string text;
    for (const OfflineMessage& message : messages) {
        text += "msg " + std::to_string(message.sender) + " " + std::to_string(message.time) + " " +
                std::to_string(message.type) + " " + std::to_string(message.flags) + " " +
                HexOrDash(message.text) + "\n";
    }
    return WriteAtomically(PathOf(uin, ".offline"), text);
}

}  // namespace oscarserver
