// The message record and the events of messaging: 40 incoming message, 42 own
// message delivered, 44 own message not confirmed in time, 53 typing.
#pragma once

#include <cstdint>

#include "app/AppEvent.h"
#include "oscar/codec/ByteBuffer.h"
#include "platform/base/Types.h"

namespace oscar {

// A received message, built by the channel decoders.
class IncomingMessage : public virtual RefCounted {
public:
    WideString sender;
    std::uint64_t cookie = 0;  // the sender's message cookie; 0 for offline messages
    bool hasStatus = false;
    std::int32_t status = 0;
    SYSTEMTIME time{};  // local time
    std::uint8_t kind = 0;
    std::uint8_t flags = 0;
    WideString text;
    RefPtr<ByteBuffer> features;  // channel-1 feature fragment as received

protected:
    ~IncomingMessage() override = default;
};

class IncomingMessageEvent : public AppEvent {
public:
    explicit IncomingMessageEvent(RefPtr<IncomingMessage> message)
        : AppEvent(EventType::IncomingMessage), m_message(std::move(message))
    {
    }
    const RefPtr<IncomingMessage>& Message() const { return m_message; }

private:
    RefPtr<IncomingMessage> m_message;
};

// 42 (delivered, with the text) and 44 (not confirmed in time, text empty).
class DeliveryEvent : public AppEvent {
public:
    DeliveryEvent(std::int32_t type, WideString uin, WideString text)
        : AppEvent(type), m_uin(std::move(uin)), m_text(std::move(text))
    {
    }
    const WideString& Uin() const { return m_uin; }
    const WideString& Text() const { return m_text; }

private:
    WideString m_uin;
    WideString m_text;
};

// 53: a contact started (2), paused (1) or finished (0) typing.
class TypingEvent : public AppEvent {
public:
    TypingEvent(WideString uin, std::uint16_t notification)
        : AppEvent(EventType::TypingNotification), m_uin(std::move(uin)), m_notification(notification)
    {
    }
    const WideString& Uin() const { return m_uin; }
    std::uint16_t Notification() const { return m_notification; }

private:
    WideString m_uin;
    std::uint16_t m_notification;
};

}  // namespace oscar
