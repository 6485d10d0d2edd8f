#include "store/ContactListCache.h"

#include "app/AppGlobals.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/file/File.h"
#include "store/ContactListXml.h"

namespace store {
namespace {

using platform::File;
using platform::FileAccess;
using platform::FileDisposition;
using platform::FileShare;

// Opens (creating when missing) without sharing; a file that another handle
// holds is retried. The result is closed on failure.
File OpenExclusive(const std::string& path, FileAccess access)
{
    for (int attempt = 1;; ++attempt) {
        DWORD error = ERROR_SUCCESS;
        File file = File::Open(path, access, FileShare::None, FileDisposition::OpenAlways, &error);
        if (file.IsOpen() || error != ERROR_SHARING_VIOLATION || attempt >= kCacheOpenAttempts)
            return file;
        Sleep(kCacheRetryMilliseconds);
    }
}

// The whole file, or false when it cannot be read or exceeds the limit.
bool ReadAll(File& file, std::string& bytes)
{
    std::int64_t size = file.Size();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxCacheBytes)
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::int64_t n = file.Read(bytes.data() + done, bytes.size() - done);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return true;
}

void ClearLists(ContactStore& store)
{
    for (const RefPtr<ContactGroup>& group : store.Groups())
        store.RemoveGroup(group->id);
    for (const RefPtr<Contact>& contact : store.Contacts())
        store.RemoveContact(contact->uin);
}

}  // namespace

WideString ContactListCachePath(const WideString& folder, const WideString& ownerUin)
{
    return folder + ownerUin + u".xml";
}

std::string EncodeContactListCache(ContactStore& store)
{
    WideString text = ContactListToXml(store);
    std::string bytes;
    bytes.reserve(2 + 2 * text.size());
    bytes += "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

bool DecodeContactListCache(ContactStore& store, std::string_view bytes)
{
    platform::CriticalSectionLock guard(store.Lock());
    ClearLists(store);
    if (bytes.size() <= 2)
        return false;
    WideString text;
    text.reserve((bytes.size() - 2) / 2);
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        auto c = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                       static_cast<std::uint8_t>(bytes[at + 1]) << 8);
        if (c == 0)
            break;
        text.push_back(c);
    }
    return ContactListFromXml(store, text);
}

bool SaveContactListCache(ContactStore& store, const WideString& folder, const WideString& ownerUin)
{
    std::string bytes = EncodeContactListCache(store);
    std::string path = platform::WideToUtf8(ContactListCachePath(folder, ownerUin));
    // Holding the file without sharing keeps loads and other saves out while
    // the new text replaces it.
    File guard = OpenExclusive(path, FileAccess::ReadWrite);
    if (!guard.IsOpen())
        return false;
    return platform::ReplaceFileContents(path, bytes.data(), bytes.size());
}

bool LoadContactListCache(ContactStore& store, const WideString& folder, const WideString& ownerUin)
{
    platform::CriticalSectionLock guard(store.Lock());
    ClearLists(store);
    File file = OpenExclusive(platform::WideToUtf8(ContactListCachePath(folder, ownerUin)), FileAccess::Read);
    std::string bytes;
    if (!file.IsOpen() || !ReadAll(file, bytes))
        return false;
    file.Close();
    return DecodeContactListCache(store, bytes);
}

IcqAccount::CacheFile ProgramFolderCacheFile()
{
    IcqAccount::CacheFile cache;
    cache.save = [](ContactStore& store, const WideString& ownerUin) {
        return SaveContactListCache(store, app::AppFolder(), ownerUin);
    };
    cache.load = [](ContactStore& store, const WideString& ownerUin) {
        return LoadContactListCache(store, app::AppFolder(), ownerUin);
    };
    return cache;
}

}  // namespace store
