// The smiley set an account object holds for its contacts: made on the first
// request from the "SMILE_SOURCE" setting of that moment and kept while the
// account lives, so a set chosen later is used from the next start.
#pragma once

#include "app/Account.h"
#include "app/AppCore.h"
#include "skin/smiley/SmileySet.h"

namespace skin {

// The account's set, made (not yet read) when it has none. Interface thread.
RefPtr<SmileySet> AccountSmileySet(AppCore& core, Account& account);

}  // namespace skin
