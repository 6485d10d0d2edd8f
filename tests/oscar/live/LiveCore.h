// The program's core as the tests of the session run it: a real AppCore with
// the real parts (data link, protocol handler, account), its worker thread,
// and this test thread as the interface thread. Records what reaches the
// windows and every frame the session sends.
#pragma once

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "app/InterfaceStage.h"
#include "app/main/Entry.h"
#include "app/main/UIDispatcherWnd.h"
#include "net/DataLink.h"
#include "oscar/FrameEvents.h"
#include "oscar/IcqAccount.h"
#include "oscar/SessionEvents.h"
#include "oscar/messaging/MessageEvents.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/connmgr/ConnMgr.h"
#include "platform/win/Window.h"

namespace live {

struct StatusText {
    std::string text;
    DWORD tick = 0;
    DWORD retryDelay = 0;  // the session's retry delay when the text arrived
};

class Recorder : public EventHandler, public EventListener {
public:
    // Worker stage: frames going out and frames received on BOS.
    void Handle(const RefPtr<AppEvent>& event) override
    {
        if (auto* received = dynamic_cast<oscar::FrameEvent*>(event.Get());
            received != nullptr && event->Type() == EventType::BosFrameReceived) {
            std::lock_guard guard(m_lock);
            receivedBos.push_back(received->Frame());
            return;
        }
        auto* send = dynamic_cast<oscar::SendFrameEvent*>(event.Get());
        if (send == nullptr)
            return;
        std::lock_guard guard(m_lock);
        (event->Type() == EventType::SendLoginFrame ? loginFrames : bosFrames).push_back(send->Frame());
    }

    // Interface stage: what the windows see.
    void OnEvent(const RefPtr<AppEvent>& event) override
    {
        std::lock_guard guard(m_lock);
        types.push_back(event->Type());
        if (auto* incoming = dynamic_cast<oscar::IncomingMessageEvent*>(event.Get()))
            messages.push_back(incoming->Message());
        if (auto* typing = dynamic_cast<oscar::TypingEvent*>(event.Get()))
            typingTypes.push_back(typing->Notification());
        if (auto* status = dynamic_cast<oscar::StatusTextEvent*>(event.Get())) {
            DWORD delay = 0;
            if (core != nullptr) {
                if (RefPtr<IcqAccount> account = IcqAccount::Current(*core); account && account->Session())
                    delay = account->Session()->RetryDelay();
            }
            texts.push_back({platform::WideToUtf8(status->Text()), GetTickCount(), delay});
        }
    }

    std::vector<StatusText> Texts()
    {
        std::lock_guard guard(m_lock);
        return texts;
    }
    std::vector<RefPtr<oscar::FlapFrame>> BosFrames()
    {
        std::lock_guard guard(m_lock);
        return bosFrames;
    }
    std::vector<RefPtr<oscar::IncomingMessage>> Messages()
    {
        std::lock_guard guard(m_lock);
        return messages;
    }
    std::vector<std::uint16_t> TypingTypes()
    {
        std::lock_guard guard(m_lock);
        return typingTypes;
    }
    std::vector<RefPtr<oscar::FlapFrame>> ReceivedBos()
    {
        std::lock_guard guard(m_lock);
        return receivedBos;
    }
    int Count(std::int32_t type)
    {
        std::lock_guard guard(m_lock);
        return static_cast<int>(std::count(types.begin(), types.end(), type));
    }
    int CountText(const std::string& text)
    {
        std::lock_guard guard(m_lock);
        return static_cast<int>(
            std::count_if(texts.begin(), texts.end(), [&](const StatusText& t) { return t.text == text; }));
    }

    AppCore* core = nullptr;

private:
    std::mutex m_lock;
    std::vector<std::int32_t> types;
    std::vector<StatusText> texts;
    std::vector<RefPtr<oscar::FlapFrame>> loginFrames;
    std::vector<RefPtr<oscar::FlapFrame>> bosFrames;
    std::vector<RefPtr<oscar::FlapFrame>> receivedBos;
    std::vector<RefPtr<oscar::IncomingMessage>> messages;
    std::vector<std::uint16_t> typingTypes;
};

class LiveCore {
public:
    // Writes the settings file into the folder and starts the core there.
    LiveCore(const std::string& folder, const std::string& config)
    {
        std::ofstream(folder + "/Corvane.config") << config;
        app::SetAppFolder(platform::Utf8ToWide(folder + "/"));
        static RefPtr<UIDispatcherWnd> dispatcher = [] {
            auto d = MakeRef<UIDispatcherWnd>();
            d->CreateDispatcher();
            return d;
        }();
        platform::connmgr::Reset();
        ResetDataLinkStatus();
        m_core = MakeRef<AppCore>(nullptr, BuildAppCoreParts());
        m_recorder = MakeRef<Recorder>();
        m_recorder->core = m_core.Get();
        m_core->AddHandler(m_recorder);
        app::AddListener(m_recorder.Get());
        m_core->Start();
    }

    ~LiveCore()
    {
        m_core->ShutDownAccount();
        m_core->StopWorker();
        // The session's threads end on their own once told to quit.
        PumpUntil([] { return app::LiveSessionCount().load() == 0; }, 30000);
        app::RemoveListener(m_recorder.Get());
        Pump();
    }

    AppCore& Core() { return *m_core; }
    Recorder& Record() { return *m_recorder; }
    RefPtr<IcqAccount> Account() { return IcqAccount::Current(*m_core); }
    RefPtr<OscarSession> Session()
    {
        RefPtr<IcqAccount> account = IcqAccount::Current(*m_core);
        return account ? account->Session() : nullptr;
    }

    void Choose(std::int32_t status) { m_core->Post(MakeRef<oscar::StatusCodeEvent>(EventType::PresenceChosen, status)); }

    void Pump()
    {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // Runs the interface thread until the predicate holds or the device-time
    // limit passed.
    template <typename Predicate>
    bool PumpUntil(Predicate done, DWORD limit)
    {
        DWORD start = GetTickCount();
        for (;;) {
            Pump();
            if (done())
                return true;
            if (GetTickCount() - start > limit)
                return false;
            Sleep(20);
        }
    }

    // Runs the interface thread for a span of device time.
    void PumpFor(DWORD span)
    {
        PumpUntil([] { return false; }, span);
    }

private:
    RefPtr<AppCore> m_core;
    RefPtr<Recorder> m_recorder;
};

}  // namespace live
