#include "tools/corvane-cli/MessageCommands.h"

#include "oscar/IcqAccount.h"
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

}  // namespace

bool IsMessageCommand(const std::string& word) { return word == "msg" || word == "typing" || word == "history"; }

bool RunMessageCommand(AppCore& core, const std::vector<std::string>& words, std::FILE* out)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(core);
    if (!account)
        return Fail(out, words[0] + ": no account");
    const std::string& command = words[0];
    if (command == "msg") {
        if (words.size() < 3)
            return Fail(out, "usage: msg UIN TEXT");
        if (!account->SendMessage(platform::Utf8ToWide(words[1]), platform::Utf8ToWide(Join(words, 2))))
            return Fail(out, "msg " + words[1] + ": not sent (offline?)");
        return Ok(out, "msg " + words[1]);
    }
    if (command == "typing") {
        if (words.size() != 3 || (words[2] != "start" && words[2] != "stop"))
            return Fail(out, "usage: typing UIN start|stop");
        if (!account->SendTyping(platform::Utf8ToWide(words[1]), words[2] == "start"))
            return Fail(out, "typing " + words[1] + ": not sent (offline, or the contact is offline)");
        return Ok(out, "typing " + words[1]);
    }
    return Fail(out, command + ": not available");
}

}  // namespace cli
