// BosHandler: the sign-on exchange on the BOS connection, on the worker
// thread while the login thread waits for "signed on".
//
// Phase 0: cookie, server ready -> family versions, versions -> rate request,
// rate information -> acknowledgement. Phase 1: the rights requests and their
// five replies. Phase 2: messaging parameters and the server-stored list.
// Phase 3: list activation and the privacy update. Then the finish: status,
// client ready, the client-side list and the offline-message request.
#pragma once

#include <cstdint>
#include <vector>

#include "app/AppEvent.h"
#include "oscar/ServerListItem.h"
#include "oscar/codec/ByteBuffer.h"
#include "oscar/codec/FlapFrame.h"
#include "platform/sync/Sync.h"

class OscarSession;

class BosHandler : public EventHandler {
public:
    BosHandler(OscarSession& session, RefPtr<oscar::ByteBuffer> cookie);

    void Handle(const RefPtr<AppEvent>& event) override;

    int Phase() const { return m_phase; }
    bool Done() const { return m_done; }

protected:
    ~BosHandler() override;

private:
    void OnFrame(const oscar::FlapFrame& frame);
    void OnPhase0(const oscar::SnacCommand& snac);
    void OnPhase1(const oscar::SnacCommand& snac);
    void OnPhase2(const oscar::SnacCommand& snac);
    void EnterPhase3();
    void Finish();
    void Send(const RefPtr<oscar::FlapFrame>& frame);

    OscarSession& m_session;
    RefPtr<oscar::ByteBuffer> m_cookie;
    CRITICAL_SECTION m_lock;  // events of one handler arrive on the worker thread only
    int m_phase = 0;
    bool m_serverReadySeen = false;
    bool m_versionsSeen = false;
    bool m_rateInfoSeen = false;
    bool m_locationRightsSeen = false;
    bool m_buddyRightsSeen = false;
    bool m_messagingParamsSeen = false;
    bool m_privacyRightsSeen = false;
    bool m_listRightsSeen = false;
    bool m_done = false;
    std::vector<oscar::ServerListItem> m_items;
};
