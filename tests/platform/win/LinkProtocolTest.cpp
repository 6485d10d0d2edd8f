#include <gtest/gtest.h>

#include "platform/win/LinkProtocol.h"

namespace {

using namespace platform::win::link;

std::vector<Request> SampleRequests()
{
    Request find;
    find.kind = Kind::Find;
    find.className = u"Class";
    Request findAny;
    findAny.kind = Kind::Find;
    findAny.windowName = u"";
    Request send;
    send.kind = Kind::Send;
    send.window = 0x0000123400000002ull;
    send.message = 0x8001;
    send.wParam = ~0ull;
    send.lParam = -5;
    Request copy;
    copy.kind = Kind::CopyData;
    copy.window = 4;
    copy.dwData = 1;
    copy.payload = {1, 2, 3, 4, 5};
    Request front;
    front.kind = Kind::Foreground;
    front.window = 6;
    return {find, findAny, send, copy, front};
}

std::optional<Request> Decode(const std::vector<BYTE>& frame)
{
    std::optional<Header> header = DecodeHeader(std::span(frame).first(kHeaderSize));
    if (!header || header->bodyLength != frame.size() - kHeaderSize)
        return std::nullopt;
    return DecodeBody(header->kind, std::span(frame).subspan(kHeaderSize));
}

TEST(LinkProtocolTest, RequestsSurviveARoundTrip)
{
    for (const Request& request : SampleRequests()) {
        std::optional<Request> decoded = Decode(EncodeRequest(request));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->kind, request.kind);
        EXPECT_EQ(decoded->window, request.window);
        EXPECT_EQ(decoded->message, request.message);
        EXPECT_EQ(decoded->wParam, request.wParam);
        EXPECT_EQ(decoded->lParam, request.lParam);
        EXPECT_EQ(decoded->dwData, request.dwData);
        EXPECT_EQ(decoded->payload, request.payload);
        EXPECT_EQ(decoded->className, request.className);
        EXPECT_EQ(decoded->windowName, request.windowName);
    }
}

TEST(LinkProtocolTest, TruncatedOrPaddedBodiesAreRejected)
{
    for (const Request& request : SampleRequests()) {
        std::vector<BYTE> frame = EncodeRequest(request);
        std::span<const BYTE> body = std::span(frame).subspan(kHeaderSize);
        for (std::size_t cut = 0; cut < body.size(); ++cut)
            EXPECT_FALSE(DecodeBody(request.kind, body.first(cut))) << "cut at " << cut;
        std::vector<BYTE> padded(body.begin(), body.end());
        padded.push_back(0);
        EXPECT_FALSE(DecodeBody(request.kind, padded));
    }
}

TEST(LinkProtocolTest, OutOfRangeFieldsAreRejected)
{
    Request copy;
    copy.kind = Kind::CopyData;
    copy.payload = {9, 9};
    std::vector<BYTE> frame = EncodeRequest(copy);
    std::vector<BYTE> body(frame.begin() + kHeaderSize, frame.end());
    body[24] = 0xFF;  // cbData larger than the bytes that follow
    body[27] = 0x7F;
    EXPECT_FALSE(DecodeBody(Kind::CopyData, body));

    Request find;
    find.kind = Kind::Find;
    find.className = WideString(3, u'x');
    frame = EncodeRequest(find);
    body.assign(frame.begin() + kHeaderSize, frame.end());
    body[5] = 0x10;  // class length above kMaxName
    EXPECT_FALSE(DecodeBody(Kind::Find, body));

    struct HeaderCase {
        const char* name;
        std::vector<BYTE> bytes;
    };
    const HeaderCase headers[] = {
        {"short", {0x43, 0x56, 0x57, 0x31, 1, 0, 0, 0}},
        {"bad magic", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}},
        {"kind 0", {0x43, 0x56, 0x57, 0x31, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"kind 7", {0x43, 0x56, 0x57, 0x31, 7, 0, 0, 0, 0, 0, 0, 0}},
        {"too long", {0x43, 0x56, 0x57, 0x31, 4, 0, 0, 0, 0, 0, 0x20, 0}},
    };
    for (const HeaderCase& c : headers)
        EXPECT_FALSE(DecodeHeader(c.bytes)) << c.name;
}

TEST(LinkProtocolTest, RepliesRoundTripAndRejectUnknownStatus)
{
    Reply reply{Status::InvalidWindow, -77};
    std::optional<Reply> decoded = DecodeReply(EncodeReply(reply));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->status, Status::InvalidWindow);
    EXPECT_EQ(decoded->result, -77);
    std::vector<BYTE> bytes = EncodeReply(reply);
    bytes[4] = 9;
    EXPECT_FALSE(DecodeReply(bytes));
    bytes.pop_back();
    EXPECT_FALSE(DecodeReply(bytes));
}

}  // namespace
