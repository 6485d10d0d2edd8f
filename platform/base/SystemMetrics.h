// Screen metrics of the simulated device. The screen size comes from
// CORVANE_SCREEN ("WIDTHxHEIGHT", default 176x220, the default skin's phone);
// 240x320 selects the QVGA phone.
#pragma once

#include "platform/base/Types.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

int GetSystemMetrics(int index);
