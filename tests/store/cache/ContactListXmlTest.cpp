// The cache's document form: what save writes, and what load makes of files
// written by save, by hand, or broken.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/WideString.h"
#include "platform/xml/XmlDocument.h"
#include "store/ContactListCache.h"
#include "store/ContactListXml.h"

namespace {

using platform::xml::XmlDocument;
using platform::xml::XmlNode;

RefPtr<Contact> NewContact(const std::u16string& uin, const std::u16string& name, std::uint16_t itemId,
                           std::uint16_t groupId)
{
    auto contact = MakeRef<Contact>(uin);
    contact->nickname = name;
    contact->itemId = itemId;
    contact->groupId = groupId;
    return contact;
}

// Two groups and one contact outside them, with every field the file keeps.
RefPtr<ContactStore> SampleStore()
{
    auto store = MakeRef<ContactStore>();
    store->SetListDateAndCount(0xF0000001u, 7);
    store->AddGroup(3, u"Friends & \"Family\"");
    store->AddGroup(9, u"Работа");
    store->AddContact(NewContact(u"1001", u"Ann", 101, 3));
    auto pending = NewContact(u"1002", u"", 102, 3);
    pending->notAuthorised = true;
    store->AddContact(pending);
    store->AddContact(NewContact(u"1003", u"Bob <b>", 103, 9));
    store->AddContact(NewContact(u"2000", u"Loose", 0, 0));
    store->SetCachedText(store->FindContact(u"1003"), u"unsent\r\nline two");
    return store;
}

void Load(ContactStore& store, const std::u16string& text)
{
    platform::CriticalSectionLock guard(store.Lock());
    EXPECT_TRUE(store::ContactListFromXml(store, text));
}

TEST(ContactListXml, SaveWritesGroupsThenLooseContacts)
{
    RefPtr<ContactStore> store = SampleStore();
    XmlDocument document;
    ASSERT_TRUE(document.LoadText(store::ContactListToXml(*store)));
    XmlNode root = document.DocumentElement();
    EXPECT_EQ(root.Name(), u"ContactList");
    EXPECT_EQ(root.Attribute(u"ModDate"), u"-268435455");  // the unsigned date as a signed number
    EXPECT_EQ(root.Attribute(u"ItemCount"), u"7");
    std::vector<XmlNode> children = root.Children();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0].Name(), u"Group");
    EXPECT_EQ(children[0].Attribute(u"ID"), u"3");
    EXPECT_EQ(children[0].Attribute(u"Name"), u"Friends & \"Family\"");
    EXPECT_EQ(children[1].Name(), u"Group");
    EXPECT_EQ(children[2].Name(), u"Contact");
    EXPECT_EQ(children[2].Attribute(u"UIN"), u"2000");

    XmlNode pending = children[0].Children()[1];
    EXPECT_EQ(pending.Attribute(u"UIN"), u"1002");
    EXPECT_EQ(pending.Attribute(u"Name"), std::nullopt);  // an empty name is left out
    EXPECT_EQ(pending.Attribute(u"NotAuth"), u"1");
    EXPECT_EQ(children[0].Children()[0].Attribute(u"NotAuth"), std::nullopt);
    EXPECT_EQ(children[1].SelectSingleNode(u"Contact/Cache").Text(), u"unsent\r\nline two");
    EXPECT_TRUE(children[0].SelectSingleNode(u"Contact/Cache").IsNull());
}

TEST(ContactListXml, RoundTripKeepsEveryCachedField)
{
    RefPtr<ContactStore> saved = SampleStore();
    auto loaded = MakeRef<ContactStore>();
    ASSERT_TRUE(store::DecodeContactListCache(*loaded, store::EncodeContactListCache(*saved)));
    EXPECT_EQ(loaded->ListDate(), 0xF0000001u);
    EXPECT_EQ(loaded->ListCount(), 7);
    ASSERT_EQ(loaded->Groups().size(), 2u);
    EXPECT_EQ(loaded->Groups()[0]->name, u"Friends & \"Family\"");
    EXPECT_EQ(loaded->Groups()[1]->name, u"Работа");
    ASSERT_EQ(loaded->Groups()[0]->contacts.size(), 2u);
    EXPECT_EQ(loaded->Groups()[0]->contacts[0]->uin, u"1001");
    for (const RefPtr<Contact>& original : saved->Contacts()) {
        RefPtr<Contact> copy = loaded->FindContact(original->uin);
        ASSERT_TRUE(copy) << platform::WideToUtf8(original->uin);
        EXPECT_EQ(copy->nickname, original->nickname);
        EXPECT_EQ(copy->itemId, original->itemId);
        EXPECT_EQ(copy->groupId, original->groupId);
        EXPECT_EQ(copy->notAuthorised, original->notAuthorised);
        EXPECT_EQ(copy->cachedText, original->cachedText);
    }
    // A cached text raises the mark, as setting it by hand does.
    EXPECT_TRUE(loaded->FindContact(u"1003")->mark);
    EXPECT_FALSE(loaded->FindContact(u"1001")->mark);
}

TEST(ContactListXml, ContactWhoseGroupIsUnknownIsStillSaved)
{
    auto store = MakeRef<ContactStore>();
    store->AddContact(NewContact(u"77", u"Orphan", 5, 42));  // no group 42
    auto loaded = MakeRef<ContactStore>();
    store::DecodeContactListCache(*loaded, store::EncodeContactListCache(*store));
    ASSERT_TRUE(loaded->FindContact(u"77"));
    EXPECT_EQ(loaded->FindContact(u"77")->groupId, 0);
}

TEST(ContactListXml, HandEditedFilesAreReadTolerantly)
{
    auto store = MakeRef<ContactStore>();
    Load(*store,
         u"<contactlist ModDate='5' ItemCount='70000'>"
         u"<group ID='1' HName='00410042'><contact ID='11' UIN='111' Name='' HName='0063'/></group>"
         u"<GROUP Name='no id'><Contact ID='12' UIN='112'/></GROUP>"
         u"<Group ID='2' Name='Plain' HName='0058'><Anything UIN='113' NotAuth='true'><cache>hi</cache></Anything>"
         u"some text<!-- and a comment --></Group>"
         u"<Contact UIN='114' Name='No id' NotAuth='1'/>"
         u"<Contact ID='15' Name='No UIN'/><Contact ID='16' UIN=''/>"
         u"<Contact ID='17' UIN='../../elsewhere'/><Contact ID='18' UIN='..'/><Contact ID='19' UIN='a\\b'/>"
         u"<Unknown ID='3' UIN='115'/>"
         u"</contactlist>");
    EXPECT_EQ(store->ListDate(), 5u);
    EXPECT_EQ(store->ListCount(), 70000 & 0xFFFF);
    ASSERT_EQ(store->Groups().size(), 2u);
    EXPECT_EQ(store->FindGroup(1)->name, u"AB");
    EXPECT_EQ(store->FindGroup(2)->name, u"Plain");  // "HName" only stands in for an empty "Name"
    EXPECT_EQ(store->FindContact(u"111")->nickname, u"c");
    EXPECT_EQ(store->FindContact(u"111")->groupId, 1);
    EXPECT_FALSE(store->FindContact(u"112")) << "the group without an id takes its contacts along";
    EXPECT_EQ(store->FindContact(u"113")->groupId, 2);
    EXPECT_FALSE(store->FindContact(u"113")->notAuthorised);
    EXPECT_EQ(store->FindContact(u"113")->cachedText, u"hi");
    EXPECT_EQ(store->FindContact(u"114")->itemId, 0);
    EXPECT_TRUE(store->FindContact(u"114")->notAuthorised);
    EXPECT_FALSE(store->FindContact(u"115"));
    EXPECT_FALSE(store->FindContact(u"../../elsewhere")) << "a UIN names history files";
    EXPECT_FALSE(store->FindContact(u".."));
    EXPECT_FALSE(store->FindContact(u"a\\b"));
    EXPECT_EQ(store->Contacts().size(), 3u);
}

TEST(ContactListXml, OddValuesAreReadByTheFileRules)
{
    auto store = MakeRef<ContactStore>();
    std::u16string hugeName(1 << 20, u'n');
    Load(*store,
         u"<Other ModDate='  -1xyz'>"
         u"<Group ID='65537' Name='wraps to 1'><Contact UIN='abc12'/><Contact UIN='1234567890123'/>"
         u"<Contact ID='65636' UIN='204' Name='" +
             hugeName +
             u"'/></Group>"
             u"<Group ID='65536' Name='is 0'><Contact ID='-1' UIN='201'/></Group>"
             u"<Contact ID='99999999999' UIN='202'/><Contact ID='x' UIN='203'/>"
             u"<Contact ID='1' UIN='201' Name='second entry of a UIN'/>"
             u"</Other>");
    EXPECT_EQ(store->ListDate(), 0xFFFFFFFFu);
    EXPECT_EQ(store->ListCount(), 0);
    EXPECT_EQ(store->FindGroup(1)->name, u"wraps to 1");
    // Text that is not a UIN (letters, 13 digits) is skipped; the entries
    // after it are read.
    EXPECT_FALSE(store->FindContact(u"abc12"));
    EXPECT_FALSE(store->FindContact(u"1234567890123"));
    EXPECT_EQ(store->FindContact(u"204")->itemId, 100);
    EXPECT_EQ(store->FindContact(u"204")->nickname.size(), hugeName.size());
    // Group id 0 names no group: its contacts stay, outside every group.
    EXPECT_EQ(store->Groups().size(), 1u);
    EXPECT_EQ(store->FindContact(u"201")->groupId, 0);
    EXPECT_EQ(store->FindContact(u"201")->itemId, 0xFFFF);
    EXPECT_EQ(store->FindContact(u"201")->nickname, u"");
    EXPECT_EQ(store->FindContact(u"202")->itemId, 0xFFFF);
    EXPECT_EQ(store->FindContact(u"203")->itemId, 0);
}

TEST(ContactListXml, DecimalAndHexNameReaders)
{
    struct Decimal {
        const char16_t* text;
        std::int32_t value;
    } decimals[] = {
        {u"42", 42},           {u" \t+7", 7},        {u"-12abc", -12},      {u"abc", 0},      {u"", 0},
        {u"- 5", 0},           {u"2147483647", 2147483647}, {u"2147483648", 2147483647},
        {u"-2147483648", -2147483647 - 1},  {u"-99999999999999999999", -2147483647 - 1},
    };
    for (const Decimal& d : decimals)
        EXPECT_EQ(store::ParseDecimal(d.text), d.value) << platform::WideToUtf8(d.text);

    struct Hex {
        const char16_t* text;
        std::u16string name;
    } hexes[] = {
        {u"0041", u"A"},        {u"00410062", u"Ab"},     {u"00 4-1:00|6a", u"Aj"},
        {u"0041000000420", u"A"}, {u"004", u""},          {u"d83dDE00", u"\U0001F600"},
        {u"zz", u""},
    };
    for (const Hex& h : hexes)
        EXPECT_EQ(store::DecodeHexName(h.text), h.name) << platform::WideToUtf8(h.text);
}

TEST(ContactListXml, BrokenBytesLeaveTheStoreEmpty)
{
    std::string valid = store::EncodeContactListCache(*SampleStore());
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t contacts;
    } cases[] = {
        {"no bytes", "", 0},
        {"one byte", "\xFF", 0},
        {"only the byte-order mark", "\xFF\xFE", 0},
        {"three bytes", "\xFF\xFE<", 0},
        {"malformed", std::string("\xFF\xFE<\0a\0", 6), 0},
        {"eight-bit text", "\xFF\xFE<ContactList/>", 0},
        {"odd byte count", valid + "x", 4},
        {"truncated by one character", valid.substr(0, valid.size() - 2), 0},
        {"zero character ends the text", valid + std::string("\0\0<\0", 4), 4},
        {"no byte-order mark check", "AB" + valid.substr(2), 4},
    };
    for (const Case& c : cases) {
        RefPtr<ContactStore> store = SampleStore();  // a load starts from an empty store
        store::DecodeContactListCache(*store, c.bytes);
        EXPECT_EQ(store->Contacts().size(), c.contacts) << c.name;
        if (c.contacts == 0) {
            EXPECT_TRUE(store->Groups().empty()) << c.name;
        }
    }
}

}  // namespace
