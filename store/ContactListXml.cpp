#include "store/ContactListXml.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_set>

#include "app/HexDigit.h"
#include "app/Uin.h"
#include "platform/text/CaseMapping.h"
#include "platform/xml/XmlDocument.h"

namespace store {
namespace {

using platform::xml::NodeKind;
using platform::xml::XmlDocument;
using platform::xml::XmlNode;

WideString Decimal(std::int64_t value)
{
    std::string digits = std::to_string(value);
    return WideString(digits.begin(), digits.end());
}

XmlNode AppendElement(XmlDocument& document, XmlNode parent, std::u16string_view name)
{
    return parent.AppendChild(document.CreateElement(name));
}

void WriteContact(XmlDocument& document, XmlNode parent, const Contact& contact)
{
    XmlNode element = AppendElement(document, parent, u"Contact");
    element.SetAttribute(u"ID", Decimal(contact.itemId));
    if (!contact.uin.empty())
        element.SetAttribute(u"UIN", contact.uin);
    if (!contact.nickname.empty())
        element.SetAttribute(u"Name", contact.nickname);
    if (contact.notAuthorised)
        element.SetAttribute(u"NotAuth", u"1");
    if (!contact.cachedText.empty())
        AppendElement(document, element, u"Cache").SetText(contact.cachedText);
}

bool IsElementNamed(const XmlNode& node, std::u16string_view upperName)
{
    return node.Kind() == NodeKind::Element && platform::ToUpper(node.Name()) == upperName;
}

// "Name", or the decoded "HName" when "Name" is empty or missing.
WideString ReadName(const XmlNode& element)
{
    std::optional<WideString> name = element.Attribute(u"Name");
    if (name && !name->empty())
        return *name;
    std::optional<WideString> hex = element.Attribute(u"HName");
    return hex ? DecodeHexName(*hex) : WideString();
}

// A contact element (its own name is not checked). Skipped without a UIN,
// with text that is not a UIN (a hand-edited file; such text could also name
// history files outside the account's folder), and when the store already
// holds the UIN: the first entry of a UIN wins.
void ReadContact(ContactStore& store, const XmlNode& element, std::uint16_t groupId)
{
    std::optional<WideString> uin = element.Attribute(u"UIN");
    if (!uin || !app::IsUinText(*uin))
        return;
    auto contact = MakeRef<Contact>(*uin);
    contact->itemId = static_cast<std::uint16_t>(ParseDecimal(element.Attribute(u"ID").value_or(u"0")));
    contact->nickname = ReadName(element);
    contact->notAuthorised = element.Attribute(u"NotAuth") == WideString(u"1");
    contact->groupId = groupId;
    if (store.AddContact(contact) != contact)
        return;
    for (XmlNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (IsElementNamed(child, u"CACHE")) {
            WideString text = child.Text();
            if (!text.empty())
                store.SetCachedText(contact, text);
            break;
        }
    }
}

// A group element and the contacts inside it. A group without "ID" is
// skipped with its contacts. An id that is 0 in its 16 bits cannot name a
// group; its contacts are kept, outside every group.
void ReadGroup(ContactStore& store, const XmlNode& element)
{
    std::optional<WideString> id = element.Attribute(u"ID");
    if (!id)
        return;
    auto groupId = static_cast<std::uint16_t>(ParseDecimal(*id));
    RefPtr<ContactGroup> group = store.AddGroup(groupId, ReadName(element));
    for (XmlNode child = element.FirstChild(); child; child = child.NextSibling())
        ReadContact(store, child, group ? group->id : 0);
}

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

WideString ContactListToXml(ContactStore& store)
{
    XmlDocument document;
    XmlNode root = document.Node().AppendChild(document.CreateElement(u"ContactList"));
    platform::CriticalSectionLock guard(store.Lock());
    // The date is an unsigned 32-bit value written as a signed number.
    root.SetAttribute(u"ModDate", Decimal(static_cast<std::int32_t>(store.ListDate())));
    root.SetAttribute(u"ItemCount", Decimal(store.ListCount()));
    std::unordered_set<const Contact*> written;
    for (const RefPtr<ContactGroup>& group : store.Groups()) {
        XmlNode element = AppendElement(document, root, u"Group");
        element.SetAttribute(u"ID", Decimal(group->id));
        element.SetAttribute(u"Name", group->name);
        for (const RefPtr<Contact>& contact : group->contacts) {
            WriteContact(document, element, *contact);
            written.insert(contact.Get());
        }
    }
    // Every contact not written inside a group goes under the root, also one
    // whose group id names no group of the store, so that none is lost.
    for (const RefPtr<Contact>& contact : store.Contacts()) {
        if (written.count(contact.Get()) == 0)
            WriteContact(document, root, *contact);
    }
    return document.ToText();
}

bool ContactListFromXml(ContactStore& store, std::u16string_view text)
{
    XmlDocument document;
    if (!document.LoadText(text))
        return false;
    XmlNode root = document.DocumentElement();
    if (std::optional<WideString> date = root.Attribute(u"ModDate"))
        store.SetListDateAndCount(static_cast<std::uint32_t>(ParseDecimal(*date)), store.ListCount());
    if (std::optional<WideString> count = root.Attribute(u"ItemCount"))
        store.SetListDateAndCount(store.ListDate(), static_cast<std::uint16_t>(ParseDecimal(*count)));
    for (XmlNode child = root.FirstChild(); child; child = child.NextSibling()) {
        if (IsElementNamed(child, u"GROUP"))
            ReadGroup(store, child);
        else if (IsElementNamed(child, u"CONTACT"))
            ReadContact(store, child, 0);
    }
    return true;
}

std::int32_t ParseDecimal(std::u16string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
        negative = text[at++] == u'-';
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at)
        value = std::min(value * 10 + (text[at] - u'0'), kLimit);
    value = negative ? -value : std::min(value, kLimit - 1);
    return static_cast<std::int32_t>(value);
}

WideString DecodeHexName(std::u16string_view hex)
{
    WideString name;
    unsigned unit = 0;
    int digits = 0;
    for (char16_t c : hex) {
        int digit = app::HexDigitValue(c);
        if (digit < 0)
            continue;
        unit = unit << 4 | static_cast<unsigned>(digit);
        if (++digits < 4)
            continue;
        if (unit == 0)
            break;
        name.push_back(static_cast<char16_t>(unit));
        unit = 0;
        digits = 0;
    }
    return name;
}

}  // namespace store
