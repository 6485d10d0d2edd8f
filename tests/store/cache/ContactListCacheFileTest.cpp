// The cache file on the device: its name, its bytes, the sharing rules and
// what a failed save leaves behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/file/File.h"
#include "store/ContactListCache.h"
#include "tests/common/TestSupport.h"

namespace {

using platform::File;
using platform::FileAccess;
using platform::FileDisposition;
using platform::FileShare;

class ContactListCacheFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        m_wideFolder = platform::Utf8ToWide(m_folder + "/");
        m_path = m_folder + "/123456.xml";
        platform::SetTimeScale(100.0);
    }
    void TearDown() override
    {
        platform::SetTimeScale(1.0);
    }

    std::string FileBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    RefPtr<ContactStore> StoreWith(const std::u16string& uin)
    {
        auto store = MakeRef<ContactStore>();
        store->SetListDateAndCount(77, 3);
        store->AddGroup(1, u"G");
        auto contact = MakeRef<Contact>(uin);
        contact->groupId = 1;
        store->AddContact(contact);
        return store;
    }

    testsupport::TempFolder m_temp{"corvane-cache"};
    const std::string m_folder = m_temp.Path();
    std::u16string m_wideFolder;
    std::string m_path;
};

TEST_F(ContactListCacheFileTest, FileIsNamedAfterTheOwnerAndHoldsUtf16WithByteOrderMark)
{
    EXPECT_EQ(store::ContactListCachePath(u"/p/", u"123456"), u"/p/123456.xml");
    EXPECT_EQ(store::ContactListCachePath(u"/p/", u""), u"/p/.xml");

    ASSERT_TRUE(store::SaveContactListCache(*StoreWith(u"42"), m_wideFolder, u"123456"));
    std::string bytes = FileBytes(m_path);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE<\0", 4));
    EXPECT_EQ(bytes.find(std::string("<\0?\0", 4)), std::string::npos) << "no XML declaration";
    EXPECT_EQ(bytes.size() % 2, 0u);

    auto loaded = MakeRef<ContactStore>();
    ASSERT_TRUE(store::LoadContactListCache(*loaded, m_wideFolder, u"123456"));
    EXPECT_TRUE(loaded->FindContact(u"42"));
    EXPECT_EQ(loaded->ListDate(), 77u);
}

TEST_F(ContactListCacheFileTest, LoadReplacesTheStoreAndAMissingFileIsCreatedEmpty)
{
    RefPtr<ContactStore> store = StoreWith(u"99");
    EXPECT_FALSE(store::LoadContactListCache(*store, m_wideFolder, u"555"));
    EXPECT_TRUE(store->Contacts().empty());
    EXPECT_TRUE(store->Groups().empty());
    struct stat info {};
    ASSERT_EQ(::stat((m_folder + "/555.xml").c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 0);

    std::ofstream(m_folder + "/555.xml", std::ios::binary) << "\xFF\xFE";
    EXPECT_FALSE(store::LoadContactListCache(*store, m_wideFolder, u"555"));

    ASSERT_TRUE(store::SaveContactListCache(*StoreWith(u"1"), m_wideFolder, u"555"));
    store = StoreWith(u"2");
    ASSERT_TRUE(store::LoadContactListCache(*store, m_wideFolder, u"555"));
    EXPECT_TRUE(store->FindContact(u"1"));
    EXPECT_FALSE(store->FindContact(u"2"));
}

// A cache that did not read is copied aside before the list is saved over
// it; the file itself is left as it was by the load.
TEST_F(ContactListCacheFileTest, ACacheThatDidNotReadIsKeptBeforeTheNextSave)
{
    ASSERT_TRUE(store::SaveContactListCache(*StoreWith(u"1"), m_wideFolder, u"123456"));
    std::string broken = FileBytes(m_path);
    broken.resize(broken.size() / 2);
    std::ofstream(m_path, std::ios::binary | std::ios::trunc) << broken;

    auto loaded = MakeRef<ContactStore>();
    EXPECT_FALSE(store::LoadContactListCache(*loaded, m_wideFolder, u"123456"));
    EXPECT_EQ(FileBytes(m_path), broken);
    ASSERT_TRUE(store::SaveContactListCache(*loaded, m_wideFolder, u"123456"));
    EXPECT_EQ(FileBytes(m_path + ".damaged"), broken);
}

TEST_F(ContactListCacheFileTest, FailedSaveLeavesThePreviousCacheWhole)
{
    ASSERT_TRUE(store::SaveContactListCache(*StoreWith(u"1"), m_wideFolder, u"123456"));
    std::string before = FileBytes(m_path);
    // The temporary file cannot be made, so the save fails before the
    // rename; the cache must not be truncated or half written.
    ASSERT_EQ(::mkdir((m_path + ".tmp").c_str(), 0755), 0);
    EXPECT_FALSE(store::SaveContactListCache(*StoreWith(u"2"), m_wideFolder, u"123456"));
    EXPECT_EQ(FileBytes(m_path), before);
    EXPECT_FALSE(store::SaveContactListCache(*StoreWith(u"3"), platform::Utf8ToWide(m_folder + "/no/"), u"1"));
}

TEST_F(ContactListCacheFileTest, SaveWaitsForAnotherHandleAndGivesUpAfterItsBound)
{
    platform::SetTimeScale(10.0);  // the retry bound is 5 s of device time
    ASSERT_TRUE(store::SaveContactListCache(*StoreWith(u"1"), m_wideFolder, u"123456"));
    std::string before = FileBytes(m_path);
    {
        File held = File::Open(m_path, FileAccess::Read, FileShare::None, FileDisposition::OpenExisting);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_FALSE(store::SaveContactListCache(*StoreWith(u"2"), m_wideFolder, u"123456"));
        EXPECT_EQ(FileBytes(m_path), before);

        // Released while the save retries: the save goes through.
        std::atomic<bool> saved{false};
        std::thread saver([&] { saved = store::SaveContactListCache(*StoreWith(u"3"), m_wideFolder, u"123456"); });
        Sleep(10 * store::kCacheRetryMilliseconds);
        EXPECT_FALSE(saved) << "saved while another handle held the file";
        held.Close();
        saver.join();
        EXPECT_TRUE(saved);
    }
    auto loaded = MakeRef<ContactStore>();
    ASSERT_TRUE(store::LoadContactListCache(*loaded, m_wideFolder, u"123456"));
    EXPECT_TRUE(loaded->FindContact(u"3"));
}

TEST_F(ContactListCacheFileTest, OversizedFileIsReadAsNoFile)
{
    {
        std::ofstream out(m_path, std::ios::binary);
        out << "\xFF\xFE";
    }
    ASSERT_EQ(::truncate(m_path.c_str(), static_cast<off_t>(store::kMaxCacheBytes) + 2), 0);
    RefPtr<ContactStore> store = StoreWith(u"1");
    EXPECT_FALSE(store::LoadContactListCache(*store, m_wideFolder, u"123456"));
    EXPECT_TRUE(store->Contacts().empty());
}

}  // namespace
