// ICQ meta requests (SNAC 0x15/0x02): the little-endian envelope and the
// three directory requests (full information, search by UIN, search by
// personal details).
//
// The SNAC data is item 0x0001 whose value is little-endian throughout: the
// length of the rest (16), the own UIN (32), the request type (16), the
// sequence number (16), then the type's body; directory requests (type
// 0x07D0) start their body with a 16-bit subtype. The SNAC request id is the
// caller's cookie, which the server echoes in every reply.
#pragma once

#include <cstdint>
#include <span>

#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"
#include "platform/base/Types.h"

namespace oscar {

constexpr std::uint16_t kMetaRequestOffline = 0x003C;
constexpr std::uint16_t kMetaRequestDeleteOffline = 0x003E;
constexpr std::uint16_t kMetaRequestDirectory = 0x07D0;

constexpr std::uint16_t kDirectoryFullInfo = 0x04B2;
constexpr std::uint16_t kDirectorySearchDetails = 0x055F;
constexpr std::uint16_t kDirectorySearchUin = 0x0569;

// The next request sequence number of the process (16 bits, counting up
// and wrapping). Any thread.
std::uint16_t NextMetaSequence();

// The SNAC data of a meta request: item 0x0001 with the envelope and the
// body. Null when the value would not fit its 16-bit lengths.
RefPtr<ByteBuffer> BuildMetaRequestData(std::uint32_t ownUin, std::uint16_t type, std::uint16_t sequence,
                                        std::span<const std::uint8_t> body);

// A channel-2 frame with meta request data; null when the data does not fit.
RefPtr<FlapFrame> BuildMetaRequestFrame(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t type,
                                        std::uint16_t sequence, std::span<const std::uint8_t> body);

// Full information (subtype 0x04B2): the target UIN.
RefPtr<FlapFrame> BuildFullInfoRequest(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t sequence,
                                       std::uint32_t targetUin);

// Search by UIN (subtype 0x0569): item 0x0136 (little-endian type and
// length 4) with the target UIN.
RefPtr<FlapFrame> BuildSearchByUinRequest(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t sequence,
                                          std::uint32_t targetUin);

// Age choices of the search window; index 0 is "no choice".
struct AgeRange {
    std::uint16_t minimum = 0;
    std::uint16_t maximum = 0;
};
constexpr int kAgeChoiceCount = 7;
// The range of a choice: 0 none, 1 "18-22", 2 "23-29", 3 "30-39",
// 4 "40-49", 5 "50-59", 6 "60-above" (60 to 10000). Outside 0..6: none.
AgeRange AgeRangeOfChoice(int index);
// The window's text of a choice ("" for 0 and outside 0..6).
const char16_t* AgeChoiceText(int index);

// What a search by details looks for; empty strings and zero numbers are
// not sent.
struct SearchCriteria {
    WideString city;
    AgeRange age;               // sent when the minimum is above 0
    std::uint8_t gender = 0;    // 1 female, 2 male; sent when above 0
    WideString firstName;
    WideString lastName;
    WideString nickname;
    WideString email;
};

// Search by details (subtype 0x055F): the given criteria as little-endian
// items in the order city 0x0190, age range 0x0168, gender 0x017C, first
// name 0x0140, last name 0x014A, nickname 0x0154, e-mail 0x015E; strings in
// the code page with a terminating zero, after a 16-bit length that counts
// it. Null when the criteria are too long for the request.
RefPtr<FlapFrame> BuildSearchByDetailsRequest(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t sequence,
                                              const SearchCriteria& criteria, UINT codePage);

}  // namespace oscar
