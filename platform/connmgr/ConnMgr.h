// The device's connection manager: brings up the packet-data link and reports
// its status to a window with a message (wParam = status).
//
// The simulated device has no radio and its network is always there: by
// default every request is answered with "connected" (0x10) at once. Tests
// can delay that answer, or switch to manual mode and inject any sequence of
// statuses.
#pragma once

#include "platform/base/Types.h"

// On the phone this record is 64 bytes (32-bit pointers); here cbSize is the
// native size of the same fields.
struct CONNMGR_CONNECTIONINFO {
    DWORD cbSize = 0;
    DWORD dwParams = 0;
    DWORD dwFlags = 0;
    DWORD dwPriority = 0;
    BOOL bExclusive = FALSE;
    BOOL bDisabled = FALSE;
    GUID guidDestNet{};
    HWND hWnd = nullptr;
    UINT uMsg = 0;
    LPARAM lParam = 0;
    ULONG ulMaxCost = 0;
    ULONG ulMinRcvBw = 0;
    ULONG ulMaxConnLatency = 0;
};

constexpr DWORD CONNMGR_PARAM_GUIDDESTNET = 0x1;
constexpr DWORD CONNMGR_PRIORITY_USERINTERACTIVE = 0x08000;

// Statuses.
constexpr DWORD CONNMGR_STATUS_UNKNOWN = 0x00;
constexpr DWORD CONNMGR_STATUS_CONNECTED = 0x10;
constexpr DWORD CONNMGR_STATUS_SUSPENDED = 0x11;
constexpr DWORD CONNMGR_STATUS_DISCONNECTED = 0x20;
constexpr DWORD CONNMGR_STATUS_CONNECTIONFAILED = 0x21;
constexpr DWORD CONNMGR_STATUS_CONNECTIONCANCELED = 0x22;
constexpr DWORD CONNMGR_STATUS_CONNECTIONDISABLED = 0x23;
constexpr DWORD CONNMGR_STATUS_NOPATHTODESTINATION = 0x24;
constexpr DWORD CONNMGR_STATUS_WAITINGFORPATH = 0x25;
constexpr DWORD CONNMGR_STATUS_WAITINGFORPHONE = 0x26;
constexpr DWORD CONNMGR_STATUS_PHONEOFF = 0x27;
constexpr DWORD CONNMGR_STATUS_EXCLUSIVECONFLICT = 0x28;
constexpr DWORD CONNMGR_STATUS_NORESOURCES = 0x29;
constexpr DWORD CONNMGR_STATUS_CONNECTIONLINKFAILED = 0x2A;
constexpr DWORD CONNMGR_STATUS_AUTHENTICATIONFAILED = 0x2B;
constexpr DWORD CONNMGR_STATUS_NOPATHWITHPROPERTY = 0x2C;
constexpr DWORD CONNMGR_STATUS_WAITINGCONNECTION = 0x40;
constexpr DWORD CONNMGR_STATUS_WAITINGFORRESOURCE = 0x41;
constexpr DWORD CONNMGR_STATUS_WAITINGFORNETWORK = 0x42;
constexpr DWORD CONNMGR_STATUS_WAITINGDISCONNECTION = 0x80;
constexpr DWORD CONNMGR_STATUS_WAITINGCONNECTIONABORT = 0x81;

// The Internet destination network.
constexpr GUID IID_DestNetInternet = {0x436EF144, 0xB4FB, 0x4863, {0xA0, 0x41, 0x8F, 0x90, 0x5A, 0x62, 0xC5, 0x72}};

// Asks for the data connection. The status arrives later as uMsg to hWnd.
// Returns a connection handle (never released by the program).
HRESULT ConnMgrEstablishConnection(CONNMGR_CONNECTIONINFO* info, HANDLE* connection);

namespace platform::connmgr {

// Manual mode: requests are recorded and answered only by InjectStatus.
void SetManualMode(bool manual);

// Automatic mode answers "connected" this long (device time) after each
// request; 0, the default, answers at once.
void SetAnswerDelay(DWORD milliseconds);

// Sends the status to the window of every request made so far.
void InjectStatus(DWORD status);

// Number of requests made so far.
int RequestCount();

// Forgets every request and returns to automatic mode (tests).
void Reset();

}  // namespace platform::connmgr
