#include "oscar/IcqAccount.h"

#include <charconv>

#include "oscar/UserInfo.h"
#include "platform/base/WideString.h"

namespace {

std::uint32_t UinNumber(const WideString& uin)
{
    std::string digits = platform::WideToUtf8(uin);
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

}  // namespace

IcqAccount::IcqAccount(AppCore& core, const WideString& uin) : m_core(core), m_uin(uin)
{
    m_messenger = MakeRef<Messenger>(core, m_store, uin, UinNumber(uin));
    m_session = MakeRef<OscarSession>(core, m_store, m_messenger, uin, core.GetSettings()->Password());
}

IcqAccount::~IcqAccount()
{
    if (m_session)
        m_session->Quit();
}

void IcqAccount::LoadCache()
{
    // Without a cache every sign-on asks for the whole list (date 0, count 0).
    if (m_cacheFile.load)
        m_cacheFile.load(*m_store, m_uin);
}

void IcqAccount::SaveCache()
{
    // A save that cannot be written is dropped; the next change or sign-on
    // writes the cache again.
    if (m_cacheFile.save)
        m_cacheFile.save(*m_store, m_uin);
}

void IcqAccount::Shutdown()
{
    if (m_session)
        m_session->Quit();
}

RefPtr<IcqAccount> IcqAccount::Current(AppCore& core)
{
    RefPtr<Account> account = core.Account();
    return RefPtr<IcqAccount>(dynamic_cast<IcqAccount*>(account.Get()));
}

oscar::SendResult IcqAccount::SendMessage(const WideString& uin, const WideString& text)
{
    if (text.empty())
        return oscar::SendResult::NothingToSend;
    if (!oscar::IsUinText(uin))
        return oscar::SendResult::BadRecipient;
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        // A message to someone the list does not know creates the contact,
        // as a message from them would.
        bool created = false;
        RefPtr<Contact> contact = m_store->FindOrCreateContact(uin, created);
        if (!contact)
            return oscar::SendResult::BadRecipient;
        // While a message waits for its confirmation its text is the cached
        // text; replacing it would confirm the wrong text.
        if (contact->sending)
            return oscar::SendResult::Busy;
        // A text that cannot go out whole stays with the caller.
        if (!m_messenger->Encode(*contact, text))
            return oscar::SendResult::TooLong;
        m_store->SetCachedText(contact, text);
    }
    SaveCache();
    if (!m_session->IsOnline())
        return oscar::SendResult::NotSignedOn;
    return m_messenger->SendMessage(uin);
}

oscar::SendResult IcqAccount::ResendMessage(const WideString& uin)
{
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        RefPtr<Contact> contact = m_store->FindContact(uin);
        if (!contact || contact->cachedText.empty())
            return oscar::SendResult::NothingToSend;
    }
    if (!m_session->IsOnline())
        return oscar::SendResult::NotSignedOn;
    return m_messenger->SendMessage(uin);
}

bool IcqAccount::DiscardUnsentText(const WideString& uin)
{
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        RefPtr<Contact> contact = m_store->FindContact(uin);
        if (!contact || contact->cachedText.empty() || contact->sending)
            return false;
        m_store->SetCachedText(contact, WideString());
    }
    SaveCache();
    return true;
}

bool IcqAccount::SendTyping(const WideString& uin, oscar::TypingState state)
{
    return m_session->IsOnline() && m_messenger->SendTyping(uin, state);
}
