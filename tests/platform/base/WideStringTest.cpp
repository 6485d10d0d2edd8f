#include <gtest/gtest.h>

#include "platform/base/Device.h"
#include "platform/base/LastError.h"
#include "platform/base/WideString.h"

namespace {

using platform::Utf8ToWide;
using platform::WideToUtf8;

TEST(WideString, RoundTripsAllPlanes)
{
    std::string text = "ICQ \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC \xF0\x9F\x98\x80";
    WideString wide = Utf8ToWide(text);
    EXPECT_EQ(wide, u"ICQ Привет € 😀");
    EXPECT_EQ(WideToUtf8(wide), text);
}

TEST(WideString, MalformedUtf8BecomesReplacementCharacters)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {"lone continuation", "\x80", u"\uFFFD"},
        {"truncated two-byte", "a\xC3", u"a\uFFFD"},
        {"truncated four-byte", "\xF0\x9F\x98", u"\uFFFD\uFFFD\uFFFD"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"invalid lead", "\xFF" "b", u"\uFFFDb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToWide(c.bytes), c.expected) << c.name;
}

TEST(WideString, UnpairedSurrogatesAreReplacedOnTheWayOut)
{
    std::u16string wide = u"x";
    wide += static_cast<char16_t>(0xD800);
    wide += u"y";
    EXPECT_EQ(WideToUtf8(wide), "x\xEF\xBF\xBDy");
}

TEST(ModuleFileName, GivesAnAbsolutePathAndReportsShortBuffers)
{
    WCHAR path[512];
    DWORD n = GetModuleFileNameW(nullptr, path, 512);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(path[0], u'/');
    EXPECT_EQ(path[n], 0);

    WCHAR tiny[4];
    SetLastError(0);
    DWORD m = GetModuleFileNameW(nullptr, tiny, 4);
    EXPECT_EQ(m, 4u);
    EXPECT_EQ(tiny[3], 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 0), 0u);
}

TEST(DeviceFolder, FollowsTheEnvironmentWithoutTrailingSeparator)
{
    std::string saved = platform::DeviceFolder();
    setenv("CORVANE_DEVICE", "/tmp/corvane-device-test///", 1);
    EXPECT_EQ(platform::DeviceFolder(), "/tmp/corvane-device-test");
    EXPECT_EQ(platform::RunFolder(), "/tmp/corvane-device-test/run");
    setenv("CORVANE_DEVICE", saved.c_str(), 1);
}

}  // namespace
