// What the main window asks of the current account: the account, whether
// it is signed on, and the settings of the moment.
#pragma once

#include "app/AppCore.h"
#include "oscar/IcqAccount.h"

namespace mainsession {

inline RefPtr<IcqAccount> Account(AppCore& core) { return IcqAccount::Current(core); }

inline RefPtr<OscarSession> Session(AppCore& core)
{
    RefPtr<IcqAccount> account = Account(core);
    return account ? account->Session() : RefPtr<OscarSession>();
}

inline bool LoggedIn(AppCore& core)
{
    RefPtr<OscarSession> session = Session(core);
    return session && session->IsOnline();
}

}  // namespace mainsession
