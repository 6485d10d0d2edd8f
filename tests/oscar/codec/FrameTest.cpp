#include <gtest/gtest.h>

#include <vector>

#include "TestBytes.h"
#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/FrameParser.h"
#include "oscar/codec/SnacDecoding.h"

namespace {

using codectest::Buffer;
using codectest::Bytes;
using codectest::Hex;
using codectest::Text;
using codectest::ToBytes;
using namespace oscar;

std::vector<RefPtr<FlapFrame>> ParseAll(const ByteBuffer& accumulator, std::int32_t& position)
{
    std::vector<RefPtr<FlapFrame>> frames;
    ParseFrames(accumulator, position, [&](RefPtr<FlapFrame> frame) { frames.push_back(frame); });
    return frames;
}

std::vector<RefPtr<FlapFrame>> ParseHex(const std::string& hex, std::int32_t* consumed = nullptr)
{
    RefPtr<ByteBuffer> accumulator = Buffer(Hex(hex));
    std::int32_t position = 0;
    auto frames = ParseAll(*accumulator, position);
    if (consumed != nullptr)
        *consumed = position;
    return frames;
}

TEST(FrameParser, ServerReadyFrameDecodesToCommandThree)
{
    auto frames = ParseHex("2A 02 0001 000A  0001 0003 0000 00000000");
    ASSERT_EQ(frames.size(), 1u);
    const RefPtr<SnacCommand>& snac = frames[0]->Snac();
    ASSERT_TRUE(snac);
    EXPECT_EQ(frames[0]->Channel(), 2);
    EXPECT_EQ(frames[0]->Sequence(), 1);
    EXPECT_EQ(snac->Number(), CommandNumber::ServerReady);
    EXPECT_EQ(snac->Family(), 1);
    EXPECT_EQ(snac->Subtype(), 3);
    EXPECT_EQ(snac->Flags(), 0);
    EXPECT_EQ(snac->RequestId(), 0u);
    EXPECT_TRUE(snac->Data()->Empty());
    EXPECT_EQ(frames[0]->ReceivedBytes()->Size(), 10);
}

TEST(SnacDecoding, HeaderFlagsAndExtraHeader)
{
    struct Case {
        const char* name;
        std::string body;
        std::string data;
    } cases[] = {
        {"plain data", "0004 0007 0000 00000009 AABB", "AABB"},
        {"extra header skipped", "0004 0007 8000 00000009 0004 01020304 AABB", "AABB"},
        {"empty extra header", "0004 0007 8000 00000009 0000 AABB", "AABB"},
        {"extra header longer than body", "0004 0007 8000 00000009 0010 0102", ""},
        {"extra header length missing", "0004 0007 8000 00000009", ""},
        {"extra header length cut", "0004 0007 8000 00000009 00", ""},
        {"extra header fills body", "0004 0007 8000 00000009 0002 0102", ""},
    };
    for (const Case& c : cases) {
        RefPtr<SnacCommand> snac = DecodeSnac(Hex(c.body));
        ASSERT_TRUE(snac) << c.name;
        EXPECT_EQ(snac->Number(), CommandNumber::IncomingMessage) << c.name;
        EXPECT_EQ(snac->RequestId(), 9u) << c.name;
        EXPECT_EQ(ToBytes(*snac->Data()), Hex(c.data)) << c.name;
    }
    RefPtr<SnacCommand> flagged = DecodeSnac(Hex("0004 0007 8000 00000009 0004 01020304"));
    EXPECT_EQ(flagged->Flags(), 0x8000);
}

TEST(SnacDecoding, ShortBodiesAndUnknownPairs)
{
    EXPECT_FALSE(DecodeSnac({}));
    EXPECT_FALSE(DecodeSnac(Hex("0001 0003 0000 000000")));
    RefPtr<SnacCommand> unknown = DecodeSnac(Hex("0002 0099 0000 00000001 55"));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->Number(), CommandNumber::Unknown);
    EXPECT_EQ(unknown->Family(), 2);
    EXPECT_EQ(unknown->Subtype(), 0x99);
    EXPECT_EQ(ToBytes(*unknown->Data()), Hex("55"));

    auto frames = ParseHex("2A 02 0005 0004 00010003");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0]->Snac());
    EXPECT_EQ(frames[0]->Describe(), "FLAP on channel 2 no snac");
}

TEST(FrameParser, ItemsOfOtherChannels)
{
    struct Case {
        const char* name;
        std::string frame;
        std::vector<std::pair<std::uint16_t, std::string>> items;
        bool rawPayload;
    } cases[] = {
        {"one item", "2A 04 0000 0007 0005 0003 414243", {{5, "ABC"}}, false},
        {"item that does not fit ends parsing", "2A 04 0000 000C 0005 0003 414243 0006 0009 41", {{5, "ABC"}}, false},
        {"trailing bytes ignored", "2A 04 0000 0007 0005 0001 41 0102", {{5, "A"}}, false},
        {"empty value", "2A 04 0000 0004 0008 0000", {{8, ""}}, false},
        {"sign-on greeting is raw payload", "2A 01 0000 0004 00000001", {}, true},
        {"four bytes not starting 00 00 is an item", "2A 01 0000 0004 0001 0000", {{1, ""}}, false},
        {"empty sign-on", "2A 01 0000 0000", {}, false},
    };
    for (const Case& c : cases) {
        auto frames = ParseHex(c.frame);
        ASSERT_EQ(frames.size(), 1u) << c.name;
        const auto& items = frames[0]->Items();
        ASSERT_EQ(items.size(), c.items.size()) << c.name;
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i]->Type(), c.items[i].first) << c.name;
            EXPECT_EQ(Text(*items[i]->Value()), c.items[i].second) << c.name;
        }
        EXPECT_EQ(static_cast<bool>(frames[0]->RawPayload()), c.rawPayload) << c.name;
        EXPECT_FALSE(frames[0]->Snac()) << c.name;
    }
}

TEST(FrameParser, StopsWithoutConsumingAtIncompleteOrForeignBytes)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t frames;
        std::int32_t consumed;
    } cases[] = {
        {"empty", "", 0, 0},
        {"five header bytes", "2A 05 0000 00", 0, 0},
        {"body incomplete", "2A 05 0000 0003 0102", 0, 0},
        {"wrong marker", "2B 05 0000 0000", 0, 0},
        {"two frames", "2A 05 0000 0000 2A 05 0001 0001 FF", 2, 13},
        {"frame then garbage", "2A 05 0000 0000 00 2A 05 0001 0000", 1, 6},
        {"frame then partial header", "2A 05 0000 0000 2A 02", 1, 6},
        {"frame then partial body", "2A 05 0000 0000 2A 02 0000 000A 0001", 1, 6},
        {"largest length announced, not present", "2A 02 0000 FFFF 0001 0003", 0, 0},
    };
    for (const Case& c : cases) {
        std::int32_t consumed = -1;
        auto frames = ParseHex(c.bytes, &consumed);
        EXPECT_EQ(frames.size(), c.frames) << c.name;
        EXPECT_EQ(consumed, c.consumed) << c.name;
    }
}

TEST(FrameParser, FrameSplitAcrossTwoReadsAndPositionsOutsideTheBuffer)
{
    Bytes whole = Hex("2A 02 0007 000C 0004 0014 0000 00000000 0001");
    RefPtr<ByteBuffer> accumulator = MakeRef<ByteBuffer>();
    accumulator->Append(std::span<const std::uint8_t>(whole).first(9));
    std::int32_t position = 0;
    EXPECT_TRUE(ParseAll(*accumulator, position).empty());
    EXPECT_EQ(position, 0);
    accumulator->Append(std::span<const std::uint8_t>(whole).subspan(9));
    auto frames = ParseAll(*accumulator, position);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(position, accumulator->Size());
    EXPECT_EQ(frames[0]->Snac()->Number(), CommandNumber::TypingNotification);
    EXPECT_EQ(frames[0]->Sequence(), 7);

    for (std::int32_t bad : {-1, accumulator->Size() + 1, INT32_MAX}) {
        std::int32_t p = bad;
        EXPECT_TRUE(ParseAll(*accumulator, p).empty());
        EXPECT_EQ(p, bad);
    }
}

TEST(FrameParser, MaximumBodyLengthIsAccepted)
{
    RefPtr<ByteBuffer> accumulator = MakeRef<ByteBuffer>();
    accumulator->Append(Hex("2A 02 0000 FFFF 0015 0003 0000 00000000"));
    accumulator->Resize(6 + 0xFFFF);
    std::int32_t position = 0;
    auto frames = ParseAll(*accumulator, position);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0]->Snac()->Number(), CommandNumber::MetaReply);
    EXPECT_EQ(frames[0]->Snac()->Data()->Size(), 0xFFFF - 10);
}

TEST(FlapFrame, SerialisesEachShape)
{
    RefPtr<FlapFrame> signOn = FlapFrame::SignOn();
    signOn->AddItem(MakeRef<Tlv>(1, Buffer({'1', '2', '3', '4', '5'})));
    signOn->SetSequence(0x1234);
    EXPECT_EQ(ToBytes(*signOn->Serialise()), Hex("2A 01 1234 000D 00000001 0001 0005 3132333435"));

    EXPECT_EQ(ToBytes(*MakeRef<FlapFrame>(kChannelSignOn)->Serialise()), Hex("2A 01 0000 0000"));
    EXPECT_EQ(ToBytes(*FlapFrame::KeepAlive()->Serialise()), Hex("2A 05 0000 0000"));

    RefPtr<SnacCommand> ready = MakeRef<SnacCommand>(CommandNumber::ClientReady);
    ready->SetRequestId(0x01020304);
    ready->SetData(Buffer(Hex("0001 0004")));
    RefPtr<ByteBuffer> bytes = FlapFrame::ForSnac(ready)->Serialise();
    EXPECT_EQ(ToBytes(*bytes), Hex("2A 02 0000 000E 0001 0002 0000 01020304 0001 0004"));
    EXPECT_EQ(bytes->Capacity(), bytes->Size());
    EXPECT_TRUE(bytes->WipesOnRelease());
}

TEST(FlapFrame, ChannelTwoIgnoresItemsAndOtherChannelsIgnoreSnac)
{
    RefPtr<FlapFrame> snacFrame = FlapFrame::ForSnac(nullptr);
    snacFrame->AddItem(Tlv::FromU16(1, 2));
    EXPECT_EQ(ToBytes(*snacFrame->Serialise()), Hex("2A 02 0000 0000"));
    RefPtr<FlapFrame> signOff = MakeRef<FlapFrame>(kChannelSignOff);
    signOff->SetSnac(MakeRef<SnacCommand>(CommandNumber::ClientReady));
    signOff->AddItem(Tlv::FromU32(9, 0xDEADBEEF));
    EXPECT_EQ(ToBytes(*signOff->Serialise()), Hex("2A 04 0000 0008 0009 0004 DEADBEEF"));
}

TEST(FlapFrame, RefusesLengthsThatDoNotFitSixteenBits)
{
    RefPtr<ByteBuffer> big = MakeRef<ByteBuffer>();
    ASSERT_TRUE(big->Resize(0x10000));
    EXPECT_FALSE(Tlv::FromBuffer(1, big)->Serialise());
    RefPtr<FlapFrame> withBigItem = FlapFrame::SignOn();
    withBigItem->AddItem(Tlv::FromBuffer(1, big));
    EXPECT_FALSE(withBigItem->Serialise());

    // Each item fits, the body does not.
    RefPtr<ByteBuffer> half = MakeRef<ByteBuffer>();
    ASSERT_TRUE(half->Resize(0x8000));
    RefPtr<FlapFrame> twoHalves = MakeRef<FlapFrame>(kChannelSignOn);
    twoHalves->AddItem(Tlv::FromBuffer(1, half));
    twoHalves->AddItem(Tlv::FromBuffer(2, half));
    EXPECT_FALSE(twoHalves->Serialise());

    RefPtr<SnacCommand> snac = MakeRef<SnacCommand>(CommandNumber::MetaRequest);
    RefPtr<ByteBuffer> data = MakeRef<ByteBuffer>();
    ASSERT_TRUE(data->Resize(0xFFFF - 10));
    snac->SetData(data);
    EXPECT_TRUE(FlapFrame::ForSnac(snac)->Serialise());
    data->AppendU8(0);
    EXPECT_FALSE(FlapFrame::ForSnac(snac)->Serialise());
}

TEST(FlapFrame, DescribeNamesChannelAndCommand)
{
    EXPECT_EQ(FlapFrame::ForSnac(MakeRef<SnacCommand>(CommandNumber::IncomingMessage))->Describe(),
              "FLAP on channel 2 0x4/0x7");
    EXPECT_EQ(FlapFrame::ForSnac(MakeRef<SnacCommand>(0x13, 0x1C))->Describe(), "FLAP on channel 2 0x13/0x1c");
    EXPECT_EQ(FlapFrame::ForSnac(nullptr)->Describe(), "FLAP on channel 2 no snac");
    EXPECT_EQ(FlapFrame::KeepAlive()->Describe(), "FLAP on channel 5");
}

TEST(FlapFrame, FrameNumbersIncreasePerFrame)
{
    RefPtr<FlapFrame> first = FlapFrame::KeepAlive();
    RefPtr<FlapFrame> second = FlapFrame::KeepAlive();
    EXPECT_EQ(second->FrameNumber(), first->FrameNumber() + 1);
}

TEST(FlapFrame, SerialiseThenParseRoundTrips)
{
    RefPtr<SnacCommand> message = MakeRef<SnacCommand>(CommandNumber::SendMessage);
    message->SetRequestId(0xCAFEBABE);
    message->SetData(Buffer(Hex("00112233445566778899")));
    RefPtr<FlapFrame> signOn = FlapFrame::SignOn();
    RefPtr<FlapFrame> login = MakeRef<FlapFrame>(kChannelSignOn);
    login->AddItem(Tlv::FromU16(0x17, 0x0014));
    login->AddItem(Tlv::FromBuffer(0x01, Buffer({'4', '2'})));
    login->AddItem(Tlv::FromU32(0x14, 0x0000043D));
    std::vector<RefPtr<FlapFrame>> sent = {FlapFrame::ForSnac(message), signOn, login, FlapFrame::KeepAlive()};

    RefPtr<ByteBuffer> stream = MakeRef<ByteBuffer>();
    std::uint16_t sequence = 100;
    for (const RefPtr<FlapFrame>& frame : sent) {
        frame->SetSequence(sequence++);
        stream->Append(frame->Serialise()->Bytes());
    }
    std::int32_t position = 0;
    auto received = ParseAll(*stream, position);
    ASSERT_EQ(received.size(), sent.size());
    EXPECT_EQ(position, stream->Size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(received[i]->Channel(), sent[i]->Channel()) << i;
        EXPECT_EQ(received[i]->Sequence(), sent[i]->Sequence()) << i;
        EXPECT_EQ(ToBytes(*received[i]->Serialise()), ToBytes(*sent[i]->Serialise())) << i;
    }
    EXPECT_EQ(received[0]->Snac()->Number(), CommandNumber::SendMessage);
    EXPECT_EQ(received[0]->Snac()->RequestId(), 0xCAFEBABEu);
    ASSERT_EQ(received[2]->Items().size(), 3u);
    EXPECT_EQ(Text(*received[2]->Items()[1]->Value()), "42");
}

}  // namespace
