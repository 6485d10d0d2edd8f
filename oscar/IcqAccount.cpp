#include "oscar/IcqAccount.h"

IcqAccount::IcqAccount(AppCore& core, const WideString& uin) : m_core(core), m_uin(uin)
{
    m_session = MakeRef<OscarSession>(core, m_store, uin, core.GetSettings()->Password());
}

IcqAccount::~IcqAccount()
{
    if (m_session)
        m_session->Quit();
}

void IcqAccount::LoadCache()
{
    // The contact-list cache file is read here once the cache service exists;
    // until then every sign-on asks for the whole list (date 0, count 0).
}

void IcqAccount::SaveCache()
{
    // The model goes to the contact-list cache file here once the cache
    // service exists.
}

void IcqAccount::Shutdown()
{
    if (m_session)
        m_session->Quit();
}

RefPtr<IcqAccount> IcqAccount::Current(AppCore& core)
{
    RefPtr<Account> account = core.Session();
    return RefPtr<IcqAccount>(dynamic_cast<IcqAccount*>(account.Get()));
}
