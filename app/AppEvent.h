// Events: every piece of work in the program is an AppEvent posted to
// AppCore. The type (1 to 66) decides which stages it passes: the worker stage
// (EventHandler objects on the worker thread) and/or the interface stage
// (EventListener objects, the windows, on the interface thread).
#pragma once

#include <cstdint>

#include "app/RefCounted.h"

// Event types with a fixed meaning. Payload classes belong to the subsystems
// that post them; a bare AppEvent carries only its type.
namespace EventType {
constexpr std::int32_t LoginRequested = 1;
constexpr std::int32_t DataLinkWaiting = 3;
constexpr std::int32_t DataLinkUp = 4;
constexpr std::int32_t DataLinkDown = 5;
constexpr std::int32_t SettingsChanged = 6;
constexpr std::int32_t ViewRefresh = 7;
constexpr std::int32_t DeleteFile = 9;
constexpr std::int32_t PresenceChosen = 10;
constexpr std::int32_t LoginStatusText = 16;
constexpr std::int32_t LoginFrameReceived = 25;
constexpr std::int32_t BosFrameReceived = 26;
constexpr std::int32_t SendLoginFrame = 28;
constexpr std::int32_t SendBosFrame = 29;
constexpr std::int32_t LoginFrameSent = 31;
constexpr std::int32_t BosFrameSent = 32;
constexpr std::int32_t SessionOnline = 34;
constexpr std::int32_t OwnStatusConfirmed = 36;
constexpr std::int32_t SessionOffline = 38;
constexpr std::int32_t IncomingMessage = 40;
constexpr std::int32_t OwnMessageDelivered = 42;
constexpr std::int32_t OwnMessageNotConfirmed = 44;
constexpr std::int32_t LoginRejected = 46;
constexpr std::int32_t AccountChanged = 47;
constexpr std::int32_t SettingsReplaced = 48;
constexpr std::int32_t UserInfoBasic = 49;
constexpr std::int32_t UserInfoMore = 50;
constexpr std::int32_t UserInfoNotes = 51;
constexpr std::int32_t ProtocolError = 52;
constexpr std::int32_t TypingNotification = 53;
constexpr std::int32_t SearchHit = 56;
}  // namespace EventType

// The stages an event type passes.
struct EventRoute {
    bool worker = true;
    bool interface = true;
};

// The routing table. Unlisted values (8, 12, 13, 18 to 24, 62 and everything
// outside 1 to 66) pass both stages.
EventRoute RouteOf(std::int32_t type);

// True for the types that make AppCore drop its Settings object when posted.
constexpr bool DropsSettings(std::int32_t type)
{
    return type == EventType::SettingsChanged || type == EventType::AccountChanged ||
           type == EventType::SettingsReplaced;
}

class AppEvent : public virtual RefCounted {
public:
    explicit AppEvent(std::int32_t type) : m_type(type) {}

    std::int32_t Type() const { return m_type; }

protected:
    ~AppEvent() override = default;

private:
    const std::int32_t m_type;
};

// Worker-stage receiver: called on the worker thread, in registration order.
class EventHandler : public virtual RefCounted {
public:
    virtual void Handle(const RefPtr<AppEvent>& event) = 0;

protected:
    ~EventHandler() override = default;
};

// Interface-stage receiver: called on the interface thread. Windows embed it;
// they add themselves when created and remove themselves when destroyed.
class EventListener {
public:
    virtual void OnEvent(const RefPtr<AppEvent>& event) = 0;

protected:
    virtual ~EventListener() = default;
};
