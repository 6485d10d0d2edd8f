#include "oscar/LoginHandler.h"

#include <string>

#include "app/AppGlobals.h"
#include "oscar/FrameEvents.h"
#include "oscar/OscarSession.h"
#include "oscar/SessionEvents.h"
#include "oscar/SignOnCommands.h"
#include "oscar/TlvBlock.h"

namespace {

constexpr std::uint16_t kItemBosAddress = 0x0005;
constexpr std::uint16_t kItemCookie = 0x0006;
constexpr std::uint16_t kItemErrorCode = 0x0008;
constexpr std::uint16_t kItemDisconnectReason = 0x0009;

bool IsGreeting(const oscar::FlapFrame& frame)
{
    const RefPtr<oscar::ByteBuffer>& raw = frame.RawPayload();
    if (frame.Channel() != oscar::kChannelSignOn || !raw || raw->Size() != 4)
        return false;
    const std::uint8_t* p = raw->Data();
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 1;
}

std::uint16_t ErrorCodeOf(const oscar::FlapFrame& frame)
{
    for (std::uint16_t type : {kItemDisconnectReason, kItemErrorCode}) {
        if (RefPtr<oscar::Tlv> item = oscar::FindTlv(frame.Items(), type)) {
            if (auto code = oscar::FirstU16(item->Value()->Bytes()))
                return *code;
        }
    }
    return 0;
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
    } else if (event->Type() == EventType::LoginFrameSent) {
        auto* sent = dynamic_cast<oscar::FrameSentEvent*>(event.Get());
        std::uint32_t awaited = m_answerFrameNumber.load();
        if (sent != nullptr && awaited != 0 && sent->FrameNumber() == awaited)
            m_session.LoginAccepted();
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
    RefPtr<oscar::Tlv> address = oscar::FindTlv(frame.Items(), kItemBosAddress);
    RefPtr<oscar::Tlv> cookie = oscar::FindTlv(frame.Items(), kItemCookie);
    if (address && cookie) {
        std::span<const std::uint8_t> bytes = address->Value()->Bytes();
        std::string text(bytes.begin(), bytes.end());
        std::size_t colon = text.rfind(':');
        std::string host = colon == std::string::npos ? text : text.substr(0, colon);
        std::string port = colon == std::string::npos ? std::string() : text.substr(colon + 1);
        m_session.SetBosAddress(host, port, oscar::ByteBuffer::CopyOf(cookie->Value()->Bytes()));
        RefPtr<oscar::FlapFrame> answer = oscar::BuildEmptySignOnFrame();
        m_answerFrameNumber = answer->FrameNumber();
        Send(answer);
        return;
    }
    std::uint16_t code = ErrorCodeOf(frame);
    AppCore& core = m_session.Core();
    core.Post(MakeRef<oscar::StatusCodeEvent>(EventType::LoginRejected, code));
    m_session.LoginFailed(code);
    core.SetLastErrorText(RejectionText(code));
    core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}
