// LoginHandler: the authorisation exchange on the login connection, on the
// worker thread while the login thread waits for its outcome.
//
// Server greeting -> sign-on frame with UIN and roasted password; login reply
// on channel 4 -> BOS address and cookie (accepted at once: login servers close
// the connection right after their reply, so nothing more can be awaited on
// it) or an error code (rejected).
#pragma once

#include <cstdint>

#include "app/AppEvent.h"
#include "oscar/codec/FlapFrame.h"

class OscarSession;

class LoginHandler : public EventHandler {
public:
    explicit LoginHandler(OscarSession& session);

    void Handle(const RefPtr<AppEvent>& event) override;

    // The text shown for a rejected login: "ICQ connection rejected", with
    // ": error N" when the code is not 0.
    static WideString RejectionText(std::uint16_t code);

protected:
    ~LoginHandler() override;

private:
    void OnFrame(const RefPtr<oscar::FlapFrame>& frame);
    void OnLoginReply(const oscar::FlapFrame& frame);
    void Send(const RefPtr<oscar::FlapFrame>& frame);

    OscarSession& m_session;
};
