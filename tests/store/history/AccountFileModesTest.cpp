// The files that hold the user's account (settings, the contact-list cache
// with its unsent texts, histories, the registry) are readable by the user
// only, whatever the process's umask, and files made with wider modes before
// are tightened when written again.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/Settings.h"
#include "platform/registry/Registry.h"
#include "store/ContactListCache.h"
#include "store/MessageHistory.h"
#include "tests/store/history/HistoryFixture.h"

namespace historytest {
namespace {

const char* const kAccountFiles[] = {"Corvane.config", "123456.xml", "123456/654321_msg.txt",
                                     "123456/654321_idx.dat", "device/registry.xml"};

class AccountFileModesTest : public HistoryTest {
protected:
    void SetUp() override
    {
        HistoryTest::SetUp();
        // A permissive umask must not widen what the program creates.
        m_oldMask = ::umask(0);
        ::setenv("CORVANE_DEVICE", Path("device").c_str(), 1);
    }
    void TearDown() override
    {
        ::umask(m_oldMask);
        ::unsetenv("CORVANE_DEVICE");
    }

    // The permission bits of a file or folder in octal ("600"); "missing"
    // when there is none.
    std::string Mode(const std::string& relative) const
    {
        struct stat info {};
        if (::stat(Path(relative).c_str(), &info) != 0)
            return "missing";
        char text[8];
        std::snprintf(text, sizeof text, "%o", static_cast<unsigned>(info.st_mode & 07777));
        return text;
    }
    void MakeWide(const std::string& relative, mode_t mode)
    {
        std::ofstream(Path(relative), std::ios::binary) << "x";
        ASSERT_EQ(::chmod(Path(relative).c_str(), mode), 0);
    }

    static bool SaveCache(const std::string& folder)
    {
        auto contacts = MakeRef<ContactStore>();
        contacts->AddGroup(1, u"G");
        auto contact = MakeRef<Contact>(u"654321");
        contact->groupId = 1;
        contact->cachedText = u"not sent yet";
        contacts->AddContact(contact);
        return store::SaveContactListCache(*contacts, platform::Utf8ToWide(folder + "/"), u"123456");
    }
    static bool SetRegistryValue()
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Corvane", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        DWORD value = 1;
        LONG result = RegSetValueExW(key, u"Run", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

    // Saves the settings and the cache, appends to a history and sets a
    // registry value: every kind of file that holds the account.
    bool WriteAccount(const WideString& message)
    {
        auto settings = MakeRef<Settings>();
        settings->uin = u"123456";
        auto history = MakeRef<MessageHistory>(u"123456", u"654321");
        return settings->Save() && SaveCache(m_root) && history->Append(Time(), u"654321", message) &&
               SetRegistryValue();
    }

    mode_t m_oldMask = 0;
};

TEST_F(AccountFileModesTest, NewFilesAndFoldersAreTheUsersOnly)
{
    ASSERT_TRUE(WriteAccount(u"Hello"));

    for (const char* file : kAccountFiles)
        EXPECT_EQ(Mode(file), "600") << file;
    EXPECT_EQ(Mode("device/registry.lock"), "600");
    EXPECT_EQ(Mode("123456"), "700");
    EXPECT_EQ(Mode("device"), "700");
    // No temporary file is left behind to carry the contents.
    EXPECT_EQ(Mode("Corvane.config.tmp"), "missing");
    EXPECT_EQ(Mode("device/registry.xml.tmp"), "missing");
}

TEST_F(AccountFileModesTest, WiderFilesAreTightenedWhenWrittenAgain)
{
    ASSERT_TRUE(WriteAccount(u"first"));
    for (const char* file : kAccountFiles)
        ASSERT_EQ(::chmod(Path(file).c_str(), 0644), 0) << file;
    // A temporary file left by an interrupted save must not pass its mode on
    // to the file it replaces.
    MakeWide("123456.xml.tmp", 0666);

    ASSERT_TRUE(WriteAccount(u"second"));

    for (const char* file : kAccountFiles)
        EXPECT_EQ(Mode(file), "600") << file;
    // The contents went through whole.
    EXPECT_EQ(MakeRef<MessageHistory>(u"123456", u"654321")->Read(0, 10).size(), 2u);
}

}  // namespace
}  // namespace historytest
