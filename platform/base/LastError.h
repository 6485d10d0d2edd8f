// Per-thread last-error value, as GetLastError/SetLastError on the device.
#pragma once

#include "platform/base/Types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
