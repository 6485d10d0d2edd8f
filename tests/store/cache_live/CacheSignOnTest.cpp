// The contact-list cache across restarts of the core, against the local
// server: the list received at sign-on is cached, and the next sign-on asks
// with the cached date and count and is told that the list is up to date.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "oscar/OnlineStatus.h"
#include "oscar/codec/ByteReader.h"
#include "tests/oscar/live/LiveTest.h"

namespace {

const char* kAccounts = R"(<accounts>
  <account uin="100001" password="demo" nick="Demo"/>
  <account uin="100002" password="friend" nick="Friend"/>
</accounts>)";

constexpr std::uint32_t kListDate = 1700000000;

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex.empty() ? "-" : hex;
}

struct ListRequest {
    bool sent = false;
    std::uint32_t date = 0;
    std::uint16_t count = 0;
};

class CacheSignOnTest : public live::LiveTest {
protected:
    CacheSignOnTest() : LiveTest("corvane-cache-live") {}

    // The server's stored list for 100001: group 1 "General" with three
    // contacts (4 items with the group).
    void StoreList()
    {
        std::string folder = m_folder + "/server-data";
        ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
        std::ofstream list(folder + "/100001.list");
        list << "date " << kListDate << "\n";
        list << "item 1 1 0 " << Hex("General") << " -\n";
        for (int i = 0; i < 3; ++i)
            list << "item 0 1 " << 100 + i << " " << Hex(std::to_string(300000 + i)) << " -\n";
    }
    void NewCore()
    {
        m_core.reset();
        m_core = std::make_unique<live::LiveCore>(
            m_folder, "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=" + m_server->LoginHost() + "\r\n");
    }
    bool GoOnline()
    {
        m_core->Choose(OnlineStatus::Online);
        return m_core->PumpUntil([&] { return m_core->Record().CountText("Online") >= 1; }, 60000);
    }
    ContactStore& Store() { return m_core->Account()->Store(); }

    ListRequest SentListRequest()
    {
        ListRequest request;
        for (const auto& frame : m_core->Record().BosFrames()) {
            if (!frame->Snac() || frame->Snac()->Family() != 0x13 || frame->Snac()->Subtype() != 0x05)
                continue;
            oscar::ByteReader reader(frame->Snac()->Data()->Bytes());
            request.sent = reader.ReadU32BE(request.date) && reader.ReadU16BE(request.count);
        }
        return request;
    }
    int ReceivedListSnacs(std::uint16_t subtype)
    {
        int count = 0;
        for (const auto& frame : m_core->Record().ReceivedBos()) {
            if (frame->Snac() && frame->Snac()->Family() == 0x13 && frame->Snac()->Subtype() == subtype)
                ++count;
        }
        return count;
    }

};

TEST_F(CacheSignOnTest, SecondSignOnSendsTheCachedDateAndCountAndIsUpToDate)
{
    StoreList();
    m_server = std::make_unique<live::ServerProcess>(m_folder, kAccounts);
    ASSERT_TRUE(m_server->Ready());
    NewCore();
    ASSERT_TRUE(GoOnline());
    ListRequest first = SentListRequest();
    ASSERT_TRUE(first.sent);
    EXPECT_EQ(first.date, 0u);
    EXPECT_EQ(first.count, 0);
    EXPECT_GE(ReceivedListSnacs(0x06), 1);
    struct stat info {};
    ASSERT_EQ(::stat((m_folder + "/100001.xml").c_str(), &info), 0) << "the received list is cached";

    // An unsent message text, kept in the cache by the account's save.
    Store().SetCachedText(Store().FindContact(u"300001"), u"see you\r\nat eight");
    m_core->Account()->SaveCache();

    NewCore();  // a restart: the new account loads the cache at start
    EXPECT_EQ(Store().ListDate(), kListDate);
    EXPECT_EQ(Store().ListCount(), 4);
    ASSERT_TRUE(Store().FindContact(u"300002"));
    EXPECT_EQ(Store().FindContact(u"300002")->groupId, 1);
    ASSERT_TRUE(Store().FindContact(u"300001"));
    EXPECT_EQ(Store().FindContact(u"300001")->cachedText, u"see you\r\nat eight");

    ASSERT_TRUE(GoOnline());
    ListRequest second = SentListRequest();
    ASSERT_TRUE(second.sent);
    EXPECT_EQ(second.date, kListDate);
    EXPECT_EQ(second.count, 4);
    EXPECT_EQ(ReceivedListSnacs(0x0F), 1);
    EXPECT_EQ(ReceivedListSnacs(0x06), 0);
    EXPECT_EQ(Store().FindGroup(1)->contacts.size(), 3u);
}

}  // namespace
