#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/base/Device.h"
#include "platform/base/LastError.h"
#include "platform/text/CodePage.h"

namespace {

using platform::BytesToWide;
using platform::WideToBytes;

TEST(CodePage, EveryCodePageRoundTripsItsOwnCharacters)
{
    struct Case {
        UINT codePage;
        std::u16string text;
    } cases[] = {
        {1250, u"Příliš žluťoučký kůň"}, {1251, u"Привет, мир"},      {1252, u"Café € naïve"},
        {1253, u"Καλημέρα"},             {1254, u"İstanbul ğüş"},     {1255, u"שלום"},
        {1256, u"مرحبا"},                {1257, u"Ačiū ąžuolas"},     {1258, u"Vi\u0323t"},
        {874, u"สวัสดี"},                {65001, u"Mixed Ωμέγα 😀 €"},
    };
    for (const Case& c : cases) {
        bool replaced = true;
        std::string bytes = WideToBytes(c.text, c.codePage, &replaced);
        EXPECT_FALSE(replaced) << c.codePage;
        EXPECT_EQ(BytesToWide(bytes, c.codePage), c.text) << c.codePage;
    }
}

TEST(CodePage, ReportsCharactersWithoutMapping)
{
    struct Case {
        const char* name;
        UINT codePage;
        std::u16string text;
        bool replaced;
    } cases[] = {
        {"cyrillic into 1252", 1252, u"Привет", true},
        {"cyrillic into 1251", 1251, u"Привет", false},
        {"ascii into 1252", 1252, u"hello", false},
        {"euro into 1252", 1252, u"\u20AC", false},
        {"best-fit candidate into 1252", 1252, u"\u0100", true},
        {"emoji into 1251", 1251, u"😀", true},
        {"unpaired surrogate into UTF-8", 65001, u"a\xD800" u"b", true},
        {"empty text", 1252, u"", false},
    };
    for (const Case& c : cases) {
        bool replaced = !c.replaced;
        WideToBytes(c.text, c.codePage, &replaced);
        EXPECT_EQ(replaced, c.replaced) << c.name;
    }
}

TEST(CodePage, OneDefaultCharacterPerCharacterIncludingSurrogatePairs)
{
    EXPECT_EQ(WideToBytes(u"a😀b", 1252), "a?b");
    EXPECT_EQ(WideToBytes(u"a\xD800" u"b", 65001), "a\xEF\xBF\xBD" "b");
}

TEST(CodePage, DefaultCodePageIsUsedForZeroAndCanBeChanged)
{
    if (std::getenv("CORVANE_CODE_PAGE") == nullptr) {
        EXPECT_EQ(platform::DefaultCodePage(), 1252u);
    }
    ASSERT_TRUE(platform::SetDefaultCodePage(1252));
    EXPECT_EQ(WideToBytes(u"\u00E9", CP_ACP), "\xE9");
    EXPECT_FALSE(platform::SetDefaultCodePage(437));
    EXPECT_FALSE(platform::SetDefaultCodePage(0));
    ASSERT_TRUE(platform::SetDefaultCodePage(1251));
    EXPECT_EQ(WideToBytes(u"\u0416", CP_ACP), "\xC6");
    EXPECT_EQ(BytesToWide("\xC6", CP_ACP), u"\u0416");
    ASSERT_TRUE(platform::SetDefaultCodePage(1252));
}

TEST(CodePage, UnknownCodePagesFailCleanly)
{
    bool replaced = false;
    EXPECT_EQ(WideToBytes(u"abc", 437, &replaced), "");
    EXPECT_TRUE(replaced);
    EXPECT_EQ(BytesToWide("abc", 1200), u"");

    char out[8];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(437, 0, u"abc", 3, out, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    WCHAR wide[8];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(65000, 0, "abc", 3, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Win32Conversion, SizeQueriesAndTerminatorsFollowWin32Rules)
{
    // -1 counts the terminator; an explicit length does not add one.
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", 3, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(WideCharToMultiByte(65001, 0, u"\u20AC", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(MultiByteToWideChar(65001, 0, "\xE2\x82\xAC", -1, nullptr, 0), 2);
    EXPECT_EQ(MultiByteToWideChar(1251, 0, "\xC6\xC6", 2, nullptr, 0), 2);

    char bytes[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", -1, bytes, 4, nullptr, nullptr), 4);
    EXPECT_STREQ(bytes, "abc");
    WCHAR wide[3] = {u'x', u'x', u'x'};
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab", 2, wide, 3), 2);
    EXPECT_EQ(wide[0], u'a');
    EXPECT_EQ(wide[2], u'x');
}

TEST(Win32Conversion, ShortBuffersFailWithInsufficientBuffer)
{
    char bytes[3];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", -1, bytes, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    WCHAR wide[1];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(65001, 0, "ab", 2, wide, 1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(Win32Conversion, InvalidArgumentsAreRejected)
{
    char bytes[8];
    WCHAR wide[8];
    BOOL used = FALSE;
    struct Case {
        const char* name;
        int result;
    } cases[] = {
        {"null source", WideCharToMultiByte(1252, 0, nullptr, 3, bytes, 8, nullptr, nullptr)},
        {"zero length", WideCharToMultiByte(1252, 0, u"a", 0, bytes, 8, nullptr, nullptr)},
        {"length below -1", WideCharToMultiByte(1252, 0, u"a", -2, bytes, 8, nullptr, nullptr)},
        {"negative size", WideCharToMultiByte(1252, 0, u"a", 1, bytes, -1, nullptr, nullptr)},
        {"null destination with size", WideCharToMultiByte(1252, 0, u"a", 1, nullptr, 8, nullptr, nullptr)},
        {"UTF-8 with usedDefaultChar", WideCharToMultiByte(65001, 0, u"a", 1, bytes, 8, nullptr, &used)},
        {"UTF-8 with defaultChar", WideCharToMultiByte(65001, 0, u"a", 1, bytes, 8, "?", nullptr)},
        {"multibyte null source", MultiByteToWideChar(1252, 0, nullptr, 1, wide, 8)},
        {"multibyte zero length", MultiByteToWideChar(1252, 0, "a", 0, wide, 8)},
        {"multibyte negative size", MultiByteToWideChar(1252, 0, "a", 1, wide, -5)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, 0) << c.name;
}

TEST(Win32Conversion, UsedDefaultCharAndCustomDefault)
{
    char bytes[8] = {};
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a\u0416", 2, bytes, 8, "#", &used), 2);
    EXPECT_TRUE(used);
    EXPECT_EQ(std::string(bytes, 2), "a#");
    used = TRUE;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"ab", 2, bytes, 8, nullptr, &used), 2);
    EXPECT_FALSE(used);
}

TEST(Win32Conversion, InvalidBytesBecomeReplacementOrFailWhenAsked)
{
    struct Case {
        const char* name;
        UINT codePage;
        std::string bytes;
        std::u16string lenient;
    } cases[] = {
        {"truncated UTF-8", 65001, "a\xC3", u"a\uFFFD"},
        {"lone continuation", 65001, "\x80", u"\uFFFD"},
        {"encoded surrogate", 65001, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"undefined byte of 1253", 1253, "\xD2", u"\uFFFD"},
    };
    for (const Case& c : cases) {
        WCHAR wide[16];
        int n = MultiByteToWideChar(c.codePage, 0, c.bytes.data(), static_cast<int>(c.bytes.size()), wide, 16);
        EXPECT_EQ(std::u16string(wide, static_cast<std::size_t>(n)), c.lenient) << c.name;
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(c.codePage, MB_ERR_INVALID_CHARS, c.bytes.data(),
                                      static_cast<int>(c.bytes.size()), wide, 16),
                  0)
            << c.name;
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION) << c.name;
    }
}

TEST(Win32Conversion, EveryByteOfEverySingleByteCodePageDecodesWithoutCrashing)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    for (UINT cp : {1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u, 874u, 65001u}) {
        WideString wide = BytesToWide(all, cp);
        EXPECT_FALSE(wide.empty()) << cp;
        bool replaced = false;
        WideToBytes(wide, cp, &replaced);
    }
}

}  // namespace
