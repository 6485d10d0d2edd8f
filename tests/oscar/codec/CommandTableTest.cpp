#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "TestBytes.h"
#include "oscar/codec/CommandTable.h"
#include "oscar/codec/SnacCommand.h"
#include "oscar/codec/SnacDecoding.h"

namespace {

using codectest::Hex;
using codectest::ToBytes;
using namespace oscar;

TEST(CommandTable, ForwardAndReverseLookups)
{
    struct Case {
        const char* name;
        std::uint16_t family;
        std::uint16_t subtype;
        CommandNumber number;
    } cases[] = {
        {"first row", 0x01, 0x01, CommandNumber::ServiceError},
        {"meta request", 0x15, 0x02, CommandNumber::MetaRequest},
        {"last row", 0x15, 0x03, CommandNumber::MetaReply},
        {"idle time row", 0x01, 0x11, CommandNumber::IdleTime},
        {"list item update", 0x13, 0x09, CommandNumber::ListUpdateItem},
        {"unknown subtype", 0x02, 0x99, CommandNumber::Unknown},
        {"unknown family", 0xFFFF, 0x0001, CommandNumber::Unknown},
        {"zero pair", 0, 0, CommandNumber::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LookupCommand(c.family, c.subtype), c.number) << c.name;
}

TEST(CommandTable, EveryRowMapsBackToItsNumber)
{
    for (std::int32_t n = kFirstCommandNumber; n <= kLastCommandNumber; ++n) {
        auto row = FindCommand(static_cast<CommandNumber>(n));
        ASSERT_TRUE(row) << n;
        EXPECT_EQ(LookupCommand(row->family, row->subtype), static_cast<CommandNumber>(n)) << n;
        SnacCommand command(static_cast<CommandNumber>(n));
        EXPECT_EQ(command.Family(), row->family) << n;
        EXPECT_EQ(command.Subtype(), row->subtype) << n;
    }
    for (std::int32_t n : {0, -1, 56, 999})
        EXPECT_FALSE(FindCommand(static_cast<CommandNumber>(n))) << n;
    EXPECT_FALSE(CreateSnacDecoder(static_cast<CommandNumber>(56)));
}

TEST(CommandTable, ReverseLookupFromSeveralThreadsAtOnce)
{
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wrong, t] {
            for (int round = 0; round < 500; ++round) {
                if (LookupCommand(0x04, 0x07) != CommandNumber::IncomingMessage ||
                    LookupCommand(0x13, 0x06) != CommandNumber::ServerList ||
                    LookupCommand(0x04, 0x99) != CommandNumber::Unknown)
                    ++wrong[static_cast<std::size_t>(t)];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int count : wrong)
        EXPECT_EQ(count, 0);
}

TEST(SnacCommand, SerialisesHeaderAndData)
{
    SnacCommand command(CommandNumber::MetaRequest);
    command.SetFlags(0x0001);
    command.SetRequestId(0x00020003);
    command.SetData(nullptr);
    EXPECT_TRUE(command.Data());
    EXPECT_EQ(ToBytes(*command.Serialise()), Hex("0015 0002 0001 00020003"));
}

// A reply class that tells its specific kind from the first data byte.
class TestMetaLeaf : public SnacCommand {
public:
    TestMetaLeaf() : SnacCommand(CommandNumber::MetaReply) {}
    RefPtr<SnacCommand> Decode(const ByteBuffer& data) override
    {
        m_decodedSize = data.Size();
        return nullptr;
    }
    std::int32_t m_decodedSize = -1;
};

class TestMetaReply : public SnacCommand {
public:
    TestMetaReply() : SnacCommand(CommandNumber::MetaReply) {}
    RefPtr<SnacCommand> Decode(const ByteBuffer& data) override
    {
        return data.Size() > 0 && data.Data()[0] == 1 ? RefPtr<SnacCommand>(MakeRef<TestMetaLeaf>()) : nullptr;
    }
};

// Decoders that misbehave: one returns itself, two hand over to each other.
class SelfReturning : public SnacCommand {
public:
    SelfReturning() : SnacCommand(CommandNumber::IcqError) {}
    RefPtr<SnacCommand> Decode(const ByteBuffer&) override { return RefPtr<SnacCommand>(this); }
};

class PingPong : public SnacCommand {
public:
    PingPong() : SnacCommand(CommandNumber::ServiceError) {}
    RefPtr<SnacCommand> Decode(const ByteBuffer&) override { return MakeRef<PingPong>(); }
};

class DecoderRegistration : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (CommandNumber n : {CommandNumber::MetaReply, CommandNumber::IcqError, CommandNumber::ServiceError})
            RegisterSnacDecoder(n, nullptr);
    }
};

TEST_F(DecoderRegistration, ChainReplacesTheObjectUntilDecodeReturnsNull)
{
    ASSERT_TRUE(RegisterSnacDecoder(CommandNumber::MetaReply, [] { return RefPtr<SnacCommand>(MakeRef<TestMetaReply>()); }));
    RefPtr<SnacCommand> leaf = DecodeSnac(Hex("0015 0003 0000 00000042 01 AA BB"));
    auto* specific = dynamic_cast<TestMetaLeaf*>(leaf.Get());
    ASSERT_NE(specific, nullptr);
    EXPECT_EQ(specific->m_decodedSize, 3);
    EXPECT_EQ(leaf->RequestId(), 0x42u);
    EXPECT_EQ(ToBytes(*leaf->Data()), Hex("01 AA BB"));

    RefPtr<SnacCommand> general = DecodeSnac(Hex("0015 0003 0000 00000042 02"));
    EXPECT_NE(dynamic_cast<TestMetaReply*>(general.Get()), nullptr);
}

TEST_F(DecoderRegistration, MisbehavingDecodersCannotLoopForever)
{
    RegisterSnacDecoder(CommandNumber::IcqError, [] { return RefPtr<SnacCommand>(MakeRef<SelfReturning>()); });
    RegisterSnacDecoder(CommandNumber::ServiceError, [] { return RefPtr<SnacCommand>(MakeRef<PingPong>()); });

    RefPtr<SnacCommand> self = DecodeSnac(Hex("0015 0001 0000 00000000"));
    EXPECT_NE(dynamic_cast<SelfReturning*>(self.Get()), nullptr);

    RefPtr<SnacCommand> cycling = DecodeSnac(Hex("0001 0001 0000 00000000 0102"));
    ASSERT_TRUE(cycling);
    EXPECT_EQ(cycling->Number(), CommandNumber::Unknown);
    EXPECT_EQ(cycling->Family(), 1);
    EXPECT_EQ(ToBytes(*cycling->Data()), Hex("0102"));
}

TEST_F(DecoderRegistration, RegistrationIsLimitedToTheTable)
{
    EXPECT_FALSE(RegisterSnacDecoder(CommandNumber::Unknown, [] { return RefPtr<SnacCommand>(); }));
    EXPECT_FALSE(RegisterSnacDecoder(static_cast<CommandNumber>(56), [] { return RefPtr<SnacCommand>(); }));
    // A factory that makes nothing leaves a plain unknown command.
    RegisterSnacDecoder(CommandNumber::MetaReply, [] { return RefPtr<SnacCommand>(); });
    RefPtr<SnacCommand> plain = DecodeSnac(Hex("0015 0003 0000 00000000"));
    EXPECT_EQ(plain->Number(), CommandNumber::Unknown);
    EXPECT_EQ(plain->Subtype(), 3);
}

}  // namespace
