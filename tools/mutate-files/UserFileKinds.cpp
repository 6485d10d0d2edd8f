// Damaged copies of the user's files. A load must leave the file on disk as
// it was, and the program's next save must not lose what the load could not
// read: a file that did not read whole is kept as "<file>.damaged".
#include <cstdlib>

#include <pugixml.hpp>

#include "app/AppGlobals.h"
#include "app/Settings.h"
#include "platform/base/WideString.h"
#include "platform/registry/Registry.h"
#include "store/ContactListCache.h"
#include "store/HistoryFormat.h"
#include "store/MessageHistory.h"
#include "tools/mutate-files/FileKinds.h"

namespace mutate {

namespace {

constexpr char kDamaged[] = ".damaged";

// The file must still hold the mutant after a load.
bool Untouched(const std::string& path, const std::string& mutant) { return ReadBytes(path) == mutant; }

// A damaged copy, when one was made, holds the mutant byte for byte.
bool CopyIsWhole(const std::string& path, const std::string& mutant)
{
    return !Exists(path + kDamaged) || ReadBytes(path + kDamaged) == mutant;
}

FileKind SettingsKind()
{
    auto settings = MakeRef<Settings>();
    settings->uin = u"123456";
    settings->password = u"secret";
    settings->loginHosts = {{"login.example.org", "5190"}, {"backup.example.org", "443"}};
    settings->vibroCount = 3;
    settings->skinSource = u"QVGA.Skin.xml";
    settings->Save();
    std::string target = Settings::FilePath();
    return {"settings", target, {target}, [target](const std::string& mutant) {
                bool whole = MakeRef<Settings>()->Parse(mutant);
                auto loaded = MakeRef<Settings>();
                loaded->EnsureLoaded();
                if (!Untouched(target, mutant))
                    return Lost("the load changed the file");
                if (!loaded->Save())
                    return Lost("the save failed");
                if (!whole && ReadBytes(target + kDamaged) != mutant)
                    return Lost("a file not read whole was replaced without a copy");
                // A file read whole loses nothing when saved again.
                auto again = MakeRef<Settings>();
                if (!again->Parse(ReadBytes(target)) || again->Format() != loaded->Format())
                    return Lost("the saved file does not read back");
                return whole ? Outcome::Loaded : Outcome::Refused;
            }};
}

FileKind CacheKind(const std::string& work)
{
    auto store = MakeRef<ContactStore>();
    store->AddGroup(1, u"Friends");
    store->AddGroup(2, u"Work");
    for (int i = 0; i < 12; ++i) {
        auto contact = MakeRef<Contact>(platform::Utf8ToWide(std::to_string(200000 + i)));
        contact->nickname = u"Contact \u00e9" + platform::Utf8ToWide(std::to_string(i));
        contact->itemId = static_cast<std::uint16_t>(100 + i);
        contact->groupId = static_cast<std::uint16_t>(1 + i % 2);
        store->AddContact(contact);
    }
    WideString folder = platform::Utf8ToWide(work + "/");
    store::SaveContactListCache(*store, folder, u"123456");
    std::string target = platform::WideToUtf8(store::ContactListCachePath(folder, u"123456"));
    return {"contact cache", target, {target}, [target, folder](const std::string& mutant) {
                auto loaded = MakeRef<ContactStore>();
                bool read = store::LoadContactListCache(*loaded, folder, u"123456");
                if (!Untouched(target, mutant))
                    return Lost("the load changed the file");
                if (!read && mutant.size() > 2 && !Exists(target + kDamaged))
                    return Lost("a file that did not read was not kept");
                store::SaveContactListCache(*loaded, folder, u"123456");
                if (!CopyIsWhole(target, mutant))
                    return Lost("the damaged copy differs from the file");
                return read ? Outcome::Loaded : Outcome::Refused;
            }};
}

// The history's files hold 20 messages; a mutant replaces one of them.
constexpr int kHistoryMessages = 20;

SYSTEMTIME HistoryTime(int minute)
{
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 8;
    time.wHour = 10;
    time.wMinute = static_cast<WORD>(minute);
    return time;
}

FileKind HistoryKind(bool index)
{
    auto history = MakeRef<MessageHistory>(u"123456", u"200001");
    for (int i = 0; i < kHistoryMessages; ++i)
        history->Append(HistoryTime(i), i % 3 == 0 ? u"123456" : u"200001",
                        u"message \u00fc " + platform::Utf8ToWide(std::to_string(i)));
    std::string text = history->TextPath();
    std::string indexFile = history->IndexPath();
    std::string target = index ? indexFile : text;
    return {index ? "history index" : "history text", target, {text, indexFile},
            [target, index](const std::string& mutant) {
                auto reader = MakeRef<MessageHistory>(u"123456", u"200001");
                std::size_t read = reader->Read(0, kHistoryMessages).size();
                (void)reader->Read(5, 7);
                if (!Untouched(target, mutant))
                    return Lost("the read changed the file");
                const WideString added = u"after the damage";
                if (!reader->Append(HistoryTime(59), u"200001", added))
                    return Lost("a message could not be added");
                std::string after = ReadBytes(target);
                // The index keeps every whole record; a half record at its end
                // (or a file shorter than its header) is started over.
                std::size_t kept = mutant.size();
                if (index)
                    kept = mutant.size() - mutant.size() % store::kHistoryRecordSize;
                if (after.compare(0, kept, mutant, 0, kept) != 0)
                    return Lost("the append rewrote what the file held");
                std::vector<HistoryMessage> newest = reader->Read(0, 1);
                if (newest.size() != 1 || newest[0].text != added)
                    return Lost("the added message does not read back");
                return read == kHistoryMessages ? Outcome::Loaded : Outcome::Refused;
            }};
}

WideString ReadRegistryValue() { return platform::registry::ReadString(HKEY_CURRENT_USER, u"Software\\Corvane", u"Skin"); }

bool IsRegistryText(const std::string& bytes)
{
    pugi::xml_document document;
    return document.load_buffer(bytes.data(), bytes.size()) && document.child("registry");
}

FileKind RegistryKind(const std::string& work)
{
    std::string device = work + "/device";
    ::setenv("CORVANE_DEVICE", device.c_str(), 1);
    auto set = [](const WideString& subKey, const WideString& name, const WideString& value) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * 2));
        RegCloseKey(key);
    };
    set(u"Software\\Corvane", u"Skin", u"QVGA.Skin.xml");
    set(u"Software\\Corvane", u"Folder", u"/Program Files/Corvane");
    set(u"ControlPanel\\Home", u"Scheme", u"/Application Data/Home/default.xml");
    std::string target = device + "/registry.xml";
    return {"registry", target, {target}, [target, set](const std::string& mutant) {
                bool read = ReadRegistryValue() == u"QVGA.Skin.xml";
                (void)platform::registry::ReadString(HKEY_CURRENT_USER, u"ControlPanel\\Home", u"Scheme");
                if (!Untouched(target, mutant))
                    return Lost("the read changed the file");
                set(u"Software\\Corvane", u"Probe", u"x");
                if (!mutant.empty() && !IsRegistryText(mutant) && ReadBytes(target + kDamaged) != mutant)
                    return Lost("a file that did not read was replaced without a copy");
                if (!CopyIsWhole(target, mutant))
                    return Lost("the damaged copy differs from the file");
                return read ? Outcome::Loaded : Outcome::Refused;
            }};
}

}  // namespace

std::vector<FileKind> UserFileKinds(const std::string& work)
{
    // The settings and the histories live in the program folder.
    app::SetAppFolder(platform::Utf8ToWide(work + "/"));
    return {SettingsKind(), CacheKind(work), HistoryKind(true), HistoryKind(false),
            RegistryKind(work)};
}

}  // namespace mutate
