// What the information and search windows show for directory answers.
#include <gtest/gtest.h>

#include "oscar/meta/DirectoryEvents.h"
#include "oscar/meta/DirectoryText.h"

namespace {

using namespace oscar;

TEST(DirectoryText, GenderAndBirthday)
{
    EXPECT_EQ(GenderText(1), u"Female");
    EXPECT_EQ(GenderText(2), u"Male");
    EXPECT_EQ(GenderText(0), u"");
    EXPECT_EQ(GenderText(3), u"");

    MoreInfo info;
    info.birthYear = 1990;
    info.birthMonth = 3;
    info.birthDay = 7;
    EXPECT_EQ(BirthdayText(info), u"7.03.1990");
    info.birthDay = 0;  // no birthday in the directory
    EXPECT_EQ(BirthdayText(info), u"");
}

TEST(DirectoryText, PhonesAndCityJoinTheNonEmptyParts)
{
    BasicInfo info;
    EXPECT_EQ(PhonesText(info), u"");
    info.phone = u"1";
    info.mobile = u"3";
    EXPECT_EQ(PhonesText(info), u"1, 3");
    info.phone.clear();
    EXPECT_EQ(PhonesText(info), u"3");

    info.city = u"Oxford";
    EXPECT_EQ(CityText(info), u"Oxford");
    info.state = u"Oxon";
    EXPECT_EQ(CityText(info), u"Oxford, Oxon");
}

TEST(DirectoryText, SearchRowText)
{
    SearchHit hit;
    hit.nickname = u"Al";
    hit.firstName = u"Alice";
    hit.lastName = u"Liddell";
    hit.age = 20;
    hit.online = true;
    EXPECT_EQ(SearchRowText(hit), u"Al (Alice Liddell), 20, Online");
    hit.nickname.clear();
    hit.online = false;
    EXPECT_EQ(SearchRowText(hit), u" (Alice Liddell), 20, Offline");
}

TEST(DirectoryText, SheetTakesOnlySuccessfulInformationEvents)
{
    UserInfoSheet sheet(u"100004", u"Stored");
    EXPECT_EQ(sheet.Text(InfoField::Uin), u"100004");
    EXPECT_EQ(sheet.Text(InfoField::Nickname), u"Stored");

    BasicInfo basic;
    basic.nickname = u"Directory";
    basic.authorisationRequired = true;
    EXPECT_FALSE(sheet.Apply(UserInfoBasicEvent(1, false, basic)));
    EXPECT_EQ(sheet.Text(InfoField::Nickname), u"Stored");
    EXPECT_FALSE(sheet.AuthorisationRequired());
    EXPECT_TRUE(sheet.Apply(UserInfoBasicEvent(1, true, basic)));
    EXPECT_EQ(sheet.Text(InfoField::Nickname), u"Directory");
    EXPECT_TRUE(sheet.AuthorisationRequired());

    MoreInfo more;
    more.age = 0;
    more.gender = 0;
    EXPECT_TRUE(sheet.Apply(UserInfoMoreEvent(1, true, more)));
    EXPECT_EQ(sheet.Text(InfoField::Gender), u"");
    EXPECT_EQ(sheet.Text(InfoField::Age), u"0");
    EXPECT_TRUE(sheet.Apply(UserInfoNotesEvent(1, true, u"n")));
    EXPECT_EQ(sheet.Text(InfoField::Notes), u"n");
    EXPECT_FALSE(sheet.Apply(SearchHitEvent(1, true, true, {})));

    EXPECT_EQ(WideString(InfoFieldLabel(InfoField::Uin)), u"UIN");
    EXPECT_EQ(WideString(InfoFieldLabel(InfoField::Email)), u"E-mail");
    EXPECT_EQ(WideString(InfoFieldLabel(InfoField::Notes)), u"Notes");
}

TEST(DirectoryText, EventsCarryTheirRequestId)
{
    EXPECT_EQ(DirectoryRequestId(UserInfoNotesEvent(5, true, u"")), 5u);
    EXPECT_EQ(DirectoryRequestId(SearchHitEvent(6, true, true, {})), 6u);
    EXPECT_EQ(DirectoryRequestId(DirectoryErrorEvent(7, 0x15, 1, u"x")), 7u);
    EXPECT_FALSE(DirectoryRequestId(ProtocolErrorEvent(0x15, 1, u"x")));
}

}  // namespace
