// KeepAlive: the session's keep-alive thread. While the session is online it
// sends a channel-5 frame every ICQ_PING_PERIOD seconds, and it watches the
// BOS connection: when nothing arrived for a while it asks the server for
// something it must answer, and a connection that stays silent after that is
// reported lost (a frozen server or a forgotten NAT mapping would otherwise
// keep the session "Online" until TCP gives up, for hours). On the same
// period it has the contact store clear marks that have expired.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/base/Types.h"

class OscarSession;

namespace oscar {

class KeepAlive {
public:
    // The watch of a silent BOS connection, in device milliseconds: after
    // kSilenceLimit without a byte from the server a request it must answer
    // goes out (again every kAnswerLimit); after kSilenceLimit + kAnswerLimit
    // the connection counts as lost and the session retries.
    static constexpr DWORD kSilenceLimit = 60000;
    static constexpr DWORD kAnswerLimit = 30000;
    static constexpr DWORD kWatchStep = 5000;
    // The request id of the own-information request sent as that probe; its
    // answer is not shown as a status change.
    static constexpr std::uint32_t kProbeRequestId = 0x00C0FFEE;

    // Bytes arrived on the BOS connection (or the session just signed on) at
    // the device tick. Any thread.
    void NoteReceived(DWORD now) { m_lastReceived = now; }

    // The thread's loop: wakes every kWatchStep until the quit event is set.
    void Run(OscarSession& session, HANDLE quit);

private:
    void WatchSilence(OscarSession& session, DWORD now);

    std::atomic<DWORD> m_lastReceived{0};
    DWORD m_lastProbe = 0;  // keep-alive thread only
};

}  // namespace oscar
