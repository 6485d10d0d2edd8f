#include <gtest/gtest.h>

#include "TestBytes.h"
#include "oscar/codec/TextCodec.h"
#include "oscar/codec/Tlv.h"
#include "platform/text/CodePage.h"

namespace {

using codectest::Bytes;
using codectest::Hex;
using codectest::Text;
using codectest::ToBytes;
using namespace oscar;

Bytes Raw(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

TEST(TextCodec, WideToCodePageAndUtf16BigEndian)
{
    bool replaced = true;
    EXPECT_EQ(Text(*WideToBytes(u"Жук", 1251, &replaced)), "\xC6\xF3\xEA");
    EXPECT_FALSE(replaced);
    EXPECT_EQ(Text(*WideToBytes(u"Жук", 1252, &replaced)), "???");
    EXPECT_TRUE(replaced);
    EXPECT_TRUE(WideToBytes(u"abc", 437)->Empty());
    EXPECT_EQ(ToBytes(*WideToUtf16BE(u"A\u0416😀")), Hex("0041 0416 D83D DE00"));
    EXPECT_TRUE(WideToUtf16BE(u"")->Empty());
}

TEST(TextCodec, Utf16BigEndianStopsAtZeroAndIgnoresAnOddByte)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"plain", "0048 0069", u"Hi"},
        {"stops at zero", "0048 0000 0069", u"H"},
        {"odd trailing byte", "0048 00", u"H"},
        {"single byte", "41", u""},
        {"empty", "", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf16BEToWide(Hex(c.bytes)), c.text) << c.name;
}

TEST(TextCodec, Utf8WithCodePageFallback)
{
    struct Case {
        const char* name;
        std::string bytes;
        UINT codePage;
        std::u16string text;
    } cases[] = {
        {"valid UTF-8", "\xD0\x96\xD1\x83\xD0\xBA", 1251, u"Жук"},
        {"ascii", "hello", 1251, u"hello"},
        {"cp1251 text", "\xC6\xF3\xEA", 1251, u"Жук"},
        {"cp1252 text", "caf\xE9", 1252, u"café"},
        // A truncated three-byte sequence turns into one U+FFFD of three bytes:
        // the byte count alone would wrongly accept it as UTF-8.
        {"truncated sequence of replacement length", "\xE2\x82" "A", 1252, u"\u00E2\u201A" u"A"},
        {"empty", "", 1252, u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BytesToWideWithFallback(Raw(c.bytes), c.codePage), c.text) << c.name;
    EXPECT_EQ(Utf8ToWide(Raw("a\xFF")), u"a\uFFFD");
}

TEST(TextCodec, Utf16OfUnknownByteOrder)
{
    struct Case {
        const char* name;
        std::string bytes;
        UINT codePage;
        std::u16string text;
    } cases[] = {
        {"big-endian latin", "0048 0069", 1252, u"Hi"},
        {"little-endian latin", "4800 6900", 1252, u"Hi"},
        {"big-endian cyrillic", "0416 0443", 1251, u"Жу"},
        {"little-endian cyrillic", "1604 4304", 1251, u"Жу"},
        {"cyrillic not in 1252 falls back to 8-bit", "0416 0443", 1252, u"\u0004\u0016\u0004C"},
        {"odd count is 8-bit", "414243", 1252, u"ABC"},
        {"big-endian stops at zero", "0041 0000 0042", 1252, u"A"},
        {"empty", "", 1252, u""},
        {"unknown code page", "0041", 437, u""},
        // UTF-8 as the server returns text that was sent in Unicode form. An
        // even count of Cyrillic UTF-8 read as UTF-16 would be Hangul, which
        // the UTF-8 code page maps.
        {"cyrillic utf-8 of even length", "D09F D180 D0B8 D0B2 D0B5 D182", 65001, u"Привет"},
        {"cyrillic utf-8 of even length, 1252", "D09F D180 D0B8 D0B2 D0B5 D182", 1252, u"Привет"},
        {"cyrillic utf-8 of odd length", "D09F D180 D0B8 21", 1251, u"При!"},
        {"latin utf-8", "6361 66C3 A9", 1252, u"café"},
        {"emoji utf-8", "F09F 9880", 1252, u"\U0001F600"},
        {"cp1251 bytes are not utf-8", "CFF0 E8E2 E5F2", 1251, u"Привет"},
        {"utf-16 cyrillic is not taken as utf-8", "041F 0440", 1251, u"Пр"},
        {"utf-16 latin-1 is not taken as utf-8", "00E9 00E8", 1252, u"éè"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf16UnknownOrderToWide(Hex(c.bytes), c.codePage), c.text) << c.name;
}

TEST(TextCodec, UinAsDecimalText)
{
    EXPECT_EQ(Text(*UinToBytes(123456789)), "123456789");
    EXPECT_EQ(Text(*UinToBytes(0)), "0");
    struct Case {
        const char* name;
        std::string text;
        bool ok;
        std::uint32_t uin;
    } cases[] = {
        {"plain", "123456", true, 123456},   {"largest", "4294967295", true, 4294967295u},
        {"too large", "4294967296", false, 0}, {"eleven digits", "00000000001", false, 0},
        {"empty", "", false, 0},             {"sign", "-1", false, 0},
        {"letters", "12a", false, 0},
    };
    for (const Case& c : cases) {
        std::uint32_t uin = 0;
        EXPECT_EQ(ParseUin(Raw(c.text), uin), c.ok) << c.name;
        EXPECT_EQ(uin, c.uin) << c.name;
    }
}

TEST(Tlv, ConstructorsAndSerialise)
{
    EXPECT_EQ(ToBytes(*Tlv::FromU16(0x0017, 0x0014)->Serialise()), Hex("0017 0002 0014"));
    EXPECT_EQ(ToBytes(*Tlv::FromU32(0x0014, 0x0000043D)->Serialise()), Hex("0014 0004 0000043D"));
    EXPECT_EQ(ToBytes(*Tlv::FromBuffer(0x0001, nullptr)->Serialise()), Hex("0001 0000"));
    EXPECT_EQ(ToBytes(*Tlv::FromWide(0x0003, u"Жук", 1251)->Serialise()), Hex("0003 0003 C6F3EA"));
    RefPtr<ByteBuffer> bytes = Tlv::FromWide(0x0003, u"ok", CP_ACP)->Serialise();
    EXPECT_EQ(bytes->Capacity(), 6);
    EXPECT_TRUE(bytes->WipesOnRelease());
}

}  // namespace
