// A core for benchmarks of windows: the ICQ account of uin set up (not
// signed on) over the program folder already chosen, and a look made of the
// built-in defaults.
#pragma once

#include "app/AppCore.h"
#include "oscar/IcqAccount.h"
#include "skin/Look.h"

namespace benchcore {

inline RefPtr<AppCore> MakeAccountCore(const WideString& uin, bool showOffline = false)
{
    AppCoreParts parts;
    parts.createAccount = [](AppCore& appCore, const WideString& accountUin) -> RefPtr<Account> {
        return MakeRef<IcqAccount>(appCore, accountUin);
    };
    RefPtr<AppCore> core = MakeRef<AppCore>(nullptr, parts);
    RefPtr<Settings> settings = core->GetSettings();
    settings->EnsureLoaded();
    settings->uin = uin;
    settings->icqEnabled = true;
    settings->showOffline = showOffline;
    core->SetUpAccount();
    core->SetLook(MakeRef<skin::Skin>(), MakeRef<skin::IconSet>());
    return core;
}

}  // namespace benchcore
