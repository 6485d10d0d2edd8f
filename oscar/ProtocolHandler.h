// ProtocolHandler: the protocol's worker-stage handler, registered by AppCore
// start for the life of the program. It connects the events of the data link,
// the user's status choice and the frame sends to the current session, and
// replaces the account when the account settings change.
#pragma once

#include "app/AppCore.h"
#include "app/AppEvent.h"
#include "net/ConnectionKind.h"
#include "oscar/codec/FlapFrame.h"

namespace oscar {

class ProtocolHandler : public EventHandler {
public:
    explicit ProtocolHandler(AppCore& core);

    void Handle(const RefPtr<AppEvent>& event) override;

    // Delay before a login is requested again after the data link went down.
    static constexpr DWORD kRelinkDelayMilliseconds = 5000;

protected:
    ~ProtocolHandler() override = default;

private:
    void OnLoginRequested();
    void OnDataLinkDown();
    void OnStatusChosen(std::int32_t status);
    void OnSendFrame(const RefPtr<AppEvent>& event, net::ConnectionKind kind);
    void OnAccountChanged();
    void OnBosFrame(const RefPtr<AppEvent>& event);
    void OnServerDisconnect(const oscar::FlapFrame& frame);
    void SetStatusWhileOnline(std::int32_t status);

    AppCore& m_core;
};

}  // namespace oscar
