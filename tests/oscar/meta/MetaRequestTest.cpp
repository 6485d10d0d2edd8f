// Meta request bytes: the envelope and the three directory requests.
#include <gtest/gtest.h>

#include "oscar/meta/DirectoryQuery.h"
#include "oscar/meta/MetaRequest.h"
#include "tests/oscar/codec/TestBytes.h"

namespace {

using codectest::Bytes;
using codectest::Hex;
using codectest::ToBytes;
using namespace oscar;

constexpr std::uint32_t kOwnUin = 100001;   // A1 86 01 00 little-endian
constexpr std::uint32_t kTarget = 100004;   // A4 86 01 00

Bytes DataOf(const RefPtr<FlapFrame>& frame)
{
    EXPECT_TRUE(frame);
    EXPECT_TRUE(frame->Snac());
    return ToBytes(*frame->Snac()->Data());
}

// The little-endian items after the envelope and subtype (offset 4 + 12).
std::vector<std::pair<std::uint16_t, Bytes>> DetailItems(const Bytes& data)
{
    std::vector<std::pair<std::uint16_t, Bytes>> items;
    std::size_t at = 16;
    while (at + 4 <= data.size()) {
        std::uint16_t type = static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
        std::size_t length = static_cast<std::size_t>(data[at + 2] | data[at + 3] << 8);
        items.emplace_back(type, Bytes(data.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                       data.begin() + static_cast<std::ptrdiff_t>(at + 4 + length)));
        at += 4 + length;
    }
    EXPECT_EQ(at, data.size());
    return items;
}

TEST(MetaRequest, FullInformationIsTheLittleEndianEnvelopeWithTheTargetUin)
{
    RefPtr<FlapFrame> frame = BuildFullInfoRequest(0x12345678, kOwnUin, 0x0102, kTarget);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Channel(), 2);
    EXPECT_EQ(frame->Snac()->Family(), 0x15);
    EXPECT_EQ(frame->Snac()->Subtype(), 0x02);
    EXPECT_EQ(frame->Snac()->RequestId(), 0x12345678u);
    EXPECT_EQ(DataOf(frame), Hex("0001 0010  0E00 A1860100 D007 0201 B204 A4860100"));
}

TEST(MetaRequest, SearchByUinCarriesItem0136)
{
    EXPECT_EQ(DataOf(BuildSearchByUinRequest(1, kOwnUin, 3, kTarget)),
              Hex("0001 0014  1200 A1860100 D007 0300 6905 3601 0400 A4860100"));
}

TEST(MetaRequest, DetailsWithOnlyANicknameSendOneItem)
{
    SearchCriteria criteria;
    criteria.nickname = u"abc";
    Bytes data = DataOf(BuildSearchByDetailsRequest(1, kOwnUin, 3, criteria, 1252));
    EXPECT_EQ(Bytes(data.begin() + 14, data.begin() + 18), Hex("5F05 5401"));
    auto items = DetailItems(data);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].first, 0x0154);
    EXPECT_EQ(items[0].second, Hex("0400 616263 00"));
}

TEST(MetaRequest, DetailsItemsFollowTheFixedOrderAndTheCodePage)
{
    SearchCriteria criteria;
    criteria.email = u"e";
    criteria.nickname = u"n";
    criteria.lastName = u"l";
    criteria.firstName = u"Ren\u00E9";
    criteria.gender = 2;
    criteria.age = AgeRangeOfChoice(6);
    criteria.city = u"c";
    auto items = DetailItems(DataOf(BuildSearchByDetailsRequest(1, kOwnUin, 3, criteria, 1252)));
    ASSERT_EQ(items.size(), 7u);
    std::vector<std::uint16_t> types;
    for (const auto& item : items)
        types.push_back(item.first);
    EXPECT_EQ(types, (std::vector<std::uint16_t>{0x0190, 0x0168, 0x017C, 0x0140, 0x014A, 0x0154, 0x015E}));
    EXPECT_EQ(items[1].second, Hex("3C00 1027"));  // "60-above": 60 to 10000
    EXPECT_EQ(items[2].second, Hex("02"));
    EXPECT_EQ(items[3].second, Hex("0500 52656EE9 00"));
}

TEST(MetaRequest, DetailsLeaveOutWhatIsNotGiven)
{
    // No criteria at all still makes a details search, with no items.
    EXPECT_TRUE(DetailItems(DataOf(BuildSearchByDetailsRequest(1, kOwnUin, 3, {}, 1252))).empty());
    // An age range without a minimum, or gender 0, is not sent.
    SearchCriteria criteria;
    criteria.age = {0, 22};
    criteria.gender = 0;
    EXPECT_TRUE(DetailItems(DataOf(BuildSearchByDetailsRequest(1, kOwnUin, 3, criteria, 1252))).empty());
}

TEST(MetaRequest, CriteriaTooLongForTheLengthsAreRefused)
{
    SearchCriteria criteria;
    criteria.nickname.assign(70000, u'x');
    EXPECT_FALSE(BuildSearchByDetailsRequest(1, kOwnUin, 3, criteria, 1252));
    criteria.nickname.assign(40000, u'x');
    criteria.email.assign(40000, u'y');  // each fits alone, not both
    EXPECT_FALSE(BuildSearchByDetailsRequest(1, kOwnUin, 3, criteria, 1252));
    EXPECT_FALSE(BuildMetaRequestData(kOwnUin, kMetaRequestDirectory, 1, Bytes(0xFFFF - 9)));
    EXPECT_TRUE(BuildMetaRequestData(kOwnUin, kMetaRequestDirectory, 1, Bytes(0xFFFF - 10)));
}

TEST(MetaRequest, AgeChoicesMapToTheirRanges)
{
    const std::pair<int, AgeRange> cases[] = {{0, {0, 0}},   {1, {18, 22}}, {2, {23, 29}},   {3, {30, 39}},
                                              {4, {40, 49}}, {5, {50, 59}}, {6, {60, 10000}}, {7, {0, 0}},
                                              {-1, {0, 0}}};
    for (const auto& [index, range] : cases) {
        EXPECT_EQ(AgeRangeOfChoice(index).minimum, range.minimum) << index;
        EXPECT_EQ(AgeRangeOfChoice(index).maximum, range.maximum) << index;
    }
    EXPECT_EQ(WideString(AgeChoiceText(6)), u"60-above");
    EXPECT_EQ(WideString(AgeChoiceText(9)), u"");
}

TEST(MetaRequest, CookiesAreNonZeroAndTwoFifteenBitHalves)
{
    std::srand(1);
    for (int i = 0; i < 2000; ++i) {
        std::uint32_t cookie = NewDirectoryCookie();
        EXPECT_NE(cookie, 0u);
        EXPECT_EQ(cookie & 0x80008000u, 0u);
    }
}

}  // namespace
