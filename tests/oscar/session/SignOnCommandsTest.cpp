#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "oscar/LoginHandler.h"
#include "oscar/OnlineStatus.h"
#include "oscar/SignOnCommands.h"
#include "oscar/codec/FrameParser.h"
#include "oscar/codec/TlvBlock.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const RefPtr<oscar::ByteBuffer>& buffer)
{
    return buffer ? Bytes(buffer->Bytes().begin(), buffer->Bytes().end()) : Bytes{};
}

// Serialises the frame and reads it back the way the receiver does.
RefPtr<oscar::FlapFrame> RoundTrip(const RefPtr<oscar::FlapFrame>& frame)
{
    RefPtr<oscar::ByteBuffer> bytes = frame->Serialise();
    std::int32_t position = 0;
    RefPtr<oscar::FlapFrame> parsed;
    oscar::ParseFrames(*bytes, position, [&](RefPtr<oscar::FlapFrame> f) { parsed = f; });
    return parsed;
}

TEST(OnlineStatusText, PrincipalStatusAndTexts)
{
    struct Case {
        std::int32_t code;
        std::u16string text;
    } cases[] = {
        {-1, u"Offline"}, {0x0000, u"Online"}, {0x0013, u"DND"},        {0x0011, u"Occupied"},
        {0x0005, u"NA"},  {0x0101, u"Away"},   {0x0120, u"Free for chat"}, {0x0100, u"Invisible"},
        {0x0040, u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnlineStatus::Text(c.code), c.text) << std::hex << c.code;
    EXPECT_EQ(OnlineStatus::Principal(0x0013), 0x0002);
}

TEST(SignOn, CapabilitiesDependOnChannelTwoSupport)
{
    EXPECT_EQ(AnnouncedCapabilities(true).size(), 4u);
    std::vector<Capability> without = AnnouncedCapabilities(false);
    ASSERT_EQ(without.size(), 3u);
    EXPECT_EQ(without[1], kCapabilityUtf8);
}

TEST(SignOn, RoastingIsTheStandardXorAndUndoesItself)
{
    Bytes plain = {'p', 'a', 's', 's', 'w', 'o', 'r', 'd', '1', '2', '3', '4', '5', '6', '7', '8', 'x'};
    Bytes roasted = ToBytes(oscar::RoastPassword(plain));
    ASSERT_EQ(roasted.size(), plain.size());
    EXPECT_EQ(roasted[0], 'p' ^ 0xF3);
    EXPECT_EQ(roasted[15], '8' ^ 0x7C);
    EXPECT_EQ(roasted[16], 'x' ^ 0xF3);  // the table repeats every 16 bytes
    EXPECT_EQ(ToBytes(oscar::RoastPassword(roasted)), plain);
}

TEST(SignOn, SignOnFrameCarriesItsItemsInOrder)
{
    Bytes wire = ToBytes(oscar::BuildSignOnFrame(u"123456", u"secret", 0)->Serialise());
    ASSERT_GT(wire.size(), 10u);
    EXPECT_EQ(wire[1], 1);  // channel
    EXPECT_EQ(Bytes(wire.begin() + 6, wire.begin() + 10), (Bytes{0, 0, 0, 1}));
    std::vector<oscar::TlvView> items = oscar::ReadTlvBlock(std::span(wire).subspan(10));
    std::vector<std::uint16_t> types;
    for (const auto& item : items)
        types.push_back(item.type);
    EXPECT_EQ(types, (std::vector<std::uint16_t>{0x01, 0x02, 0x03, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x14, 0x0F, 0x0E}));
    auto value = [&](std::size_t i) { return Bytes(items[i].value.begin(), items[i].value.end()); };
    EXPECT_EQ(value(0), (Bytes{'1', '2', '3', '4', '5', '6'}));
    EXPECT_EQ(ToBytes(oscar::RoastPassword(items[1].value)), (Bytes{'s', 'e', 'c', 'r', 'e', 't'}));
    EXPECT_EQ(items[2].value.size(), 51u);
    EXPECT_EQ(value(7), (Bytes{0x0F, 0x4C}));
    EXPECT_EQ(value(8), (Bytes{0, 0, 0, 0x55}));
    EXPECT_EQ(value(9), (Bytes{'e', 'n'}));
}

TEST(SignOn, SetStatusBodyLayout)
{
    RefPtr<oscar::FlapFrame> frame = RoundTrip(oscar::BuildSetStatus(0x0013));
    ASSERT_TRUE(frame && frame->Snac());
    EXPECT_EQ(frame->Snac()->Family(), 0x01);
    EXPECT_EQ(frame->Snac()->Subtype(), 0x1E);
    EXPECT_EQ(frame->Snac()->RequestId(), 0x1Eu);
    std::vector<oscar::TlvView> items = oscar::ReadTlvBlock(frame->Snac()->Data()->Bytes());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(Bytes(items[0].value.begin(), items[0].value.end()), (Bytes{0x01, 0x00, 0x00, 0x13}));
    EXPECT_EQ(items[1].type, 0x000C);
    ASSERT_EQ(items[1].value.size(), 37u);
    EXPECT_EQ(items[1].value[10], 8);  // protocol version, after address, port and type
}

TEST(SignOn, MessagingParametersAndOfflineRequestBodies)
{
    RefPtr<oscar::FlapFrame> parameters = RoundTrip(oscar::BuildMessagingParameters(1, 3));
    EXPECT_EQ(ToBytes(parameters->Snac()->Data()),
              (Bytes{0, 1, 0, 0, 0, 3, 0x1F, 0x40, 0x03, 0xE7, 0x03, 0xE7, 0, 0, 0, 0}));
    EXPECT_EQ(parameters->Snac()->RequestId(), 2u);

    RefPtr<oscar::FlapFrame> offline = RoundTrip(oscar::BuildOfflineMessagesRequest(123456789));
    EXPECT_EQ(offline->Snac()->RequestId(), 0x00020001u);
    // Item 1 of 10 bytes: length 8, UIN, type 0x3C, sequence 2, little-endian.
    EXPECT_EQ(ToBytes(offline->Snac()->Data()),
              (Bytes{0, 1, 0, 10, 8, 0, 0x15, 0xCD, 0x5B, 0x07, 0x3C, 0, 2, 0}));
}

TEST(SignOn, RateClassIdsFromRateInformation)
{
    Bytes info = {0, 2};
    info.resize(2 + 2 * 35, 0);
    Bytes groups = {0, 1, 0, 1, 0, 1, 0, 2, 0, 7, 0, 0};
    info.insert(info.end(), groups.begin(), groups.end());
    EXPECT_EQ(oscar::ReadRateClassIds(info), (std::vector<std::uint16_t>{1, 7}));
    EXPECT_TRUE(oscar::ReadRateClassIds(Bytes{0, 0}).empty());
    EXPECT_TRUE(oscar::ReadRateClassIds(Bytes{0, 5, 1, 2}).empty());  // blocks run past the data
    Bytes cut(info.begin(), info.end() - 4);                           // second group cut
    EXPECT_EQ(oscar::ReadRateClassIds(cut), (std::vector<std::uint16_t>{1}));
}

// A login reply as it arrives: a channel-4 frame of items, each given as
// type and value bytes.
RefPtr<oscar::FlapFrame> LoginReplyFrame(const std::vector<std::pair<std::uint16_t, std::string>>& items)
{
    auto body = MakeRef<oscar::ByteBuffer>();
    for (const auto& [type, value] : items) {
        body->AppendU16(type);
        body->AppendU16(static_cast<std::uint16_t>(value.size()));
        body->Append(value.data(), static_cast<std::int32_t>(value.size()));
    }
    return oscar::BuildReceivedFrame(oscar::kChannelSignOff, 0, body);
}

TEST(Login, AcceptedReplyGivesBosAddressAndCookie)
{
    const std::string cookie = std::string{'\x01', '\x00', '\xFF'} + "cookie";
    struct Case {
        std::string address;
        std::string host;
        std::string port;
    } cases[] = {
        {"10.0.0.9:5191", "10.0.0.9", "5191"},
        // The last colon separates the port.
        {"a:b:7", "a:b", "7"},
        // Without a port the address would be dialled on port 0 and the
        // sign-on retried for ever; it gets the usual port instead.
        {"10.0.0.9", "10.0.0.9", "5190"},
        {"10.0.0.9:", "10.0.0.9", "5190"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        oscar::LoginReply reply = oscar::ReadLoginReply(*LoginReplyFrame({{0x0005, c.address}, {0x0006, cookie}}));
        EXPECT_TRUE(reply.accepted);
        EXPECT_EQ(reply.host, c.host);
        EXPECT_EQ(reply.port, c.port);
        EXPECT_EQ(ToBytes(reply.cookie), Bytes(cookie.begin(), cookie.end()));
        EXPECT_EQ(reply.errorCode, 0);
    }
}

TEST(Login, RejectedReplyCarriesItsErrorCode)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint16_t, std::string>> items;
        std::uint16_t code;
    } cases[] = {
        {"reason item wins", {{0x0008, std::string("\x00\x05", 2)}, {0x0009, std::string("\x00\x18", 2)}}, 0x18},
        {"short reason falls back", {{0x0009, std::string("\x01", 1)}, {0x0008, std::string("\x01\x02\x03", 3)}}, 0x0102},
        {"address without cookie", {{0x0005, "10.0.0.9:5190"}, {0x0008, std::string("\x00\x04", 2)}}, 4},
        {"no code at all", {{0x0001, "123"}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        oscar::LoginReply reply = oscar::ReadLoginReply(*LoginReplyFrame(c.items));
        EXPECT_FALSE(reply.accepted);
        EXPECT_EQ(reply.errorCode, c.code);
        EXPECT_FALSE(reply.cookie);
    }
}

TEST(Login, RejectionTexts)
{
    EXPECT_EQ(LoginHandler::RejectionText(5), u"ICQ connection rejected: error 5");
    EXPECT_EQ(LoginHandler::RejectionText(0), u"ICQ connection rejected");
}

}  // namespace
