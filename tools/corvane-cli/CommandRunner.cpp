#include "tools/corvane-cli/CommandRunner.h"

#include <charconv>
#include <map>
#include <set>
#include <sstream>

#include "app/Settings.h"
#include "oscar/IcqAccount.h"
#include "platform/base/Clock.h"
#include "oscar/OnlineStatus.h"
#include "oscar/SessionEvents.h"
#include "oscar/UserInfo.h"
#include "platform/base/WideString.h"
#include "tools/corvane-cli/DirectoryCommands.h"
#include "tools/corvane-cli/MessageCommands.h"

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
    // Commands whose first argument is a UIN.
    static const std::set<std::string> kTakeAUin = {
        "msg",    "resend", "discard", "typing",      "history", "add",          "move",
        "rename", "delete", "info",    "add-to-list", "auth-request", "auth-grant"};
    if (kTakeAUin.count(command) != 0 && words.size() >= 2 && !oscar::IsUinText(platform::Utf8ToWide(words[1])))
        return Fail(command + " " + words[1] + ": not a UIN (1 to 12 digits)");
    if (command == "account")
        return Account(words);
    if (command == "status")
        return Status(words);
    if (command == "wait-for")
        return WaitFor(words);
    if (command == "list")
        return List();
    if (command == "add" || command == "move" || command == "rename" || command == "delete" ||
        command == "add-to-list" || command == "auth-request" || command == "auth-grant")
        return ListCommand(words);
    if (IsMessageCommand(command))
        return RunMessageCommand(m_core, words, m_out) ? CommandResult::Continue : CommandResult::Failed;
    if (command == "info" || command == "search")
        return RunDirectoryCommand(m_core, words, m_out);
    if (command == "sleep")
        return SleepFor(words);
    if (command == "help")
        return Help();
    if (command == "quit")
        return CommandResult::Quit;
    return Fail("unknown command: " + command + " (\"help\" lists the commands)");
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
    // The worker thread makes the new account; the next command may use it.
    DWORD start = GetTickCount();
    for (;;) {
        RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
        if (account && account->Uin() == settings->uin)
            return CommandResult::Continue;
        if (GetTickCount() - start >= 10000)
            return Fail("account " + words[1] + ": the account was not set up");
        Sleep(10);
    }
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
    if ((words[1] == "online" || words[1] == "offline") && words.size() >= 3)
        return WaitForPresence(words);
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

namespace cli {
namespace {

std::string Text(const WideString& text) { return platform::WideToUtf8(text); }

std::string Flags(const Contact& c)
{
    std::string flags;
    auto add = [&flags](bool on, const char* name) {
        if (!on)
            return;
        if (!flags.empty())
            flags += ',';
        flags += name;
    };
    add(c.notAuthorised, "not-authorised");
    add(c.authorisationRequested, "auth-requested");
    add(c.unread, "unread");
    add(c.typing, "typing");
    add(c.mark, "mark");
    add(c.unicodeCapable, "unicode");
    return flags.empty() ? "-" : flags;
}

// A group named by its id or by its name; 0 (no group) for "0".
bool FindGroupId(ContactStore& store, const std::string& word, std::uint16_t& id)
{
    std::int64_t number = 0;
    if (ParseNumber(word, number) && number >= 0 && number <= 0xFFFF) {
        id = static_cast<std::uint16_t>(number);
        return id == 0 || store.FindGroup(id);
    }
    for (const RefPtr<ContactGroup>& group : store.Groups()) {
        if (Text(group->name) == word) {
            id = group->id;
            return true;
        }
    }
    return false;
}

std::string JoinFrom(const std::vector<std::string>& words, std::size_t first)
{
    std::string text;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (!text.empty())
            text += ' ';
        text += words[i];
    }
    return text;
}

}  // namespace

CommandResult CommandRunner::List()
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account)
        return Fail("list: no account");
    ContactStore& store = account->Store();
    platform::CriticalSectionLock guard(store.Lock());
    for (const RefPtr<ContactGroup>& group : store.Groups())
        std::fprintf(m_out, "group %u \"%s\" contacts=%zu\n", unsigned{group->id}, Text(group->name).c_str(),
                     group->contacts.size());
    // Each line is printed by one call, so that an event line printed by the
    // interface thread at the same moment never lands inside it.
    for (const RefPtr<Contact>& c : store.Contacts()) {
        std::string line = "contact " + Text(c->uin) + " \"" + Text(c->nickname) + "\" group=" +
                           std::to_string(c->groupId) + " item=" + std::to_string(c->itemId) + " status=\"" +
                           Text(OnlineStatus::Text(c->status)) + "\" flags=" + Flags(*c);
        if (!c->cachedText.empty())
            line += " unsent=\"" + Text(c->cachedText) + "\"";
        std::fprintf(m_out, "%s\n", line.c_str());
    }
    std::fprintf(m_out, "list date=%u count=%u privacy-item=%u\n", store.ListDate(), unsigned{store.ListCount()},
                 unsigned{store.PrivacyItemId()});
    std::fflush(m_out);
    return CommandResult::Continue;
}

CommandResult CommandRunner::ListCommand(const std::vector<std::string>& words)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account)
        return Fail(words[0] + ": no account");
    const std::string& command = words[0];
    if (words.size() < 2)
        return Fail(command + ": needs a UIN");
    WideString uin = platform::Utf8ToWide(words[1]);
    bool noAuth = !words.empty() && words.back() == "noauth";
    bool done = false;
    std::uint16_t group = 0;
    if (command == "add") {
        if (words.size() < 4 || !FindGroupId(account->Store(), words[3], group))
            return Fail("usage: add UIN NICKNAME GROUP [noauth] (with a known group)");
        done = account->AddContact(uin, platform::Utf8ToWide(words[2]), group, noAuth);
    } else if (command == "move") {
        if (words.size() != 3 || !FindGroupId(account->Store(), words[2], group))
            return Fail("usage: move UIN GROUP (with a known group)");
        done = account->MoveContact(uin, group);
    } else if (command == "rename") {
        if (words.size() < 3)
            return Fail("usage: rename UIN NICKNAME [noauth]");
        done = account->RenameContact(uin, platform::Utf8ToWide(words[2]), noAuth);
    } else if (command == "delete") {
        done = account->DeleteContact(uin);
    } else if (command == "add-to-list") {
        done = account->AddToList(uin);
    } else if (command == "auth-request") {
        done = account->RequestAuthorisation(uin, platform::Utf8ToWide(JoinFrom(words, 2)));
    } else if (command == "auth-grant") {
        done = account->GrantAuthorisation(uin);
    }
    if (!done)
        return Fail(command + " " + words[1] + ": not done (offline, unknown contact or group?)");
    std::fprintf(m_out, "ok %s %s\n", command.c_str(), words[1].c_str());
    std::fflush(m_out);
    return CommandResult::Continue;
}

}  // namespace cli

namespace cli {

CommandResult CommandRunner::SleepFor(const std::vector<std::string>& words)
{
    std::int64_t seconds = 0;
    if (words.size() != 2 || !ParseNumber(words[1], seconds) || seconds < 0 || seconds > 86400)
        return Fail("usage: sleep SECONDS");
    m_listener.Pause(static_cast<DWORD>(seconds) * 1000u);
    return CommandResult::Continue;
}

CommandResult CommandRunner::WaitForPresence(const std::vector<std::string>& words)
{
    const std::string& wanted = words[1];
    std::int64_t seconds = 30;
    if (words.size() > 4 || (words.size() == 4 && !ParseNumber(words[3], seconds)) || seconds < 0 || seconds > 86400)
        return Fail("usage: wait-for online|offline UIN [SECONDS]");
    WideString uin = platform::Utf8ToWide(words[2]);
    bool wantOnline = wanted == "online";
    DWORD limit = static_cast<DWORD>(seconds) * 1000u;
    DWORD start = GetTickCount();
    for (;;) {
        if (RefPtr<IcqAccount> account = IcqAccount::Current(m_core)) {
            RefPtr<Contact> contact = account->Store().FindContact(uin);
            bool online = contact && contact->status != OnlineStatus::Offline;
            if (online == wantOnline) {
                std::fprintf(m_out, "ok wait-for %s %s\n", wanted.c_str(), words[2].c_str());
                std::fflush(m_out);
                return CommandResult::Continue;
            }
        }
        if (GetTickCount() - start >= limit || !m_listener.Pause(100))
            return Fail("wait-for " + wanted + " " + words[2] + ": timed out");
    }
}

CommandResult CommandRunner::Help()
{
    std::fputs("commands:\n"
               "  account UIN PASSWORD [HOST:PORT,...]   set the account and sign on with it\n"
               "  status online|away|na|occupied|dnd|free|invisible|offline\n"
               "  msg UIN TEXT          send a message (event 42 delivered, 44 not confirmed)\n"
               "  resend UIN            send the contact's unsent text again\n"
               "  discard UIN           drop the contact's unsent text\n"
               "  typing UIN start|pause|stop\n"
               "  history UIN [SKIP [COUNT]]\n"
               "  list                  groups and contacts with status and flags\n"
               "  add UIN NICKNAME GROUP [noauth] | move UIN GROUP | rename UIN NICKNAME | delete UIN\n"
               "  add-to-list UIN | auth-request UIN [REASON] | auth-grant UIN\n"
               "  info UIN | search uin UIN | search nick|first|last|email|city WORD ...\n"
               "  wait-for TEXT|event N|online UIN|offline UIN [SECONDS]\n"
               "  sleep SECONDS\n"
               "  quit                  (also Ctrl+D or Ctrl+C)\n",
               m_out);
    std::fflush(m_out);
    return CommandResult::Continue;
}

}  // namespace cli
