#include "oscar/KeepAlive.h"

#include <algorithm>

#include "oscar/OscarSession.h"
#include "oscar/SignOnCommands.h"
#include "oscar/codec/FlapFrame.h"
#include "oscar/SessionEvents.h"
#include "platform/base/Clock.h"

namespace oscar {

// Wakes every kWatchStep to watch the connection; the keep-alive frame and
// the clearing of old marks keep their own period.
void KeepAlive::Run(OscarSession& session, HANDLE quit)
{
    AppCore& core = session.Core();
    std::int32_t period = core.GetSettings()->icqPingPeriod;
    DWORD wait = period > 0 ? static_cast<DWORD>(period) * 1000u : 120000u;
    DWORD lastPing = GetTickCount();
    while (WaitForSingleObject(quit, std::min(wait, kWatchStep)) == WAIT_TIMEOUT) {
        DWORD now = GetTickCount();
        WatchSilence(session, now);
        if (now - lastPing < wait)
            continue;
        lastPing = now;
        if (session.Store().ExpireMarks(now))
            core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
        if (session.IsOnline())
            core.Post(MakeRef<SendFrameEvent>(EventType::SendBosFrame, FlapFrame::KeepAlive()));
    }
}

// Keep-alive frames get no answer, so they cannot show that the server is
// still there; the own-information request does.
void KeepAlive::WatchSilence(OscarSession& session, DWORD now)
{
    if (!session.IsOnline())
        return;
    DWORD silent = now - m_lastReceived.load();
    if (silent >= kSilenceLimit + kAnswerLimit) {
        session.BosFailed();
        return;
    }
    if (silent >= kSilenceLimit && now - m_lastProbe >= kAnswerLimit) {
        m_lastProbe = now;
        session.Core().Post(MakeRef<SendFrameEvent>(EventType::SendBosFrame,
                                                    BuildSnacFrame(CommandNumber::OwnInfoRequest, kProbeRequestId)));
    }
}

}  // namespace oscar
