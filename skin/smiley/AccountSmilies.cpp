#include "skin/smiley/AccountSmilies.h"

namespace skin {

RefPtr<SmileySet> AccountSmileySet(AppCore& core, Account& account)
{
    RefPtr<RefCounted> held = account.SmileySetObject();
    if (auto* set = dynamic_cast<SmileySet*>(held.Get()))
        return RefPtr<SmileySet>(set);
    RefPtr<SmileySet> made = MakeRef<SmileySet>(core.GetSettings()->SmileSource());
    account.SetSmileySetObject(RefPtr<RefCounted>(made));
    return made;
}

}  // namespace skin
