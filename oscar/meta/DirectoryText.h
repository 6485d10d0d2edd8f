// The texts the information and search windows show for directory answers:
// the twelve labelled fields of a user's information and the row text of a
// search hit. The console front-end prints the same texts.
#pragma once

#include <array>
#include <cstdint>

#include "app/AppEvent.h"
#include "oscar/meta/DirectoryReplies.h"
#include "platform/base/Types.h"

namespace oscar {

// "Female" for 1, "Male" for 2, empty otherwise.
WideString GenderText(std::uint8_t gender);

// The phone, then ", " and each further number (fax, mobile) that is not
// empty. Empty numbers are skipped wherever they stand, so no text starts
// with a separator.
WideString PhonesText(const BasicInfo& info);

// The city, then ", " and the state when not empty (an empty city gives the
// state alone).
WideString CityText(const BasicInfo& info);

// "%d.%02d.%04d" of day, month and year; empty when the directory has no
// birthday (day or month 0).
WideString BirthdayText(const MoreInfo& info);

// nickname + " (" + first name + " " + last name + "), " + age + ", " +
// "Online" or "Offline".
WideString SearchRowText(const SearchHit& hit);

// The fields of the information window, in its order.
enum class InfoField : std::uint8_t {
    Uin,
    Nickname,
    FirstName,
    LastName,
    Email,
    Phones,
    Gender,
    Age,
    Birthday,
    City,
    Homepage,
    Notes,
};
constexpr std::size_t kInfoFieldCount = 12;

// The label of a field ("UIN", "Nickname", ... "Notes").
const char16_t* InfoFieldLabel(InfoField field);

// The information window's field texts, filled from events 49, 50 and 51.
class UserInfoSheet {
public:
    // The UIN, and the contact's stored nickname when it is one (empty
    // otherwise).
    UserInfoSheet(WideString uin, WideString storedNickname);

    // Takes a successful event 49, 50 or 51; false (nothing changed) for
    // anything else.
    bool Apply(const AppEvent& event);

    const WideString& Text(InfoField field) const { return m_texts[static_cast<std::size_t>(field)]; }
    // The basic reply's authorisation flag (false until one arrived).
    bool AuthorisationRequired() const { return m_authorisationRequired; }

private:
    std::array<WideString, kInfoFieldCount> m_texts;
    bool m_authorisationRequired = false;
};

}  // namespace oscar
