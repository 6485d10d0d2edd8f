#include "store/HistoryFormat.h"

namespace store {
namespace {

void PutU16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t GetU16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

std::uint32_t GetU32(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

}  // namespace

RecordBytes EncodeRecord(const HistoryRecord& record)
{
    RecordBytes bytes{};
    PutU16(&bytes[0], record.year);
    bytes[2] = record.month;
    bytes[3] = record.day;
    bytes[4] = record.hour;
    bytes[5] = record.minute;
    bytes[6] = record.second;
    bytes[7] = record.party;
    PutU32(&bytes[8], record.offset);
    PutU32(&bytes[12], record.length);
    return bytes;
}

HistoryRecord DecodeRecord(const RecordBytes& bytes)
{
    HistoryRecord record;
    record.year = GetU16(&bytes[0]);
    record.month = bytes[2];
    record.day = bytes[3];
    record.hour = bytes[4];
    record.minute = bytes[5];
    record.second = bytes[6];
    record.party = bytes[7];
    record.offset = GetU32(&bytes[8]);
    record.length = GetU32(&bytes[12]);
    return record;
}

void SetRecordTime(HistoryRecord& record, const SYSTEMTIME& time)
{
    record.year = time.wYear;
    record.month = static_cast<std::uint8_t>(time.wMonth);
    record.day = static_cast<std::uint8_t>(time.wDay);
    record.hour = static_cast<std::uint8_t>(time.wHour);
    record.minute = static_cast<std::uint8_t>(time.wMinute);
    record.second = static_cast<std::uint8_t>(time.wSecond);
}

SYSTEMTIME RecordTime(const HistoryRecord& record)
{
    SYSTEMTIME time;
    time.wYear = record.year;
    time.wMonth = record.month;
    time.wDay = record.day;
    time.wHour = record.hour;
    time.wMinute = record.minute;
    time.wSecond = record.second;
    return time;
}

RecordBytes IndexHeader()
{
    RecordBytes header{};
    header[0] = 0x01;
    return header;
}

}  // namespace store
