#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/text/CaseMapping.h"
#include "platform/text/Collation.h"

namespace {

using platform::CaseSensitivity;
using platform::CompareText;

TEST(CaseMapping, UpperCasesWithSimpleMappingOnly)
{
    struct Case {
        const char* name;
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {"ascii", u"icq 123", u"ICQ 123"},
        {"latin", u"café", u"CAFÉ"},
        {"cyrillic", u"привет", u"ПРИВЕТ"},
        {"sharp s keeps its length", u"straße", u"STRAßE"},
        {"supplementary plane", u"\U00010428", u"\U00010400"},
        {"lone surrogate untouched", u"a\xDC00", u"A\xDC00"},
        {"empty", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ToUpper(c.in), c.out) << c.name;
        std::u16string buffer = c.in;
        EXPECT_EQ(CharUpperW(buffer.data()), buffer.data());
        EXPECT_EQ(buffer, c.out) << c.name;
    }
}

TEST(CaseMapping, CharUpperWTakesASingleCharacterInTheLowWord)
{
    auto result = reinterpret_cast<std::uintptr_t>(CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t{u'ж'})));
    EXPECT_EQ(result, std::uintptr_t{u'Ж'});
    std::u16string text = u"abc";
    EXPECT_EQ(CharUpperBuffW(text.data(), 2), 2u);
    EXPECT_EQ(text, u"ABc");
    EXPECT_EQ(CharUpperBuffW(nullptr, 5), 0u);
}

TEST(Collation, OrdersLikeADictionary)
{
    EXPECT_LT(CompareText(u"apple", u"Banana"), 0);
    EXPECT_LT(CompareText(u"café", u"cafg"), 0);
    EXPECT_GT(CompareText(u"b", u"a"), 0);
    EXPECT_EQ(CompareText(u"same", u"same"), 0);
    EXPECT_NE(CompareText(u"abc", u"ABC"), 0);
    EXPECT_EQ(CompareText(u"abc", u"ABC", CaseSensitivity::Insensitive), 0);
    EXPECT_LT(CompareText(u"", u"a"), 0);
}

TEST(Collation, CompareStringWUsesWin32Results)
{
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"a", -1, u"b", -1), CSTR_LESS_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, u"Abc", 3, u"aBC", 3), CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"b", 1, u"a", 1), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, nullptr, 1, u"a", 1), 0);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"a", -3, u"a", 1), 0);
}

TEST(Collation, SortsConsistentlyFromSeveralThreads)
{
    std::vector<std::u16string> expected = {u"Ärger", u"alpha", u"Beta", u"zeta", u"Zulu", u"ÖL", u"omega"};
    auto less = [](const std::u16string& a, const std::u16string& b) {
        return CompareText(a, b, CaseSensitivity::Insensitive) < 0;
    };
    std::sort(expected.begin(), expected.end(), less);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 200; ++round) {
                std::vector<std::u16string> copy = {u"zeta", u"omega", u"Beta", u"ÖL", u"Zulu", u"alpha", u"Ärger"};
                std::sort(copy.begin(), copy.end(), less);
                mismatches[static_cast<std::size_t>(t)] += copy != expected ? 1 : 0;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int count : mismatches)
        EXPECT_EQ(count, 0);
}

}  // namespace
