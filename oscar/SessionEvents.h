// Payloads of the events the session posts and handles.
#pragma once

#include <cstdint>

#include "app/AppEvent.h"
#include "oscar/codec/FlapFrame.h"
#include "platform/base/Types.h"

namespace oscar {

// 16: a status text of the login state machine for the main window.
class StatusTextEvent : public AppEvent {
public:
    explicit StatusTextEvent(WideString text) : AppEvent(EventType::LoginStatusText), m_text(std::move(text)) {}
    const WideString& Text() const { return m_text; }

private:
    WideString m_text;
};

// 28 / 29: send a frame on the login / BOS connection.
class SendFrameEvent : public AppEvent {
public:
    SendFrameEvent(std::int32_t type, RefPtr<FlapFrame> frame) : AppEvent(type), m_frame(std::move(frame)) {}
    const RefPtr<FlapFrame>& Frame() const { return m_frame; }

private:
    RefPtr<FlapFrame> m_frame;
};

// 31 / 32: a frame was sent on the login / BOS connection.
class FrameSentEvent : public AppEvent {
public:
    FrameSentEvent(std::int32_t type, std::uint32_t frameNumber) : AppEvent(type), m_frameNumber(frameNumber) {}
    std::uint32_t FrameNumber() const { return m_frameNumber; }

private:
    std::uint32_t m_frameNumber;
};

// 10: the user chose a status; 36: the server confirmed the own status;
// 46: the login was rejected with an error code.
class StatusCodeEvent : public AppEvent {
public:
    StatusCodeEvent(std::int32_t type, std::int32_t code) : AppEvent(type), m_code(code) {}
    std::int32_t Code() const { return m_code; }

private:
    std::int32_t m_code;
};

}  // namespace oscar
