#include "tools/corvane-cli/DirectoryCommands.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>

#include "app/InterfaceStage.h"
#include "oscar/IcqAccount.h"
#include "oscar/ProtocolErrors.h"
#include "oscar/meta/DirectoryEvents.h"
#include "oscar/meta/DirectoryQuery.h"
#include "oscar/meta/DirectoryText.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"

namespace cli {
namespace {

constexpr std::int64_t kDefaultWaitSeconds = 30;
constexpr std::int64_t kMaxWaitSeconds = 86400;

// Collects the query's own events on the interface thread.
class AnswerCollector : public EventListener {
public:
    explicit AnswerCollector(const RefPtr<oscar::DirectoryQuery>& query) : m_query(query) {}

    void OnEvent(const RefPtr<AppEvent>& event) override
    {
        if (!m_query->Answers(*event))
            return;
        {
            std::lock_guard guard(m_lock);
            m_events.push_back(event);
        }
        m_changed.notify_all();
    }

    // Waits until the query stopped waiting and every event it posted was
    // delivered here, for at most the device-time limit.
    bool WaitComplete(DWORD limitMilliseconds)
    {
        auto deadline = platform::DeadlineAfter(limitMilliseconds);
        std::unique_lock guard(m_lock);
        for (;;) {
            if (!m_query->IsWaiting() && static_cast<int>(m_events.size()) >= m_query->PostedCount())
                return true;
            // The query finishes on the worker thread without telling this
            // listener, so look again after a short while.
            auto next = std::min(deadline, std::chrono::steady_clock::now() + platform::RealDuration(50));
            m_changed.wait_until(guard, next);
            if (std::chrono::steady_clock::now() >= deadline)
                return !m_query->IsWaiting() && static_cast<int>(m_events.size()) >= m_query->PostedCount();
        }
    }

    std::vector<RefPtr<AppEvent>> Events()
    {
        std::lock_guard guard(m_lock);
        return m_events;
    }

private:
    RefPtr<oscar::DirectoryQuery> m_query;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<RefPtr<AppEvent>> m_events;
};

CommandResult Fail(std::FILE* out, const std::string& message)
{
    std::fprintf(out, "error %s\n", message.c_str());
    std::fflush(out);
    return CommandResult::Failed;
}

bool ParseNumber(const std::string& text, std::int64_t& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseUinWord(const std::string& text, std::uint32_t& uin)
{
    std::int64_t value = 0;
    if (!ParseNumber(text, value) || value <= 0 || value > 0xFFFFFFFFll)
        return false;
    uin = static_cast<std::uint32_t>(value);
    return true;
}

WideString Value(const std::string& word)
{
    std::string text = word;
    for (char& c : text)
        c = c == '_' ? ' ' : c;
    return platform::Utf8ToWide(text);
}

// One line per text: line breaks are shown as "\n".
std::string OneLine(const WideString& text)
{
    std::string line;
    for (char c : platform::WideToUtf8(text)) {
        if (c == '\r')
            continue;
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return line;
}

// The ICQ error among the events, if one ended the query.
const oscar::DirectoryErrorEvent* ErrorOf(const std::vector<RefPtr<AppEvent>>& events)
{
    for (const RefPtr<AppEvent>& event : events) {
        if (const auto* error = dynamic_cast<const oscar::DirectoryErrorEvent*>(event.Get()))
            return error;
    }
    return nullptr;
}

struct Request {
    std::string name;
    std::function<bool(oscar::DirectoryQuery&)> start;
};

// Starts the query, waits for its answer and hands back the events; false
// (with the error printed) when it could not start, timed out or ended in
// an ICQ error.
bool RunQuery(AppCore& core, const Request& request, DWORD waitMilliseconds, std::FILE* out,
              std::vector<RefPtr<AppEvent>>& events)
{
    auto query = MakeRef<oscar::DirectoryQuery>(core);
    AnswerCollector collector(query);
    app::AddListener(&collector);
    bool started = request.start(*query);
    bool complete = started && collector.WaitComplete(waitMilliseconds);
    query->Cancel();
    app::RemoveListener(&collector);
    events = collector.Events();
    std::string problem;
    if (!started)
        problem = ": not signed on";
    else if (!complete)
        problem = ": timed out";
    else if (const oscar::DirectoryErrorEvent* error = ErrorOf(events))
        problem = ": ICQ error: " + platform::WideToUtf8(error->Text());
    if (problem.empty())
        return true;
    Fail(out, request.name + problem);
    return false;
}

// Reads a trailing "wait SECONDS" pair off the words.
bool TakeWait(std::vector<std::string>& words, DWORD& milliseconds)
{
    std::int64_t seconds = kDefaultWaitSeconds;
    if (words.size() >= 2 && words[words.size() - 2] == "wait") {
        if (!ParseNumber(words.back(), seconds) || seconds < 0 || seconds > kMaxWaitSeconds)
            return false;
        words.resize(words.size() - 2);
    }
    milliseconds = static_cast<DWORD>(seconds) * 1000u;
    return true;
}

WideString StoredNickname(AppCore& core, const WideString& uin)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(core);
    if (!account)
        return {};
    ContactStore& store = account->Store();
    platform::CriticalSectionLock guard(store.Lock());
    RefPtr<Contact> contact = store.FindContact(uin);
    return contact ? contact->nickname : WideString();
}

CommandResult Info(AppCore& core, std::vector<std::string> words, std::FILE* out)
{
    DWORD wait = 0;
    std::uint32_t uin = 0;
    if (!TakeWait(words, wait) || words.size() != 2 || !ParseUinWord(words[1], uin))
        return Fail(out, "usage: info UIN [wait SECONDS]");
    std::vector<RefPtr<AppEvent>> events;
    Request request{"info " + words[1], [uin](oscar::DirectoryQuery& q) { return q.RequestInformation(uin); }};
    if (!RunQuery(core, request, wait, out, events))
        return CommandResult::Failed;
    WideString uinText = platform::Utf8ToWide(words[1]);
    oscar::UserInfoSheet sheet(uinText, StoredNickname(core, uinText));
    for (const RefPtr<AppEvent>& event : events)
        sheet.Apply(*event);
    for (std::size_t i = 0; i < oscar::kInfoFieldCount; ++i) {
        auto field = static_cast<oscar::InfoField>(i);
        std::fprintf(out, "%s: %s\n", platform::WideToUtf8(oscar::InfoFieldLabel(field)).c_str(),
                     OneLine(sheet.Text(field)).c_str());
    }
    std::fprintf(out, "ok info %s\n", words[1].c_str());
    std::fflush(out);
    return CommandResult::Continue;
}

// Reads the details criteria; false for an unknown keyword or value.
bool ReadCriteria(const std::vector<std::string>& words, oscar::SearchCriteria& criteria)
{
    const std::map<std::string, WideString oscar::SearchCriteria::*> texts = {
        {"nick", &oscar::SearchCriteria::nickname}, {"first", &oscar::SearchCriteria::firstName},
        {"last", &oscar::SearchCriteria::lastName}, {"email", &oscar::SearchCriteria::email},
        {"city", &oscar::SearchCriteria::city},
    };
    if (words.size() % 2 != 1)
        return false;
    for (std::size_t i = 1; i + 1 < words.size(); i += 2) {
        const std::string& key = words[i];
        const std::string& value = words[i + 1];
        if (auto text = texts.find(key); text != texts.end()) {
            criteria.*(text->second) = Value(value);
        } else if (key == "gender" && (value == "female" || value == "male")) {
            criteria.gender = value == "female" ? 1 : 2;
        } else if (key == "age") {
            int choice = 1;
            while (choice < oscar::kAgeChoiceCount && platform::Utf8ToWide(value) != oscar::AgeChoiceText(choice))
                ++choice;
            if (choice == oscar::kAgeChoiceCount)
                return false;
            criteria.age = oscar::AgeRangeOfChoice(choice);
        } else {
            return false;
        }
    }
    return true;
}

CommandResult Search(AppCore& core, std::vector<std::string> words, std::FILE* out)
{
    DWORD wait = 0;
    if (!TakeWait(words, wait))
        return Fail(out, "search: wait needs a number of seconds");
    Request request{"search", nullptr};
    std::uint32_t uin = 0;
    oscar::SearchCriteria criteria;
    if (words.size() == 3 && words[1] == "uin") {
        if (!ParseUinWord(words[2], uin))
            return Fail(out, "search uin: needs a UIN");
        request.start = [uin](oscar::DirectoryQuery& q) { return q.SearchByUin(uin); };
    } else if (ReadCriteria(words, criteria)) {
        request.start = [criteria](oscar::DirectoryQuery& q) { return q.SearchByDetails(criteria); };
    } else {
        return Fail(out, "usage: search uin UIN | search [nick|first|last|email|city X] [gender female|male] "
                         "[age 18-22|...|60-above] [wait SECONDS]");
    }
    std::vector<RefPtr<AppEvent>> events;
    if (!RunQuery(core, request, wait, out, events))
        return CommandResult::Failed;
    int hits = 0;
    for (const RefPtr<AppEvent>& event : events) {
        const auto* hit = dynamic_cast<const oscar::SearchHitEvent*>(event.Get());
        if (hit == nullptr || !hit->Success())
            continue;
        ++hits;
        std::fprintf(out, "hit %u \"%s\"\n", hit->Hit().uin, OneLine(oscar::SearchRowText(hit->Hit())).c_str());
    }
    std::fprintf(out, "ok search %d hits\n", hits);
    std::fflush(out);
    return CommandResult::Continue;
}

std::string Quoted(const WideString& text) { return "\"" + OneLine(text) + "\""; }

std::string Hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

}  // namespace

std::string DirectoryEventDetails(const AppEvent& event)
{
    if (const auto* error = dynamic_cast<const oscar::ProtocolErrorEvent*>(&event))
        return " " + Hex(error->Family()) + "/" + Hex(error->Subtype()) + " " + Quoted(error->Text());
    if (const auto* basic = dynamic_cast<const oscar::UserInfoBasicEvent*>(&event))
        return basic->Success() ? " ok " + Quoted(basic->Info().nickname) : " no-data";
    if (const auto* more = dynamic_cast<const oscar::UserInfoMoreEvent*>(&event))
        return more->Success() ? " ok age=" + std::to_string(more->Info().age) : " no-data";
    if (const auto* notes = dynamic_cast<const oscar::UserInfoNotesEvent*>(&event))
        return notes->Success() ? " ok " + Quoted(notes->Info()) : " no-data";
    if (const auto* hit = dynamic_cast<const oscar::SearchHitEvent*>(&event)) {
        std::string details = hit->Success() ? " ok" : " no-data";
        if (hit->IsLast())
            details += " last";
        if (hit->Success())
            details += " " + std::to_string(hit->Hit().uin) + " " + Quoted(oscar::SearchRowText(hit->Hit()));
        return details;
    }
    return {};
}

CommandResult RunDirectoryCommand(AppCore& core, const std::vector<std::string>& words, std::FILE* out)
{
    if (!words.empty() && words[0] == "info")
        return Info(core, words, out);
    return Search(core, words, out);
}

}  // namespace cli
