#include "oscar/LoginHandler.h"

#include <string>

#include "app/AppGlobals.h"
#include "oscar/FrameEvents.h"
#include "oscar/OscarSession.h"
#include "oscar/SessionEvents.h"
#include "oscar/SignOnCommands.h"

namespace {

bool IsGreeting(const oscar::FlapFrame& frame)
{
    const RefPtr<oscar::ByteBuffer>& raw = frame.RawPayload();
    if (frame.Channel() != oscar::kChannelSignOn || !raw || raw->Size() != 4)
        return false;
    const std::uint8_t* p = raw->Data();
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 1;
}

}  // namespace

LoginHandler::LoginHandler(OscarSession& session) : m_session(session) { m_session.AddRef(); }

LoginHandler::~LoginHandler() { m_session.Release(); }

WideString LoginHandler::RejectionText(std::uint16_t code)
{
    WideString text = u"ICQ connection rejected";
    if (code != 0) {
        text += u": error ";
        for (char c : std::to_string(code))
            text += static_cast<char16_t>(c);
    }
    return text;
}

void LoginHandler::Handle(const RefPtr<AppEvent>& event)
{
    if (event->Type() == EventType::LoginFrameReceived) {
        if (auto* frameEvent = dynamic_cast<oscar::FrameEvent*>(event.Get()))
            OnFrame(frameEvent->Frame());
    }
}

void LoginHandler::Send(const RefPtr<oscar::FlapFrame>& frame)
{
    m_session.Core().Post(MakeRef<oscar::SendFrameEvent>(EventType::SendLoginFrame, frame));
}

void LoginHandler::OnFrame(const RefPtr<oscar::FlapFrame>& frame)
{
    if (!frame)
        return;
    if (IsGreeting(*frame)) {
        Send(oscar::BuildSignOnFrame(m_session.Uin(), m_session.Password(),
                                     static_cast<UINT>(app::ProcessCodePage())));
        return;
    }
    if (frame->Channel() == oscar::kChannelSignOff)
        OnLoginReply(*frame);
}

void LoginHandler::OnLoginReply(const oscar::FlapFrame& frame)
{
    oscar::LoginReply reply = oscar::ReadLoginReply(frame);
    if (reply.accepted) {
        m_session.SetBosAddress(std::move(reply.host), std::move(reply.port), std::move(reply.cookie));
        // The polite goodbye; the server may already have closed, and the
        // login thread drops the connection as soon as it sees the acceptance.
        Send(oscar::BuildEmptySignOnFrame());
        m_session.LoginAccepted();
        return;
    }
    AppCore& core = m_session.Core();
    core.Post(MakeRef<oscar::StatusCodeEvent>(EventType::LoginRejected, reply.errorCode));
    m_session.LoginFailed(reply.errorCode);
    core.SetLastErrorText(RejectionText(reply.errorCode));
    core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}
