#include "ui/chat/Drafts.h"

#include <map>

namespace chat {
namespace {

std::map<WideString, WideString>& Kept()
{
    static std::map<WideString, WideString> drafts;
    return drafts;
}

}  // namespace

void KeepDraft(const WideString& uin, WideString text)
{
    if (text.empty())
        Kept().erase(uin);
    else
        Kept()[uin] = std::move(text);
}

WideString TakeDraft(const WideString& uin)
{
    auto it = Kept().find(uin);
    if (it == Kept().end())
        return {};
    WideString text = std::move(it->second);
    Kept().erase(it);
    return text;
}

}  // namespace chat
