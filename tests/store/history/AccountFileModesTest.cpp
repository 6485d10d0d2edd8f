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

    mode_t m_oldMask = 0;
};

TEST_F(AccountFileModesTest, NewFilesAndFoldersAreTheUsersOnly)
{
    auto settings = MakeRef<Settings>();
    settings->uin = u"123456";
    ASSERT_TRUE(settings->Save());
    ASSERT_TRUE(SaveCache(m_root));
    auto history = MakeRef<MessageHistory>(u"123456", u"654321");
    ASSERT_TRUE(history->Append(Time(), u"654321", u"Hello"));
    ASSERT_TRUE(SetRegistryValue());

    EXPECT_EQ(Mode("Corvane.config"), "600");
    EXPECT_EQ(Mode("123456.xml"), "600");
    EXPECT_EQ(Mode("123456"), "700");
    EXPECT_EQ(Mode("123456/654321_msg.txt"), "600");
    EXPECT_EQ(Mode("123456/654321_idx.dat"), "600");
    EXPECT_EQ(Mode("device"), "700");
    EXPECT_EQ(Mode("device/registry.xml"), "600");
    EXPECT_EQ(Mode("device/registry.lock"), "600");
    // No temporary file is left behind to carry the contents.
    EXPECT_EQ(Mode("Corvane.config.tmp"), "missing");
    EXPECT_EQ(Mode("device/registry.xml.tmp"), "missing");
}

TEST_F(AccountFileModesTest, WiderFilesAreTightenedWhenWrittenAgain)
{
    MakeWide("Corvane.config", 0644);
    // A temporary file left by an interrupted save must not pass its mode on
    // to the file it replaces.
    MakeWide("123456.xml", 0666);
    MakeWide("123456.xml.tmp", 0666);
    auto history = MakeRef<MessageHistory>(u"123456", u"654321");
    ASSERT_TRUE(history->Append(Time(), u"654321", u"first"));
    ASSERT_EQ(::chmod(Path("123456/654321_msg.txt").c_str(), 0644), 0);
    ASSERT_EQ(::chmod(Path("123456/654321_idx.dat").c_str(), 0664), 0);
    ASSERT_TRUE(SetRegistryValue());
    ASSERT_EQ(::chmod(Path("device/registry.xml").c_str(), 0644), 0);

    auto settings = MakeRef<Settings>();
    settings->uin = u"123456";
    ASSERT_TRUE(settings->Save());
    ASSERT_TRUE(SaveCache(m_root));
    ASSERT_TRUE(history->Append(Time(6), u"654321", u"second"));
    ASSERT_TRUE(SetRegistryValue());

    EXPECT_EQ(Mode("Corvane.config"), "600");
    EXPECT_EQ(Mode("123456.xml"), "600");
    EXPECT_EQ(Mode("123456/654321_msg.txt"), "600");
    EXPECT_EQ(Mode("123456/654321_idx.dat"), "600");
    EXPECT_EQ(Mode("device/registry.xml"), "600");
    // The contents went through whole.
    EXPECT_EQ(history->Read(0, 10).size(), 2u);
}

}  // namespace
}  // namespace historytest
