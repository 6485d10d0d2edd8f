#include "store/ContactListCache.h"

#include "app/AppGlobals.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/file/File.h"
#include "store/ContactListXml.h"
#include "store/ExclusiveOpen.h"
#include "store/Utf16Le.h"

namespace store {
namespace {

using platform::File;
using platform::FileAccess;

// Opens (creating when missing) without sharing; a file that another handle
// holds is retried. The result is closed on failure.
File OpenCacheFile(const std::string& path, FileAccess access)
{
    return OpenExclusive(path, access, platform::FileDisposition::OpenAlways,
                         SharingRetry{kCacheOpenAttempts, kCacheRetryMilliseconds});
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
    std::string bytes(kByteOrderMark);
    AppendUtf16Le(bytes, text);
    return bytes;
}

bool DecodeContactListCache(ContactStore& store, std::string_view bytes)
{
    platform::CriticalSectionLock guard(store.Lock());
    ClearLists(store);
    if (bytes.size() <= 2)
        return false;
    // The first two bytes are taken as the byte-order mark without a check.
    WideString text = DecodeUtf16Le(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bytes.size() - 2);
    return ContactListFromXml(store, text);
}

bool SaveContactListCache(ContactStore& store, const WideString& folder, const WideString& ownerUin)
{
    std::string bytes = EncodeContactListCache(store);
    std::string path = platform::WideToUtf8(ContactListCachePath(folder, ownerUin));
    // Holding the file without sharing keeps loads and other saves out while
    // the new text replaces it.
    File guard = OpenCacheFile(path, FileAccess::ReadWrite);
    if (!guard.IsOpen())
        return false;
    return platform::ReplaceFileContents(path, bytes.data(), bytes.size());
}

bool LoadContactListCache(ContactStore& store, const WideString& folder, const WideString& ownerUin)
{
    platform::CriticalSectionLock guard(store.Lock());
    ClearLists(store);
    File file = OpenCacheFile(platform::WideToUtf8(ContactListCachePath(folder, ownerUin)), FileAccess::Read);
    std::string bytes;
    if (!file.IsOpen() || !ReadAll(file, bytes))
        return false;
    file.Close();
    if (DecodeContactListCache(store, bytes))
        return true;
    // The list is saved again after sign-on; a file that held something but
    // did not read is copied aside so that save cannot lose it.
    if (bytes.size() > 2)
        platform::KeepDamagedCopy(platform::WideToUtf8(ContactListCachePath(folder, ownerUin)), bytes);
    return false;
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
