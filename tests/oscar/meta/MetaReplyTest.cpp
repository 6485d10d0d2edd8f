// Meta reply decoding: the envelope, every kind of the table, the bodies the
// windows read, and malformed replies.
#include <gtest/gtest.h>

#include "app/AppGlobals.h"
#include "oscar/meta/DirectoryReplies.h"
#include "oscar/meta/OfflineReplies.h"
#include "tests/oscar/meta/MetaBytes.h"

namespace {

using namespace oscar;
using metatest::Bytes;
using metatest::Decode;
using metatest::Le;
using metatest::ReplyData;

constexpr std::uint16_t kDir = kMetaReplyDirectory;

Bytes BasicBody(std::uint8_t result = kDirectoryResultSuccess)
{
    Le body;
    body.U8(result);
    for (const char* text : {"Alice", "Alice", "Liddell", "a@x.org", "Oxford", "Oxon", "555-1", "555-2", "Street 1",
                             "555-3", "OX1"})
        body.Str(text);
    body.U16(44).U8(0xF8).U8(1).U8(1).U8(0).U8(1);
    return body.Get();
}

Bytes HitBody(std::uint32_t uin, std::uint16_t onlineState)
{
    Le record;
    record.U32(uin).Str("Nick").Str("First").Str("Last").Str("e@x").U8(1).U16(onlineState).U8(2).U16(33);
    Le body;
    body.U8(kDirectoryResultSuccess).U16(static_cast<std::uint16_t>(record.Get().size())).Raw(record.Get());
    return body.Get();
}

// The decoded command as T (null when it is not one); the reference keeps it
// alive.
template <typename T>
RefPtr<T> As(const RefPtr<SnacCommand>& command)
{
    return RefPtr<T>(dynamic_cast<T*>(command.Get()));
}

TEST(MetaReplyDecoding, EveryKindOfTheTableGetsItsClass)
{
    const struct {
        std::uint16_t type;
        std::uint16_t subtype;
        MetaReplyKind kind;
    } cases[] = {
        {0x0041, 0, MetaReplyKind::OfflineMessage},    {0x0042, 0, MetaReplyKind::OfflineEnd},
        {kDir, 0x00C8, MetaReplyKind::BasicInfo},      {kDir, 0x00D2, MetaReplyKind::WorkInfo},
        {kDir, 0x00DC, MetaReplyKind::MoreInfo},       {kDir, 0x00E6, MetaReplyKind::Notes},
        {kDir, 0x00EB, MetaReplyKind::Emails},         {kDir, 0x00F0, MetaReplyKind::Interests},
        {kDir, 0x00FA, MetaReplyKind::Affiliations},   {kDir, 0x010E, MetaReplyKind::FurtherInfo},
        {kDir, 0x01A4, MetaReplyKind::SearchResult},   {kDir, 0x01AE, MetaReplyKind::LastSearchResult},
    };
    for (const auto& c : cases) {
        RefPtr<SnacCommand> command = Decode(ReplyData(c.type, c.subtype, {kDirectoryResultSuccess}));
        auto reply = As<MetaReply>(command);
        ASSERT_TRUE(reply) << c.subtype;
        EXPECT_EQ(reply->Kind(), c.kind) << c.subtype;
        EXPECT_EQ(reply->Number(), CommandNumber::MetaReply);
        EXPECT_EQ(reply->RequestId(), 0x1234u);
        ASSERT_TRUE(reply->Header());
        EXPECT_EQ(reply->Header()->ownUin, 100001u);
        EXPECT_EQ(reply->Header()->sequence, 7);
    }
    // The five kinds no window reads keep only their result byte.
    auto work = As<DirectoryReply>(Decode(ReplyData(kDir, 0x00D2, {0x0A, 1, 2, 3})));
    ASSERT_TRUE(work);
    EXPECT_TRUE(work->Success());
}

TEST(MetaReplyDecoding, UnknownSubtypesAndBrokenEnvelopesStayPlainReplies)
{
    auto unknown = As<MetaReply>(Decode(ReplyData(kDir, 0x0123, {0x0A})));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->Kind(), MetaReplyKind::None);
    EXPECT_TRUE(unknown->Header());
    EXPECT_FALSE(As<DirectoryReply>(Decode(ReplyData(kDir, 0x0123, {0x0A}))));
    EXPECT_EQ(As<MetaReply>(Decode(ReplyData(0x0999, 0, {})))->Kind(), MetaReplyKind::None);

    const Bytes broken[] = {
        {},                                    // no item
        codectest::Hex("0002 0002 0000"),     // another item only
        codectest::Hex("0001 0008 0C00 A1860100 DA07"),  // no sequence
        codectest::Hex("0001 000A 0A00 A1860100 DA07 0700"),  // directory reply without subtype
        codectest::Hex("0001 00FF 0A00 A1860100"),  // item longer than the data
    };
    for (const Bytes& data : broken) {
        auto reply = As<MetaReply>(Decode(data));
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->Kind(), MetaReplyKind::None);
        EXPECT_FALSE(reply->Header());
    }
}

TEST(MetaReplyDecoding, BasicInformationReadsElevenStringsAndTheFlags)
{
    auto reply = As<BasicInfoReply>(Decode(ReplyData(kDir, 0x00C8, BasicBody())));
    ASSERT_TRUE(reply);
    ASSERT_TRUE(reply->Success());
    const BasicInfo& info = reply->Info();
    EXPECT_EQ(info.nickname, u"Alice");
    EXPECT_EQ(info.lastName, u"Liddell");
    EXPECT_EQ(info.state, u"Oxon");
    EXPECT_EQ(info.fax, u"555-2");
    EXPECT_EQ(info.mobile, u"555-3");
    EXPECT_EQ(info.zip, u"OX1");
    EXPECT_EQ(info.country, 44);
    EXPECT_EQ(info.timeZone, 0xF8);
    EXPECT_TRUE(info.authorisationRequired);
    EXPECT_EQ(info.publishEmail, 1);

    // The publishing flags are optional; the authorisation flag is not.
    Bytes shorter = BasicBody();
    shorter.resize(shorter.size() - 3);
    EXPECT_TRUE(As<BasicInfoReply>(Decode(ReplyData(kDir, 0x00C8, shorter)))->Success());
    shorter.resize(shorter.size() - 1);
    EXPECT_FALSE(As<BasicInfoReply>(Decode(ReplyData(kDir, 0x00C8, shorter)))->Success());
}

TEST(MetaReplyDecoding, MoreInformationNotesAndStringsInTheCodePage)
{
    app::SetProcessCodePage(1252);
    Le more;
    more.U8(0x0A).U16(31).U8(1).Str("http://h\xE9").U16(1990).U8(12).U8(24).U8(0).U8(0);
    auto moreReply = As<MoreInfoReply>(Decode(ReplyData(kDir, 0x00DC, more.Get())));
    ASSERT_TRUE(moreReply);
    ASSERT_TRUE(moreReply->Success());
    EXPECT_EQ(moreReply->Info().age, 31);
    EXPECT_EQ(moreReply->Info().gender, 1);
    EXPECT_EQ(moreReply->Info().homepage, u"http://h\u00E9");
    EXPECT_EQ(moreReply->Info().birthYear, 1990);
    EXPECT_EQ(moreReply->Info().birthMonth, 12);
    EXPECT_EQ(moreReply->Info().birthDay, 24);

    Le notes;
    notes.U8(0x0A).Str("line\r\nnext");
    auto notesReply = As<NotesReply>(Decode(ReplyData(kDir, 0x00E6, notes.Get())));
    ASSERT_TRUE(notesReply);
    EXPECT_EQ(notesReply->Notes(), u"line\r\nnext");
    app::SetProcessCodePage(0);
}

TEST(MetaReplyDecoding, SearchResultsCarryTheHitAndTheLastFlag)
{
    auto hit = As<SearchResultReply>(Decode(ReplyData(kDir, 0x01A4, HitBody(4242, 1))));
    ASSERT_TRUE(hit);
    ASSERT_TRUE(hit->Success());
    EXPECT_FALSE(hit->IsLast());
    EXPECT_EQ(hit->Hit().uin, 4242u);
    EXPECT_EQ(hit->Hit().nickname, u"Nick");
    EXPECT_EQ(hit->Hit().email, u"e@x");
    EXPECT_TRUE(hit->Hit().authorisationRequired);
    EXPECT_TRUE(hit->Hit().online);
    EXPECT_EQ(hit->Hit().gender, 2);
    EXPECT_EQ(hit->Hit().age, 33);

    // Only an online state of exactly 1 counts as online; the last result
    // may carry the count of hits left out after the record.
    Bytes last = HitBody(7, 2);
    last.insert(last.end(), {5, 0, 0, 0});
    auto lastHit = As<SearchResultReply>(Decode(ReplyData(kDir, 0x01AE, last)));
    ASSERT_TRUE(lastHit);
    EXPECT_TRUE(lastHit->IsLast());
    EXPECT_TRUE(lastHit->Success());
    EXPECT_FALSE(lastHit->Hit().online);
}

TEST(MetaReplyDecoding, MalformedDirectoryBodiesCarryNoData)
{
    auto basicFails = [](const Bytes& body) {
        auto reply = As<BasicInfoReply>(Decode(ReplyData(kDir, 0x00C8, body)));
        EXPECT_TRUE(reply);
        return reply && !reply->Success() && reply->Info().nickname.empty();
    };
    EXPECT_TRUE(basicFails({}));                        // no result byte
    EXPECT_TRUE(basicFails(BasicBody(0x32)));           // result other than 0x0A
    EXPECT_TRUE(basicFails(Le().U8(0x0A).U16(200).Raw({'A', 0}).Get()));  // length runs past the reply
    EXPECT_TRUE(basicFails(Le().U8(0x0A).U16(3).Raw({'A', 'B', 'C'}).Get()));  // no terminating zero
    Bytes cut = BasicBody();
    for (std::size_t size = 1; size < cut.size() - 3; ++size)
        EXPECT_TRUE(basicFails(Bytes(cut.begin(), cut.begin() + static_cast<std::ptrdiff_t>(size)))) << size;

    Bytes hit = HitBody(1, 1);
    for (std::size_t size = 0; size < hit.size(); ++size) {
        auto reply =
            As<SearchResultReply>(Decode(ReplyData(kDir, 0x01A4, Bytes(hit.begin(), hit.begin() + static_cast<std::ptrdiff_t>(size)))));
        ASSERT_TRUE(reply);
        EXPECT_FALSE(reply->Success()) << size;
        EXPECT_EQ(reply->Hit().uin, 0u);
    }
}

TEST(MetaReplyDecoding, MetaStringsEdgeCases)
{
    struct Case {
        const char* name;
        Bytes bytes;
        bool ok;
        std::string text;
    };
    const Case cases[] = {
        {"empty with zero", {1, 0, 0}, true, ""},
        {"zero length", {0, 0}, true, ""},
        {"embedded zero ends the text", {4, 0, 'a', 0, 'b', 0}, true, "a"},
        {"last byte not zero", {2, 0, 'a', 'b'}, false, ""},
        {"length past the end", {9, 0, 'a', 0}, false, ""},
        {"length cut", {9}, false, ""},
    };
    for (const Case& c : cases) {
        ByteReader reader(c.bytes);
        std::string text;
        EXPECT_EQ(ReadMetaString(reader, text), c.ok) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(MetaReplyDecoding, OfflineMessagesAndTheirEnd)
{
    Le body;
    body.U32(100002).U16(2024).U8(3).U8(9).U8(21).U8(5).U8(1).U8(0).Str("hi");
    auto message = As<OfflineMessageReply>(Decode(ReplyData(0x0041, 0, body.Get())));
    ASSERT_TRUE(message);
    ASSERT_TRUE(message->Valid());
    EXPECT_EQ(message->Message().senderUin, 100002u);
    EXPECT_EQ(message->Message().year, 2024);
    EXPECT_EQ(message->Message().month, 3);
    EXPECT_EQ(message->Message().day, 9);
    EXPECT_EQ(message->Message().hour, 21);
    EXPECT_EQ(message->Message().minute, 5);
    EXPECT_EQ(message->Message().messageType, 1);
    EXPECT_EQ(message->Message().text, (Bytes{'h', 'i'}));

    // A text length past the body leaves the message invalid and empty.
    Bytes cut = body.Get();
    cut.pop_back();
    auto broken = As<OfflineMessageReply>(Decode(ReplyData(0x0041, 0, cut)));
    ASSERT_TRUE(broken);
    EXPECT_FALSE(broken->Valid());
    EXPECT_EQ(broken->Message().senderUin, 0u);

    auto end = As<OfflineEndReply>(Decode(ReplyData(0x0042, 0, {1})));
    ASSERT_TRUE(end);
    EXPECT_EQ(end->DroppedFlag(), 1);
    EXPECT_EQ(As<OfflineEndReply>(Decode(ReplyData(0x0042, 0, {})))->DroppedFlag(), 0);
}

}  // namespace
