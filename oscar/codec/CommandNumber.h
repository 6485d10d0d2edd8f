// CommandNumber: the program's own number for every SNAC command it sends or
// understands. The numbers are fixed (1..55); 0 means a command the table does
// not know. Family and subtype of each number are in CommandTable.cpp.
#pragma once

#include <cstdint>

namespace oscar {

enum class CommandNumber : std::int32_t {
    Unknown = 0,
    ServiceError = 1,              // 0x01/0x01 R
    ClientReady = 2,               // 0x01/0x02 S
    ServerReady = 3,               // 0x01/0x03 R
    ServiceRequest = 4,            // 0x01/0x04 R
    RateLimitRequest = 5,          // 0x01/0x06 S
    RateLimitInfo = 6,             // 0x01/0x07 R
    RateLimitAck = 7,              // 0x01/0x08 S
    OwnInfoRequest = 8,            // 0x01/0x0E R
    OwnOnlineInfo = 9,             // 0x01/0x0F R
    IdleTime = 10,                 // 0x01/0x11 (never built)
    MessageOfTheDay = 11,          // 0x01/0x13 R
    ClientFamilyVersions = 12,     // 0x01/0x17 S
    ServerFamilyVersions = 13,     // 0x01/0x18 R
    SetStatus = 14,                // 0x01/0x1E S
    LocationRightsRequest = 15,    // 0x02/0x02 S
    LocationRights = 16,           // 0x02/0x03 R
    SetUserInfo = 17,              // 0x02/0x04 S
    BuddyRightsRequest = 18,       // 0x03/0x02 S
    BuddyRights = 19,              // 0x03/0x03 R
    AddBuddies = 20,               // 0x03/0x04 S
    ContactOnline = 21,            // 0x03/0x0B R
    ContactOffline = 22,           // 0x03/0x0C R
    SetMessagingParams = 23,       // 0x04/0x02 S
    MessagingParamsRequest = 24,   // 0x04/0x04 S
    MessagingParams = 25,          // 0x04/0x05 R
    SendMessage = 26,              // 0x04/0x06 S
    IncomingMessage = 27,          // 0x04/0x07 R
    MessageResponse = 28,          // 0x04/0x0B R
    ServerMessageAck = 29,         // 0x04/0x0C R
    TypingNotification = 30,       // 0x04/0x14 R, S
    AdminRequest = 31,             // 0x07/0x02 R
    AdminReply = 32,               // 0x07/0x03 R
    PrivacyRightsRequest = 33,     // 0x09/0x02 S
    PrivacyRights = 34,            // 0x09/0x03 R
    StatsReportInterval = 35,      // 0x0B/0x02 R
    ListRightsRequest = 36,        // 0x13/0x02 S
    ListRights = 37,               // 0x13/0x03 R
    ListRequestWithCheck = 38,     // 0x13/0x05 S
    ServerList = 39,               // 0x13/0x06 R
    ActivateList = 40,             // 0x13/0x07 S
    ListAddItem = 41,              // 0x13/0x08 R, S
    ListUpdateItem = 42,           // 0x13/0x09 R, S
    ListDeleteItem = 43,           // 0x13/0x0A R, S
    ListChangeAck = 44,            // 0x13/0x0E R
    ListUpToDate = 45,             // 0x13/0x0F R
    ListChangesBegin = 46,         // 0x13/0x11 R
    ListChangesEnd = 47,           // 0x13/0x12 R
    AuthRequestSend = 48,          // 0x13/0x18 S
    AuthRequestReceived = 49,      // 0x13/0x19 R
    AuthReplySend = 50,            // 0x13/0x1A S
    AuthReplyReceived = 51,        // 0x13/0x1B R
    AddedYouNotice = 52,           // 0x13/0x1C R
    IcqError = 53,                 // 0x15/0x01 R
    MetaRequest = 54,              // 0x15/0x02 S
    MetaReply = 55,                // 0x15/0x03 R
};

constexpr std::int32_t kFirstCommandNumber = 1;
constexpr std::int32_t kLastCommandNumber = 55;

}  // namespace oscar
