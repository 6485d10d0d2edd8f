#include <gtest/gtest.h>

#include "app/AppCore.h"
#include "oscar/ContactStore.h"
#include "oscar/ListCommands.h"
#include "oscar/OnlineHandler.h"
#include "oscar/ProtocolErrors.h"
#include "oscar/UserInfo.h"
#include "oscar/codec/FrameParser.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

RefPtr<Contact> Make(const char16_t* uin, const char16_t* nick = u"")
{
    auto c = MakeRef<Contact>(uin);
    c->nickname = nick;
    return c;
}

std::vector<WideString> Order(ContactStore& store)
{
    std::vector<WideString> uins;
    for (const auto& c : store.Contacts())
        uins.push_back(c->uin);
    return uins;
}

TEST(ContactOrder, AttentionThenOnlineThenNameThenUin)
{
    auto store = MakeRef<ContactStore>();
    auto zed = store->AddContact(Make(u"1", u"Zed"));
    auto amy = store->AddContact(Make(u"2", u"amy"));
    auto bob = store->AddContact(Make(u"3", u"Bob"));
    auto noName = store->AddContact(Make(u"9"));  // shown by its UIN
    auto twinA = store->AddContact(Make(u"20", u"Twin"));
    auto twinB = store->AddContact(Make(u"10", u"Twin"));
    // Digits collate before letters; equal names fall back to the UIN.
    EXPECT_EQ(Order(*store), (std::vector<WideString>{u"9", u"2", u"3", u"10", u"20", u"1"}));

    store->SetStatus(zed, OnlineStatus::Away);  // online before offline
    EXPECT_EQ(Order(*store).front(), u"1");
    store->SetTyping(bob, true);  // attention before everything
    EXPECT_EQ(Order(*store).front(), u"3");
    store->SetTyping(bob, false);
    store->SetUnread(twinA, true);
    EXPECT_EQ(Order(*store).front(), u"20");
    store->SetUnread(twinA, false);
    store->SetStatus(zed, OnlineStatus::Offline);
    EXPECT_EQ(Order(*store), (std::vector<WideString>{u"9", u"2", u"3", u"10", u"20", u"1"}));
    (void)amy;
    (void)noName;
    (void)twinB;
}

TEST(ContactOrder, EmptyDisplayNameComesFirst)
{
    auto store = MakeRef<ContactStore>();
    store->AddContact(Make(u"5", u"Al"));
    auto empty = MakeRef<Contact>(u"");
    store->AddContact(empty);
    EXPECT_EQ(Order(*store).front(), u"");
}

TEST(ContactStoreIds, NewItemIdIsTheSmallestFreeFromFifty)
{
    auto store = MakeRef<ContactStore>();
    EXPECT_EQ(store->NewItemId(), 50);
    const std::pair<const char16_t*, std::uint16_t> used[] = {{u"a", 50}, {u"b", 51}, {u"c", 53}};
    for (const auto& [uin, id] : used)
        store->AddContact(Make(uin))->itemId = id;
    EXPECT_EQ(store->NewItemId(), 52);
}

TEST(ListItems, ContactAndGroupItemsInWireForm)
{
    auto contact = Make(u"123", u"Zo\u00eb");
    contact->groupId = 7;
    contact->itemId = 0x0102;
    contact->notAuthorised = true;
    oscar::ServerListItem item = oscar::ContactItem(*contact);
    auto buffer = MakeRef<oscar::ByteBuffer>();
    ASSERT_TRUE(item.Write(*buffer));
    Bytes wire(buffer->Bytes().begin(), buffer->Bytes().end());
    // Non-ASCII nickname: its UTF-8 byte count (4) is the item length.
    Bytes expected = {0, 3, '1', '2', '3', 0, 7, 1, 2, 0, 0, 0, 12, 0, 0x66, 0, 0, 0x01, 0x31, 0, 4, 'Z', 'o', 0xC3, 0xAB};
    EXPECT_EQ(wire, expected);

    auto group = MakeRef<ContactGroup>(7, u"Friends");
    group->contacts.push_back(contact);
    auto offList = Make(u"9");
    group->contacts.push_back(offList);  // item id 0: not a member on the server
    oscar::ServerListItem g = oscar::GroupItem(*group);
    EXPECT_EQ(g.type, 1);
    EXPECT_EQ(g.itemId, 0);
    EXPECT_EQ(g.data, (Bytes{0x00, 0xC8, 0, 2, 1, 2}));
}

TEST(UserInfoDecoding, PresenceBlocksAndBadInput)
{
    Bytes good = {4, '1', '2', '3', '4', 0, 0, 0, 2, 0, 6, 0, 4, 0x10, 0, 0, 0x11, 0, 0x0D, 0, 16};
    good.insert(good.end(), kCapabilityUtf8.begin(), kCapabilityUtf8.end());
    std::optional<oscar::UserInfo> info = oscar::ReadUserInfo(good);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->uin, u"1234");
    EXPECT_EQ(info->Status(), 0x11);
    ASSERT_TRUE(info->Capabilities());
    EXPECT_EQ(info->Capabilities()->size(), 1u);

    // Exact: the block must end where its count says, since message items
    // follow it.
    std::size_t consumed = 0;
    Bytes followed = good;
    followed.insert(followed.end(), {0, 2, 0, 0});
    ASSERT_TRUE(oscar::ReadUserInfo(followed, oscar::UserInfoItems::Exact, &consumed));
    EXPECT_EQ(consumed, good.size());

    struct Case {
        const char* name;
        Bytes data;
        bool decodes;
        bool decodesExact;
    } cases[] = {
        {"empty", {}, false, false},
        {"uin length past the end", {9, '1', '2'}, false, false},
        {"empty uin", {0, 0, 0, 0, 0}, false, false},
        {"non-digit uin", {2, '1', 'x', 0, 0, 0, 0}, false, false},
        {"no header after uin", {1, '5'}, true, false},
        {"item count past the items", {1, '5', 0, 0, 0, 9, 0, 6, 0, 4, 0, 0, 0, 1}, true, false},
        {"item length past the end", {1, '5', 0, 0, 0, 1, 0, 6, 0, 40, 0}, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(oscar::ReadUserInfo(c.data).has_value(), c.decodes) << c.name;
        EXPECT_EQ(oscar::ReadUserInfo(c.data, oscar::UserInfoItems::Exact).has_value(), c.decodesExact) << c.name;
    }
    EXPECT_FALSE(oscar::ReadUserInfo(Bytes{1, '5', 0, 0, 0, 1, 0, 6, 0, 40, 0})->Status());
}

TEST(ProtocolErrorTexts, CodesAndDisconnects)
{
    EXPECT_EQ(oscar::ErrorSnacText(Bytes{0, 4}), u"Recipient is not logged in");
    EXPECT_EQ(oscar::ErrorSnacText(Bytes{0, 0x19}), u"Unknown ICQ-specific error");
    EXPECT_EQ(oscar::ErrorSnacText(Bytes{0, 0}), u"Unknown ICQ-specific error");
    EXPECT_EQ(oscar::ErrorSnacText(Bytes{7}), u"Unknown ICQ-specific error");
    EXPECT_EQ(oscar::ErrorCodeText(24), u"Not while on AOL");

    auto frame = [](Bytes reason) {
        auto f = MakeRef<oscar::FlapFrame>(oscar::kChannelSignOff);
        if (!reason.empty())
            f->AddItem(oscar::Tlv::FromBuffer(9, oscar::ByteBuffer::CopyOf(reason)));
        return f;
    };
    EXPECT_EQ(oscar::DisconnectText(*frame({0, 1})),
              u"You have been disconnected by ICQ server.\r\nReason: 1 (logged on from another location)");
    EXPECT_EQ(oscar::DisconnectText(*frame({0, 2})), u"You have been disconnected by ICQ server.\r\nReason: 2");
    EXPECT_EQ(oscar::DisconnectText(*frame({})), u"You have been disconnected by ICQ server");
    EXPECT_EQ(oscar::DisconnectText(*frame({0, 0, 1})), u"You have been disconnected by ICQ server");
}

class PresenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_core = MakeRef<AppCore>(nullptr, AppCoreParts{});
        m_store = MakeRef<ContactStore>();
        m_handler = MakeRef<oscar::OnlineHandler>(*m_core, m_store, nullptr);
    }
    static RefPtr<oscar::SnacCommand> Snac(oscar::CommandNumber number, Bytes data)
    {
        auto snac = MakeRef<oscar::SnacCommand>(number);
        snac->SetData(oscar::ByteBuffer::CopyOf(data));
        return snac;
    }
    RefPtr<AppCore> m_core;
    RefPtr<ContactStore> m_store;
    RefPtr<oscar::OnlineHandler> m_handler;
};

TEST_F(PresenceTest, NoticesUpdateAndCreateContacts)
{
    m_handler->OnPresence(*Snac(oscar::CommandNumber::ContactOnline, {3, '7', '7', '7', 0, 0, 0, 0}));
    RefPtr<Contact> c = m_store->FindContact(u"777");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->status, OnlineStatus::Online);  // no status item: online
    EXPECT_EQ(c->itemId, 0);
    std::size_t queued = m_core->QueuedEventCount();
    m_handler->OnPresence(*Snac(oscar::CommandNumber::ContactOnline, {3, '7', '7', '7', 0, 0, 0, 0}));
    EXPECT_EQ(m_core->QueuedEventCount(), queued);  // same status: no refresh
    m_store->SetTyping(c, true);
    m_handler->OnOffline(*Snac(oscar::CommandNumber::ContactOffline, {3, '7', '7', '7', 0, 0, 0, 0}));
    EXPECT_EQ(c->status, OnlineStatus::Offline);
    EXPECT_FALSE(c->typing);
}

TEST_F(PresenceTest, ManyNoticesForUnknownUinsGrowOnlyByWhatTheyName)
{
    for (int i = 0; i < 10000; ++i) {
        std::string uin = std::to_string(100000 + i % 500);
        Bytes data = {static_cast<std::uint8_t>(uin.size())};
        data.reserve(1 + uin.size() + 12);
        data.insert(data.end(), uin.begin(), uin.end());
        data.insert(data.end(), {0, 0, 0, 1, 0, 6, 0, 4, 0, 0, 0, static_cast<std::uint8_t>(i % 2)});
        m_handler->OnPresence(*Snac(oscar::CommandNumber::ContactOnline, data));
    }
    EXPECT_EQ(m_store->Contacts().size(), 500u);
}

TEST_F(PresenceTest, AuthorisationNotices)
{
    auto known = m_store->AddContact(Make(u"42"));
    known->notAuthorised = true;
    m_handler->OnAuthorisationRequest(*Snac(oscar::CommandNumber::AuthRequestReceived, {2, '4', '2', 0, 0}));
    EXPECT_TRUE(known->authorisationRequested);
    m_handler->OnAuthorisationRequest(*Snac(oscar::CommandNumber::AuthRequestReceived, {2, '4', '3'}));
    EXPECT_FALSE(m_store->FindContact(u"43"));  // unknown UINs are ignored
    m_handler->OnAuthorisationReply(*Snac(oscar::CommandNumber::AuthReplyReceived, {2, '4', '2', 0}));
    EXPECT_TRUE(known->notAuthorised);  // byte 0: not granted
    m_handler->OnAuthorisationReply(*Snac(oscar::CommandNumber::AuthReplyReceived, {2, '4', '2', 1, 0, 0}));
    EXPECT_FALSE(known->notAuthorised);
    m_handler->OnAddedYou(*Snac(oscar::CommandNumber::AddedYouNotice, {3, '5', '0', '0'}));
    EXPECT_TRUE(m_store->FindContact(u"500"));
    m_handler->OnAddedYou(*Snac(oscar::CommandNumber::AddedYouNotice, {0}));
    EXPECT_EQ(m_store->Contacts().size(), 2u);
}

}  // namespace
