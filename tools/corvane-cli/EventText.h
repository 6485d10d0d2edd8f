// One line of text for every event the console front-end receives.
#pragma once

#include <string>

#include "app/AppCore.h"
#include "app/AppEvent.h"

namespace cli {

// "event <type> <name>[ <details>]", e.g. event 16 status "Finding host".
// A refresh names the application's last error when it differs from
// `shownError`, which is then updated.
std::string DescribeEvent(AppCore& core, const AppEvent& event, WideString& shownError);

// The status text an event carries ("Online", "Offline", ...), or empty.
std::string StatusTextOf(const AppEvent& event);

}  // namespace cli
