// Byte layout of a conversation's history files.
//
// Text file "<base>_msg.txt": FF FE, then each message's text in UTF-16
// little-endian followed by CR LF. Index file "<base>_idx.dat": a 16-byte
// header (01 and 15 zero bytes), then one 16-byte HistoryRecord per message.
// Parties file "<name>_parties.txt": FF FE, then each party from index 1 on
// in UTF-16 little-endian followed by CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"
#include "store/Utf16Le.h"

namespace store {

constexpr std::size_t kHistoryRecordSize = 16;

// Party index of a sender that is not among the conversation's parties.
constexpr std::uint8_t kUnknownParty = 0xFF;

using RecordBytes = std::array<std::uint8_t, kHistoryRecordSize>;

// One index entry. Offsets 0-6 time (year 16-bit, then month, day, hour,
// minute, second as bytes), 7 party index, 8 text offset (32-bit), 12 text
// byte length without CR LF (32-bit); all little-endian.
struct HistoryRecord {
    std::uint16_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;
    std::uint8_t party = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

RecordBytes EncodeRecord(const HistoryRecord& record);
HistoryRecord DecodeRecord(const RecordBytes& bytes);

// The record's time fields from a SYSTEMTIME (day of week and milliseconds
// are not stored) and back.
void SetRecordTime(HistoryRecord& record, const SYSTEMTIME& time);
SYSTEMTIME RecordTime(const HistoryRecord& record);

// The index file's header.
RecordBytes IndexHeader();

// The CR LF that ends each text and party, in UTF-16 little-endian.
inline constexpr std::string_view kLineEnd{"\x0D\x00\x0A\x00", 4};

}  // namespace store
