// What the program tells the plug-in, and the class entries it writes.
#include <gtest/gtest.h>

#include "home/PluginLink.h"
#include "oscar/ContactStore.h"
#include "oscar/OnlineStatus.h"
#include "platform/registry/Registry.h"
#include "tests/common/TestSupport.h"

namespace {

TEST(PluginReport, CountsOnlineContactsOnlyWhileSignedOn)
{
    RefPtr<ContactStore> store = MakeRef<ContactStore>();
    struct Entry {
        const char16_t* uin;
        std::int32_t status;
        bool unread;
    } entries[] = {{u"1", OnlineStatus::Online, false},      {u"2", OnlineStatus::FreeForChat, true},
                   {u"3", OnlineStatus::Invisible, false},   {u"4", OnlineStatus::Away, true},
                   {u"5", OnlineStatus::Offline, true},      {u"6", OnlineStatus::Online | 0x10000, false}};
    for (const Entry& entry : entries) {
        RefPtr<Contact> contact = store->AddContact(MakeRef<Contact>(entry.uin));
        store->SetStatus(contact, entry.status);
        store->SetUnread(contact, entry.unread);
    }
    home::PluginReport online = home::ReportFrom(true, *store, u"Online");
    EXPECT_TRUE(online.hasSession);
    EXPECT_EQ(online.onlineCount, 4);  // the web-aware flag does not make a contact offline
    EXPECT_EQ(online.unreadCount, 3);
    home::PluginReport offline = home::ReportFrom(false, *store, u"Logging on");
    EXPECT_EQ(offline.onlineCount, -1);
    EXPECT_EQ(offline.unreadCount, 3);
}

TEST(PluginReport, PayloadIsPaddedToWholeWords)
{
    // "Away" (4 characters) needs no padding, "On" (2) neither, "Off" (3) two bytes.
    for (const char16_t* text : {u"Away", u"On", u"Off", u""}) {
        std::vector<BYTE> payload = home::EncodePluginState({true, 2, 0, text});
        EXPECT_EQ(payload.size() % 4, 0u);
        EXPECT_EQ(payload.size(), 16 + (std::u16string_view(text).size() * 2 + 3) / 4 * 4 + 4);
        EXPECT_EQ(std::vector<BYTE>(payload.end() - 4, payload.end()), std::vector<BYTE>(4, 0));  // no MSN block
    }
}

TEST(PluginClass, RegistrationPointsAtTheLibraryInTheProgramFolder)
{
    testsupport::TempFolder device("corvane-home");
    setenv("CORVANE_DEVICE", device.Path().c_str(), 1);
    const WideString key = u"CLSID\\{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}";
    home::RegisterPluginClass(u"/first/");
    home::RegisterPluginClass(u"/device/Program Files/Corvane/");
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, key), u"CorvaneICQ Plugin");
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, key + u"\\InprocServer32"),
              u"/device/Program Files/Corvane/CorvanePlugin.so");
}

}  // namespace
