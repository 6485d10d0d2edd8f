#include "oscar/meta/DirectoryText.h"

#include <cstdio>
#include <string>

#include "oscar/meta/DirectoryEvents.h"

namespace oscar {
namespace {

constexpr const char16_t* kLabels[kInfoFieldCount] = {
    u"UIN",    u"Nickname", u"First name", u"Last name", u"E-mail",   u"Phones",
    u"Gender", u"Age",      u"Birthday",   u"City",      u"Homepage", u"Notes",
};

WideString Ascii(const char* text)
{
    WideString wide;
    for (const char* c = text; *c != '\0'; ++c)
        wide += static_cast<char16_t>(static_cast<unsigned char>(*c));
    return wide;
}

WideString Decimal(unsigned value) { return Ascii(std::to_string(value).c_str()); }

void AppendJoined(WideString& text, const WideString& part)
{
    if (part.empty())
        return;
    if (!text.empty())
        text += u", ";
    text += part;
}

}  // namespace

WideString GenderText(std::uint8_t gender)
{
    switch (gender) {
    case 1:
        return u"Female";
    case 2:
        return u"Male";
    default:
        return {};
    }
}

WideString PhonesText(const BasicInfo& info)
{
    WideString text;
    for (const WideString* number : {&info.phone, &info.fax, &info.mobile})
        AppendJoined(text, *number);
    return text;
}

WideString CityText(const BasicInfo& info)
{
    WideString text = info.city;
    AppendJoined(text, info.state);
    return text;
}

WideString BirthdayText(const MoreInfo& info)
{
    if (info.birthDay == 0 || info.birthMonth == 0)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d.%04d", info.birthDay, info.birthMonth, info.birthYear);
    return Ascii(text);
}

WideString SearchRowText(const SearchHit& hit)
{
    return hit.nickname + u" (" + hit.firstName + u" " + hit.lastName + u"), " + Decimal(hit.age) + u", " +
           (hit.online ? u"Online" : u"Offline");
}

const char16_t* InfoFieldLabel(InfoField field)
{
    auto index = static_cast<std::size_t>(field);
    return index < kInfoFieldCount ? kLabels[index] : u"";
}

UserInfoSheet::UserInfoSheet(WideString uin, WideString storedNickname)
{
    m_texts[static_cast<std::size_t>(InfoField::Uin)] = std::move(uin);
    m_texts[static_cast<std::size_t>(InfoField::Nickname)] = std::move(storedNickname);
}

bool UserInfoSheet::Apply(const AppEvent& event)
{
    auto set = [this](InfoField field, WideString text) { m_texts[static_cast<std::size_t>(field)] = std::move(text); };
    if (const auto* basic = dynamic_cast<const UserInfoBasicEvent*>(&event); basic && basic->Success()) {
        const BasicInfo& info = basic->Info();
        set(InfoField::Nickname, info.nickname);
        set(InfoField::FirstName, info.firstName);
        set(InfoField::LastName, info.lastName);
        set(InfoField::Email, info.email);
        set(InfoField::City, CityText(info));
        set(InfoField::Phones, PhonesText(info));
        m_authorisationRequired = info.authorisationRequired;
        return true;
    }
    if (const auto* more = dynamic_cast<const UserInfoMoreEvent*>(&event); more && more->Success()) {
        const MoreInfo& info = more->Info();
        set(InfoField::Gender, GenderText(info.gender));
        set(InfoField::Age, Decimal(info.age));
        set(InfoField::Birthday, BirthdayText(info));
        set(InfoField::Homepage, info.homepage);
        return true;
    }
    if (const auto* notes = dynamic_cast<const UserInfoNotesEvent*>(&event); notes && notes->Success()) {
        set(InfoField::Notes, notes->Info());
        return true;
    }
    return false;
}

}  // namespace oscar
