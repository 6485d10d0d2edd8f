// The new-message notification, started by the message handlers for every
// incoming message: the message sound when "SOUND" is on, and "VIBRO_COUNT"
// vibration pulses when "VIBRO" is on.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

class AppCore;
class Settings;

// The request for the given options: VIBRO_COUNT x 256 + 1 (sound) + 2
// (vibrate); 0 when both are off. A pulse count outside 0..0xFFFFFF is held
// to that range so that it cannot spill into the flag bits.
DWORD NotificationRequest(bool sound, bool vibro, std::int32_t vibroCount);

// Reads SOUND, VIBRO and VIBRO_COUNT from the core's settings and, when the
// request is not 0, starts the notification thread. Nothing is waited for
// and the thread is not kept. Returns whether a thread was started. Any
// thread may call it; the protocol calls it on the worker thread.
bool NotifyIncoming(AppCore& core);

// The same for settings held elsewhere (the caller keeps them stable).
bool NotifyIncoming(Settings& settings);

// Starts the notification thread for a request; false for request 0 or when
// no thread could be started.
bool StartNotification(DWORD request);
