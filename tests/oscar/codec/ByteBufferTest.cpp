#include <gtest/gtest.h>

#include <climits>

#include "TestBytes.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/ByteReader.h"

namespace {

using codectest::Bytes;
using codectest::Hex;
using codectest::ToBytes;
using oscar::ByteBuffer;
using oscar::ByteReader;

TEST(ByteBuffer, AppendsNumbersBigEndianAndLittleEndian)
{
    ByteBuffer buffer;
    EXPECT_EQ(buffer.Data(), nullptr);
    buffer.AppendU8(0x2A);
    buffer.AppendU16(0x0102);
    buffer.AppendU32(0x03040506);
    buffer.AppendU16LE(0x0708);
    buffer.AppendU32LE(0x090A0B0C);
    EXPECT_EQ(ToBytes(buffer), Hex("2A 0102 03040506 0807 0C0B0A09"));
}

TEST(ByteBuffer, GrowsInStepsOfSixteenAndFirstAppendIsExact)
{
    ByteBuffer buffer;
    const std::uint8_t five[5] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(buffer.Append(five, 5));
    EXPECT_EQ(buffer.Capacity(), 5);
    buffer.AppendU8(6);
    EXPECT_EQ(buffer.Capacity(), 16);
    EXPECT_TRUE(buffer.Reserve(17));
    EXPECT_EQ(buffer.Capacity(), 32);
    EXPECT_EQ(ToBytes(buffer), Hex("01 02 03 04 05 06"));
    EXPECT_TRUE(buffer.Append(nullptr, 0));
    EXPECT_EQ(buffer.Size(), 6);
    EXPECT_EQ(ByteBuffer::WithCapacity(14)->Capacity(), 14);
}

TEST(ByteBuffer, RefusesSizesThatDoNotFitOrAreNegative)
{
    ByteBuffer buffer;
    buffer.AppendU32(0xAABBCCDD);
    const std::uint8_t byte = 0;
    struct Case {
        const char* name;
        bool result;
    } cases[] = {
        {"negative append", buffer.Append(&byte, -1)},
        {"null bytes", buffer.Append(nullptr, 3)},
        {"append past INT32_MAX", buffer.Append(&byte, INT32_MAX)},
        {"negative reserve", buffer.Reserve(-16)},
        {"negative resize", buffer.Resize(-1)},
        {"erase more than size", buffer.Erase(5)},
        {"negative erase", buffer.Erase(-1)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(c.result) << c.name;
    EXPECT_EQ(ToBytes(buffer), Hex("AABBCCDD"));
}

TEST(ByteBuffer, ResizeZeroFillsAndEraseRemovesFromTheFront)
{
    ByteBuffer buffer;
    buffer.AppendU16(0xFFFF);
    ASSERT_TRUE(buffer.Resize(5));
    EXPECT_EQ(ToBytes(buffer), Hex("FFFF 000000"));
    ASSERT_TRUE(buffer.Erase(1));
    EXPECT_EQ(ToBytes(buffer), Hex("FF 000000"));
    ASSERT_TRUE(buffer.Erase(4));
    EXPECT_TRUE(buffer.Empty());
}

TEST(ByteBuffer, WipeZerosTheWholeBlock)
{
    ByteBuffer buffer;
    buffer.SetWipeOnRelease(true);
    buffer.AppendU32(0x11223344);
    buffer.Erase(2);
    // The erased tail of the block no longer holds the moved bytes.
    EXPECT_EQ(buffer.Data()[2], 0);
    EXPECT_EQ(buffer.Data()[3], 0);
    buffer.Wipe();
    EXPECT_EQ(buffer.Size(), 0);
    for (int i = 0; i < buffer.Capacity(); ++i)
        EXPECT_EQ(buffer.Data()[i], 0);
}

TEST(ByteReader, ReadsFieldsInBothByteOrders)
{
    Bytes bytes = Hex("01 0203 04050607 0908 0D0C0B0A EE FF");
    ByteReader reader(bytes);
    std::uint8_t u8 = 0;
    std::uint16_t be16 = 0, le16 = 0;
    std::uint32_t be32 = 0, le32 = 0;
    std::span<const std::uint8_t> rest;
    ASSERT_TRUE(reader.ReadU8(u8) && reader.ReadU16BE(be16) && reader.ReadU32BE(be32) && reader.ReadU16LE(le16) &&
                reader.ReadU32LE(le32) && reader.ReadBytes(2, rest));
    EXPECT_EQ(u8, 0x01);
    EXPECT_EQ(be16, 0x0203);
    EXPECT_EQ(be32, 0x04050607u);
    EXPECT_EQ(le16, 0x0809);
    EXPECT_EQ(le32, 0x0A0B0C0Du);
    EXPECT_EQ(rest[1], 0xFF);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_TRUE(reader.Ok());
}

TEST(ByteReader, ShortReadsFailWithoutMovingOrWriting)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool (*read)(ByteReader&);
    } cases[] = {
        {"u8 of nothing", "", [](ByteReader& r) { std::uint8_t v = 7; return r.ReadU8(v) || v != 7; }},
        {"u16 of one byte", "01", [](ByteReader& r) { std::uint16_t v = 7; return r.ReadU16BE(v) || v != 7; }},
        {"u32 of three", "010203", [](ByteReader& r) { std::uint32_t v = 7; return r.ReadU32BE(v) || v != 7; }},
        {"u16le of one", "01", [](ByteReader& r) { std::uint16_t v = 7; return r.ReadU16LE(v) || v != 7; }},
        {"u32le of two", "0102", [](ByteReader& r) { std::uint32_t v = 7; return r.ReadU32LE(v) || v != 7; }},
        {"bytes past end", "0102", [](ByteReader& r) { std::span<const std::uint8_t> s; return r.ReadBytes(3, s); }},
        {"huge skip", "0102", [](ByteReader& r) { return r.Skip(SIZE_MAX); }},
    };
    for (const Case& c : cases) {
        Bytes bytes = Hex(c.bytes);
        ByteReader reader(bytes);
        EXPECT_FALSE(c.read(reader)) << c.name;
        EXPECT_EQ(reader.Position(), 0u) << c.name;
        EXPECT_FALSE(reader.Ok()) << c.name;
    }
}

}  // namespace
