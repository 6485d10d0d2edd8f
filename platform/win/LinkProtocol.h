// The frames exchanged between processes of one device over DEVICE/run/<pid>.sock.
// Pure byte codec: no socket, no window.
//
// A connection carries one request and one reply. Request frame (all
// integers little-endian):
//   u32 magic 'CVW1', u32 kind, u32 body length, body
// Bodies:
//   Find        u32 flags (1 class given, 2 title given), class, title
//               (each: u32 character count, UTF-16 characters)
//   Post, Send  u64 window, u32 message, u64 wParam, i64 lParam
//   CopyData    u64 window, u64 wParam, u64 dwData, u32 cbData, cbData bytes
//   Foreground, IsWindow   u64 window
// Reply frame: u32 magic, u32 status, i64 result.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/Types.h"

namespace platform::win::link {

constexpr std::uint32_t kMagic = 0x31575643;  // "CVW1"
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kReplySize = 16;
// Largest WM_COPYDATA payload carried; larger sends are refused.
constexpr std::size_t kMaxPayload = 1u << 20;
// Largest class or title carried, in characters.
constexpr std::size_t kMaxName = 1024;
constexpr std::size_t kMaxBody = kMaxPayload + 64;

enum class Kind : std::uint32_t { Find = 1, Post = 2, Send = 3, CopyData = 4, Foreground = 5, IsWindow = 6 };

enum class Status : std::uint32_t { Ok = 0, InvalidWindow = 1, Refused = 2, Failed = 3 };

struct Request {
    Kind kind = Kind::Post;
    std::uint64_t window = 0;
    std::uint32_t message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    std::uint64_t dwData = 0;
    std::vector<BYTE> payload;
    std::optional<WideString> className;
    std::optional<WideString> windowName;
};

struct Reply {
    Status status = Status::Failed;
    std::int64_t result = 0;
};

// Whole frame. Callers keep payload and names within the limits above.
std::vector<BYTE> EncodeRequest(const Request& request);

// The body length announced by a header; nullopt for a wrong magic, an unknown
// kind or a length above kMaxBody.
struct Header {
    Kind kind;
    std::uint32_t bodyLength;
};
std::optional<Header> DecodeHeader(std::span<const BYTE> bytes);

// Parses a body of the given kind; nullopt when it is truncated, has trailing
// bytes or a field out of range.
std::optional<Request> DecodeBody(Kind kind, std::span<const BYTE> body);

std::vector<BYTE> EncodeReply(const Reply& reply);
std::optional<Reply> DecodeReply(std::span<const BYTE> bytes);

}  // namespace platform::win::link
