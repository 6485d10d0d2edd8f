// The chat window's side of the ICQ account: sending, typing notices, the
// account's smilies and the conversation's history file.
#include "oscar/IcqAccount.h"
#include "platform/base/Clock.h"
#include "platform/sync/Sync.h"
#include "skin/smiley/AccountSmilies.h"
#include "store/MessageHistory.h"
#include "ui/ChatWindow.h"

ICQ_ChatWindow::ICQ_ChatWindow(AppCore& core, RefPtr<Contact> contact) : ChatWindow(core, std::move(contact))
{
    RegisterWindowClass(CS_HREDRAW | CS_VREDRAW);
}

ContactStore* ICQ_ChatWindow::Store()
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    // The store lives as long as the account object, which the core keeps.
    return account ? &account->Store() : nullptr;
}

bool ICQ_ChatWindow::SignedOn()
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    return account && account->Session() && account->Session()->IsOnline();
}

oscar::SendResult ICQ_ChatWindow::SendText(const WideString& text)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account)
        return oscar::SendResult::NotSignedOn;
    return account->SendMessage(Peer()->uin, text);
}

void ICQ_ChatWindow::SendTyping(oscar::TypingState state)
{
    if (RefPtr<IcqAccount> account = IcqAccount::Current(m_core); account && SignedOn())
        account->SendTyping(Peer()->uin, state);
}

RefPtr<skin::SmileySet> ICQ_ChatWindow::Smilies()
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    return account ? skin::AccountSmileySet(m_core, *account) : nullptr;
}

ChatWindow::HistoryPage ICQ_ChatWindow::ReadHistory(std::int32_t skip, std::int32_t count)
{
    HistoryPage page;
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account)
        return page;
    auto history = MakeRef<MessageHistory>(account->Uin(), Peer()->uin);
    ::HistoryPage stored = history->ReadPage(skip, count);
    page.records = stored.recordsPassed;
    page.busy = stored.busy;
    for (HistoryMessage& message : stored.messages)
        page.messages.push_back({message.time, message.party, std::move(message.text)});
    return page;
}

void ICQ_ChatWindow::KeepUnsentText(const WideString& text)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account)
        return;
    {
        platform::CriticalSectionLock lock(account->Store().Lock());
        if (Peer()->cachedText == text)
            return;
    }
    account->Store().SetCachedText(Peer(), text);
    // The cache file carries the text over to the next start of the program.
    account->SaveCache();
}
