#include "tools/corvane-cli/MessageCommands.h"

#include <cstdlib>
#include <optional>

#include "oscar/IcqAccount.h"
#include "store/MessageHistory.h"
#include "platform/base/WideString.h"

namespace cli {
namespace {

std::string Join(const std::vector<std::string>& words, std::size_t first)
{
    std::string text;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (i > first)
            text += ' ';
        text += words[i];
    }
    return text;
}

bool Fail(std::FILE* out, const std::string& message)
{
    std::fprintf(out, "error %s\n", message.c_str());
    std::fflush(out);
    return false;
}

bool Ok(std::FILE* out, const std::string& message)
{
    std::fprintf(out, "ok %s\n", message.c_str());
    std::fflush(out);
    return true;
}

bool ParseCount(const std::string& text, std::int32_t& value)
{
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || number < 0 || number > 1000000)
        return false;
    value = static_cast<std::int32_t>(number);
    return true;
}

// Why a new message to the contact must wait, or empty when it need not.
std::string WaitingText(IcqAccount& account, const std::string& uin)
{
    ContactStore& store = account.Store();
    platform::CriticalSectionLock guard(store.Lock());
    RefPtr<Contact> contact = store.FindContact(platform::Utf8ToWide(uin));
    if (!contact || contact->cachedText.empty())
        return {};
    if (contact->sending)
        return "the last message waits for its confirmation (event 42 or 44)";
    return "the unsent text \"" + platform::WideToUtf8(contact->cachedText) + "\" waits; \"resend " + uin +
           "\" sends it, \"discard " + uin + "\" drops it";
}

// Why a message was not sent, for the error line.
std::string Refusal(oscar::SendResult result, const std::string& uin)
{
    switch (result) {
    case oscar::SendResult::NotSignedOn:
        return "not sent (offline); the text is kept, \"resend " + uin + "\" sends it";
    case oscar::SendResult::Busy:
        return "the last message waits for its confirmation (event 42 or 44)";
    case oscar::SendResult::NothingToSend:
        return "nothing to send (no text, or it was delivered)";
    case oscar::SendResult::BadRecipient:
        return "not a UIN";
    case oscar::SendResult::TooLong:
        return "too long for one message (at most " + std::to_string(oscar::kMaxMessageTextBytes) +
               " bytes); not sent, shorten it";
    case oscar::SendResult::Sent:
        break;
    }
    return "sent";
}

// "start" (2), "pause" (1: stopped with text in the box), "stop" (0: the
// text was sent or the box emptied).
std::optional<oscar::TypingState> TypingStateOf(const std::string& word)
{
    if (word == "start")
        return oscar::TypingState::Started;
    if (word == "pause")
        return oscar::TypingState::Paused;
    if (word == "stop")
        return oscar::TypingState::Finished;
    return std::nullopt;
}

// Prints a page of the conversation, newest first: time, who, text.
bool History(IcqAccount& account, const std::vector<std::string>& words, std::FILE* out)
{
    std::int32_t skip = 0;
    std::int32_t count = 20;
    if (words.size() < 2 || words.size() > 4 || (words.size() > 2 && !ParseCount(words[2], skip)) ||
        (words.size() > 3 && !ParseCount(words[3], count)))
        return Fail(out, "usage: history UIN [SKIP [COUNT]]");
    auto history = MakeRef<MessageHistory>(account.Uin(), platform::Utf8ToWide(words[1]));
    std::vector<HistoryMessage> page = history->Read(skip, count);
    for (const HistoryMessage& m : page) {
        std::fprintf(out, "history %04u-%02u-%02u %02u:%02u:%02u %s \"%s\"\n", m.time.wYear, m.time.wMonth,
                     m.time.wDay, m.time.wHour, m.time.wMinute, m.time.wSecond,
                     m.party == 0 ? "me" : m.party == 1 ? words[1].c_str() : "other",
                     platform::WideToUtf8(m.text).c_str());
    }
    return Ok(out, "history " + words[1] + " " + std::to_string(page.size()) + " messages");
}

}  // namespace

bool IsMessageCommand(const std::string& word)
{
    return word == "msg" || word == "resend" || word == "discard" || word == "typing" || word == "history";
}

bool RunMessageCommand(AppCore& core, const std::vector<std::string>& words, std::FILE* out)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(core);
    if (!account)
        return Fail(out, words[0] + ": no account");
    const std::string& command = words[0];
    if (command == "msg") {
        if (words.size() < 3)
            return Fail(out, "usage: msg UIN TEXT");
        // A contact holds one text on its way out; a new message must not
        // take the place of one that waits for its confirmation or was not
        // delivered.
        if (std::string refusal = WaitingText(*account, words[1]); !refusal.empty())
            return Fail(out, "msg " + words[1] + ": " + refusal);
        oscar::SendResult result =
            account->SendMessage(platform::Utf8ToWide(words[1]), platform::Utf8ToWide(Join(words, 2)));
        if (result != oscar::SendResult::Sent)
            return Fail(out, "msg " + words[1] + ": " + Refusal(result, words[1]));
        return Ok(out, "msg " + words[1]);
    }
    if (command == "resend") {
        if (words.size() != 2)
            return Fail(out, "usage: resend UIN");
        oscar::SendResult result = account->ResendMessage(platform::Utf8ToWide(words[1]));
        if (result != oscar::SendResult::Sent)
            return Fail(out, "resend " + words[1] + ": " + Refusal(result, words[1]));
        return Ok(out, "resend " + words[1]);
    }
    if (command == "discard") {
        if (words.size() != 2)
            return Fail(out, "usage: discard UIN");
        if (!account->DiscardUnsentText(platform::Utf8ToWide(words[1])))
            return Fail(out, "discard " + words[1] + ": no unsent text (or it is being sent)");
        return Ok(out, "discard " + words[1]);
    }
    if (command == "typing") {
        std::optional<oscar::TypingState> state = words.size() == 3 ? TypingStateOf(words[2]) : std::nullopt;
        if (!state)
            return Fail(out, "usage: typing UIN start|pause|stop");
        if (!account->SendTyping(platform::Utf8ToWide(words[1]), *state))
            return Fail(out, "typing " + words[1] + ": not sent (offline, or the contact is offline)");
        return Ok(out, "typing " + words[1]);
    }
    if (command == "history")
        return History(*account, words, out);
    return Fail(out, command + ": not available");
}

}  // namespace cli
