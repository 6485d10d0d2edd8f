#include "tools/corvane-cli/CommandRunner.h"

#include <charconv>
#include <map>
#include <sstream>

#include "app/Settings.h"
#include "oscar/OnlineStatus.h"
#include "oscar/SessionEvents.h"
#include "platform/base/WideString.h"

namespace cli {
namespace {

constexpr DWORD kDefaultWaitSeconds = 30;

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

bool ParseNumber(const std::string& text, std::int64_t& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool StatusFromWord(const std::string& word, std::int32_t& status)
{
    static const std::map<std::string, std::int32_t> statuses = {
        {"online", OnlineStatus::Online},
        {"away", OnlineStatus::Away},
        {"na", OnlineStatus::ChoiceNotAvailable},
        {"occupied", OnlineStatus::ChoiceOccupied},
        {"dnd", OnlineStatus::ChoiceDoNotDisturb},
        {"free", OnlineStatus::FreeForChat},
        {"invisible", OnlineStatus::Invisible},
        {"offline", OnlineStatus::Offline},
    };
    auto found = statuses.find(word);
    if (found == statuses.end())
        return false;
    status = found->second;
    return true;
}

CommandResult CommandRunner::Run(const std::string& line)
{
    std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#')
        return CommandResult::Continue;
    const std::string& command = words[0];
    if (command == "account")
        return Account(words);
    if (command == "status")
        return Status(words);
    if (command == "wait-for")
        return WaitFor(words);
    if (command == "quit")
        return CommandResult::Quit;
    return Fail("unknown command: " + command);
}

CommandResult CommandRunner::Fail(const std::string& message)
{
    std::fprintf(m_out, "error %s\n", message.c_str());
    std::fflush(m_out);
    return CommandResult::Failed;
}

CommandResult CommandRunner::Account(const std::vector<std::string>& words)
{
    if (words.size() < 3 || words.size() > 4)
        return Fail("usage: account UIN PASSWORD [HOST:PORT,...]");
    RefPtr<Settings> settings = m_core.GetSettings();
    settings->EnsureLoaded();
    settings->uin = platform::Utf8ToWide(words[1]);
    settings->password = platform::Utf8ToWide(words[2]);
    settings->icqEnabled = true;
    if (words.size() == 4)
        settings->loginHosts = ParseHostList(words[3]);
    settings->Save();
    m_core.Post(MakeRef<AppEvent>(EventType::AccountChanged));
    return CommandResult::Continue;
}

CommandResult CommandRunner::Status(const std::vector<std::string>& words)
{
    std::int32_t status = 0;
    if (words.size() != 2 || !StatusFromWord(words[1], status))
        return Fail("usage: status online|away|na|occupied|dnd|free|invisible|offline");
    m_core.Post(MakeRef<oscar::StatusCodeEvent>(EventType::PresenceChosen, status));
    return CommandResult::Continue;
}

CommandResult CommandRunner::WaitFor(const std::vector<std::string>& words)
{
    if (words.size() < 2)
        return Fail("usage: wait-for TEXT|event N [SECONDS]");
    std::function<bool(const SeenEvent&)> matches;
    std::size_t next = 2;
    std::string wanted;
    if (words[1] == "event" && words.size() >= 3) {
        std::int64_t type = 0;
        if (!ParseNumber(words[2], type))
            return Fail("wait-for event needs a number");
        matches = [type](const SeenEvent& seen) { return seen.type == type; };
        wanted = "event " + words[2];
        next = 3;
    } else {
        wanted = words[1];
        // A status text of several words is given with underscores for
        // spaces, or in full when no time-out follows.
        for (char& c : wanted)
            c = c == '_' ? ' ' : c;
        matches = [wanted](const SeenEvent& seen) { return seen.statusText == wanted; };
    }
    std::int64_t seconds = kDefaultWaitSeconds;
    if (words.size() > next && !ParseNumber(words[next], seconds))
        return Fail("wait-for time-out must be a number of seconds");
    if (seconds < 0 || seconds > 86400)
        return Fail("wait-for time-out out of range");
    if (!m_listener.WaitFor(matches, static_cast<DWORD>(seconds) * 1000u))
        return Fail("wait-for " + wanted + ": timed out");
    std::fprintf(m_out, "ok wait-for %s\n", wanted.c_str());
    std::fflush(m_out);
    return CommandResult::Continue;
}

}  // namespace cli
