// The server-stored list, its changes and presence against the local server.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "oscar/OnlineStatus.h"
#include "oscar/codec/ByteReader.h"
#include "tests/oscar/live/LiveTest.h"

namespace {

const char* kAccounts = R"(<accounts>
  <account uin="100001" password="demo" nick="Demo"/>
  <account uin="100002" password="friend" nick="Friend"/>
  <account uin="100003" password="shy" nick="Shy"/>
  <account uin="100004" password="wary" nick="Wary" auth="1"/>
</accounts>)";

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

class ContactListTest : public live::LiveTest {
protected:
    ContactListTest() : LiveTest("corvane-list") {}

    // A stored list for 100001 in the server's data folder: groups 1
    // "General" and 2 "Work", a privacy item, and `contacts` contacts.
    void StoreList(int contacts)
    {
        std::string folder = m_folder + "/server-data";
        std::string command = "mkdir -p '" + folder + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ofstream list(folder + "/100001.list");
        list << "date 1700000000\n";
        list << "item 1 0 0 - -\n";
        list << "item 1 1 0 " << Hex("General") << " -\n";
        list << "item 1 2 0 " << Hex("Work") << " -\n";
        list << "item 4 0 30 - " << Hex(std::string("\x00\xCA\x00\x01\x04", 5)) << "\n";
        for (int i = 0; i < contacts; ++i)
            list << "item 0 1 " << 100 + i << " " << Hex(std::to_string(300000 + i)) << " -\n";
    }

    void Start()
    {
        m_server = std::make_unique<live::ServerProcess>(m_folder, kAccounts);
        ASSERT_TRUE(m_server->Ready());
        NewCore();
    }
    void NewCore()
    {
        m_core.reset();
        m_core = std::make_unique<live::LiveCore>(
            m_folder, "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=" + m_server->LoginHost() + "\r\n");
    }
    bool GoOnline(int times = 1)
    {
        m_core->Choose(OnlineStatus::Online);
        return m_core->PumpUntil([&] { return m_core->Record().CountText("Online") >= times; }, 60000);
    }
    ContactStore& Store() { return m_core->Account()->Store(); }

    // The status (0x01/0x1E) and list-update (0x13/0x09) commands sent on
    // BOS from index on, as family << 16 | subtype.
    std::vector<std::uint32_t> SentSince(std::size_t from)
    {
        std::vector<std::uint32_t> snacs;
        auto frames = m_core->Record().BosFrames();
        for (std::size_t i = from; i < frames.size(); ++i) {
            if (!frames[i]->Snac())
                continue;
            std::uint32_t key = static_cast<std::uint32_t>(frames[i]->Snac()->Family()) << 16 | frames[i]->Snac()->Subtype();
            if (key == 0x0001001E || key == 0x00130009)
                snacs.push_back(key);
        }
        return snacs;
    }

};

TEST_F(ContactListTest, LargeListArrivesInPartsAndIsAppliedOnce)
{
    StoreList(600);
    Start();
    ASSERT_TRUE(GoOnline());
    std::vector<std::uint16_t> partFlags;
    for (const auto& frame : m_core->Record().ReceivedBos()) {
        if (frame->Snac() && frame->Snac()->Family() == 0x13 && frame->Snac()->Subtype() == 0x06)
            partFlags.push_back(frame->Snac()->Flags() & 1);
    }
    ASSERT_GE(partFlags.size(), 2u);
    EXPECT_EQ(partFlags.back(), 0);
    EXPECT_EQ(partFlags.front(), 1);
    EXPECT_EQ(Store().ListDate(), 1700000000u);
    EXPECT_EQ(Store().Groups().size(), 2u);
    EXPECT_EQ(Store().FindGroup(1)->contacts.size(), 600u);
    EXPECT_EQ(Store().PrivacyItemId(), 30);
}

TEST_F(ContactListTest, CachedEntriesMissingFromTheListAreKeptOutsideIt)
{
    StoreList(2);
    Start();
    ContactStore& store = Store();
    store.AddGroup(9, u"Old");
    auto cached = MakeRef<Contact>(u"555");
    cached->nickname = u"Cached";
    cached->itemId = 70;
    cached->groupId = 9;
    store.AddContact(cached);
    auto member = MakeRef<Contact>(u"300000");
    member->groupId = 9;
    store.AddContact(member);
    ASSERT_TRUE(GoOnline());
    EXPECT_FALSE(store.FindGroup(9));
    EXPECT_EQ(cached->nickname, u"Cached");
    EXPECT_EQ(cached->groupId, 0);
    EXPECT_EQ(cached->itemId, 0);
    EXPECT_EQ(member->groupId, 1);  // the list puts it in General
}

TEST_F(ContactListTest, AddMoveAndDeleteAreThereAtTheNextSignOn)
{
    StoreList(1);
    Start();
    ASSERT_TRUE(GoOnline());
    RefPtr<IcqAccount> account = m_core->Account();
    ASSERT_TRUE(account->AddContact(u"100002", u"Frank", 1, true));
    ASSERT_TRUE(account->AddContact(u"100003", u"Sam", 1, false));
    ASSERT_TRUE(account->MoveContact(u"100002", 2));
    ASSERT_TRUE(account->DeleteContact(u"300000"));
    EXPECT_FALSE(account->DeleteContact(u"999999"));
    // Each change is bracketed and acknowledged.
    ASSERT_TRUE(m_core->PumpUntil(
        [&] {
            int acks = 0;
            for (const auto& frame : m_core->Record().ReceivedBos())
                acks += frame->Snac() && frame->Snac()->Family() == 0x13 && frame->Snac()->Subtype() == 0x0E;
            return acks >= 4;
        },
        20000));

    NewCore();
    ASSERT_TRUE(GoOnline(1));
    ContactStore& store = Store();
    RefPtr<Contact> frank = store.FindContact(u"100002");
    ASSERT_TRUE(frank);
    EXPECT_EQ(frank->nickname, u"Frank");
    EXPECT_EQ(frank->groupId, 2);
    EXPECT_NE(frank->itemId, 0);
    ASSERT_TRUE(store.FindContact(u"100003"));
    EXPECT_TRUE(store.FindContact(u"100003")->notAuthorised);
    EXPECT_FALSE(store.FindContact(u"300000"));
}

// 100004 requires authorisation. Added without the awaiting-authorisation
// mark, or moved (a move deletes the item and adds it anew), the server
// refuses the add; the account sends it again with the mark instead of
// losing the contact from the server-stored list.
TEST_F(ContactListTest, AddsRefusedForWantOfAuthorisationAreSentAgainWithTheMark)
{
    StoreList(1);
    Start();
    ASSERT_TRUE(GoOnline());
    RefPtr<IcqAccount> account = m_core->Account();
    ASSERT_TRUE(account->AddContact(u"100004", u"Wary", 1, true));
    // The add (refused), the group update, the add again with the mark.
    ASSERT_TRUE(m_core->PumpUntil(
        [&] {
            int acks = 0;
            for (const auto& frame : m_core->Record().ReceivedBos())
                acks += frame->Snac() && frame->Snac()->Family() == 0x13 && frame->Snac()->Subtype() == 0x0E;
            return acks >= 3;
        },
        20000));
    EXPECT_TRUE(Store().FindContact(u"100004")->notAuthorised);

    NewCore();
    ASSERT_TRUE(GoOnline(1));
    RefPtr<Contact> wary = Store().FindContact(u"100004");
    ASSERT_TRUE(wary);
    EXPECT_NE(wary->itemId, 0);
    EXPECT_TRUE(wary->notAuthorised);
}

TEST_F(ContactListTest, InvisibilityChangesPrivacyBeforeStatusAndAfterItWhenLeft)
{
    StoreList(0);
    Start();
    ASSERT_TRUE(GoOnline());
    // "Online" can be shown before the worker handed over the sign-on's own
    // status command.
    ASSERT_TRUE(m_core->PumpUntil([&] { return !SentSince(0).empty(); }, 10000));
    std::size_t mark = m_core->Record().BosFrames().size();
    m_core->Choose(OnlineStatus::Invisible);
    ASSERT_TRUE(m_core->PumpUntil([&] { return SentSince(mark).size() >= 2; }, 10000));
    EXPECT_EQ(SentSince(mark), (std::vector<std::uint32_t>{0x00130009, 0x0001001E}));

    mark = m_core->Record().BosFrames().size();
    m_core->Choose(OnlineStatus::Online);
    ASSERT_TRUE(m_core->PumpUntil([&] { return SentSince(mark).size() >= 2; }, 10000));
    EXPECT_EQ(SentSince(mark), (std::vector<std::uint32_t>{0x0001001E, 0x00130009}));

    mark = m_core->Record().BosFrames().size();
    m_core->Choose(OnlineStatus::Online);  // already the desired status
    m_core->PumpFor(2000);
    EXPECT_TRUE(SentSince(mark).empty());
}

TEST_F(ContactListTest, SecondLoginElsewhereDisconnectsWithTheReasonAndNoRelogin)
{
    StoreList(0);
    Start();
    ASSERT_TRUE(GoOnline());
    // The same account signs on from another place: the console front-end.
    std::string script = m_folder + "/other.txt";
    std::ofstream(script) << "account 100001 demo " << m_server->LoginHost() << "\nstatus online\nwait-for Online 60\nquit\n";
    std::string command = std::string("CORVANE_TIME_SCALE=50 CORVANE_DEVICE='") + m_folder + "/dev' '" +
                          CORVANE_CLI_PROGRAM + "' --folder '" + m_folder + "/other' --script '" + script +
                          "' > '" + m_folder + "/other.log' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(m_core->PumpUntil([&] { return m_core->Record().Count(EventType::SessionOffline) == 1; }, 20000));
    EXPECT_EQ(m_core->Core().LastErrorText(),
              u"You have been disconnected by ICQ server.\r\nReason: 1 (logged on from another location)");
    m_core->PumpFor(30000);
    EXPECT_EQ(m_core->Record().CountText("Finding host"), 1);
    EXPECT_EQ(m_core->Session()->DesiredStatus(), OnlineStatus::Offline);
}

}  // namespace
