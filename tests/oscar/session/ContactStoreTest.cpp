#include <gtest/gtest.h>

#include "oscar/ContactStore.h"
#include "oscar/ServerListItem.h"
#include "oscar/SignOnCommands.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

oscar::ServerListItem Item(std::string name, std::uint16_t group, std::uint16_t id, std::uint16_t type, Bytes data = {})
{
    oscar::ServerListItem item;
    item.name = std::move(name);
    item.groupId = group;
    item.itemId = id;
    item.type = type;
    item.data = std::move(data);
    return item;
}

Bytes ListPart(const std::vector<oscar::ServerListItem>& items, std::uint16_t count, bool withDate)
{
    auto buffer = MakeRef<oscar::ByteBuffer>();
    buffer->AppendU8(0);
    buffer->AppendU16(count);
    for (const auto& item : items)
        item.Write(*buffer);
    if (withDate)
        buffer->AppendU32(0x11223344);
    return Bytes(buffer->Bytes().begin(), buffer->Bytes().end());
}

TEST(ServerListPart, ReadsItemsAndTheDateOfTheLastPart)
{
    Bytes nick = {0x01, 0x31, 0x00, 0x03, 'B', 'o', 'b'};
    Bytes data = ListPart({Item("Friends", 5, 0, 1), Item("1001", 5, 60, 0, nick)}, 2, true);
    oscar::ServerListPart part = oscar::ReadServerListPart(data, true);
    EXPECT_TRUE(part.complete);
    ASSERT_EQ(part.items.size(), 2u);
    EXPECT_EQ(part.items[1].name, "1001");
    EXPECT_EQ(part.date, 0x11223344u);
    oscar::ServerListPart middle = oscar::ReadServerListPart(ListPart({Item("1", 0, 1, 0)}, 1, false), false);
    EXPECT_EQ(middle.items.size(), 1u);
}

TEST(ServerListPart, BadLengthsKeepTheItemsReadSoFar)
{
    struct Case {
        const char* name;
        Bytes data;
        std::size_t items;
    } cases[] = {
        {"empty", {}, 0},
        {"count larger than the data", ListPart({Item("1", 0, 1, 0)}, 500, true), 1},
        {"name length past the end", Bytes{0, 0, 1, 0xFF, 0xFF, 'a', 0, 0, 0, 0}, 0},
        {"data length past the end", ListPart({Item("1", 0, 1, 0)}, 2, false), 1},
    };
    // Break the last item of case 4 by claiming more data than follows.
    cases[3].data.insert(cases[3].data.end(), {0, 1, '2', 0, 0, 0, 2, 0, 0, 0xFF, 0xFF, 1});
    for (const Case& c : cases) {
        oscar::ServerListPart part = oscar::ReadServerListPart(c.data, c.name != std::string("data length past the end"));
        EXPECT_EQ(part.items.size(), c.items) << c.name;
    }
}

TEST(ContactStore, ApplyServerListReplacesTheModel)
{
    auto store = MakeRef<ContactStore>();
    auto stale = MakeRef<Contact>(u"999");
    stale->itemId = 70;
    stale->groupId = 9;
    store->AddGroup(9, u"Old");
    store->AddContact(stale);

    Bytes nick = {0x01, 0x31, 0x00, 0x03, 'B', 'o', 'b'};
    Bytes awaiting = {0x00, 0x66, 0x00, 0x00};
    Bytes privacy = {0x00, 0xCA, 0x00, 0x01, 0x04};
    std::vector<oscar::ServerListItem> items = {
        Item("", 0, 0, 1),  // master group: skipped
        Item("1001", 5, 60, 0, nick),
        Item("Friends", 5, 0, 1),
        Item("1002", 5, 61, 0, awaiting),
        Item("", 0, 77, 4, privacy),
    };
    store->ApplyServerList(items, 1234);
    EXPECT_EQ(store->ListDate(), 1234u);
    EXPECT_EQ(store->ListCount(), 5);
    EXPECT_EQ(store->PrivacyItemId(), 77);
    EXPECT_EQ(store->PrivacyValue(), 4);
    ASSERT_EQ(store->Groups().size(), 1u);
    EXPECT_EQ(store->Groups()[0]->name, u"Friends");
    EXPECT_EQ(store->Groups()[0]->contacts.size(), 2u);
    RefPtr<Contact> bob = store->FindContact(u"1001");
    ASSERT_TRUE(bob);
    EXPECT_EQ(bob->nickname, u"Bob");
    EXPECT_EQ(bob->itemId, 60);
    EXPECT_FALSE(bob->notAuthorised);
    EXPECT_TRUE(store->FindContact(u"1002")->notAuthorised);
    // Not on the list any more: kept, outside any group.
    EXPECT_EQ(stale->groupId, 0);
    EXPECT_EQ(stale->itemId, 0);
    EXPECT_EQ(store->Uins().size(), 3u);
}

TEST(ContactStore, PrivacyUpdateFrameCarriesTheValue)
{
    RefPtr<oscar::FlapFrame> frame = oscar::BuildPrivacyUpdate(77, 3);
    ASSERT_TRUE(frame->Snac());
    EXPECT_EQ(frame->Snac()->RequestId(), 9u);
    Bytes data(frame->Snac()->Data()->Bytes().begin(), frame->Snac()->Data()->Bytes().end());
    EXPECT_EQ(data, (Bytes{0, 0, 0, 0, 0, 77, 0, 4, 0, 5, 0x00, 0xCA, 0x00, 0x01, 3}));
}

TEST(ContactStore, MarksExpireAfterFiveMinutes)
{
    auto store = MakeRef<ContactStore>();
    auto contact = store->AddContact(MakeRef<Contact>(u"5"));
    contact->mark = true;
    contact->markTick = 1000;
    store->ExpireMarks(1000 + 299999);
    EXPECT_TRUE(contact->mark);
    store->ExpireMarks(1000 + 300000);
    EXPECT_FALSE(contact->mark);
}

}  // namespace
