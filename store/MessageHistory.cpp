#include "store/MessageHistory.h"

#include <utility>

#include "app/AppGlobals.h"
#include "app/Uin.h"
#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "store/HistoryFormat.h"
#include "store/HistoryReader.h"
#include "store/HistoryWriter.h"

namespace {

// UINs and conversation names become file and folder names. A UIN must be
// one (app/Uin.h); a conversation name that could name a file elsewhere (a
// separator, "." or "..", a zero character) or nothing at all is refused. No
// file is written or read for a refused name.
bool IsUsableFileName(const WideString& name)
{
    if (name.empty() || name == u"." || name == u"..")
        return false;
    return name.find_first_of(std::u16string_view(u"/\\\0", 3)) == WideString::npos;
}

}  // namespace

MessageHistory::MessageHistory(WideString ownUin, WideString contactUin)
    : m_parties{std::move(ownUin), std::move(contactUin)}
{
}

const MessageHistory::Paths& MessageHistory::PathsLocked()
{
    if (m_pathsKnown)
        return m_paths;
    m_paths = {};
    WideString appFolder = app::AppFolder();
    bool twoParties = m_parties.size() == 2;
    const WideString& base = twoParties ? m_parties[1] : m_conversationName;
    bool baseUsable = twoParties ? app::IsUinText(base) : IsUsableFileName(base);
    if (appFolder.empty() || !app::IsUinText(m_parties[0]) || !baseUsable)
        return m_paths;  // unusable: not kept, so a later name change can fix it
    WideString folder = appFolder + m_parties[0];
    WideString prefix = folder + kPathSeparator + base;
    m_paths.folder = platform::WideToUtf8(folder);
    m_paths.text = platform::WideToUtf8(prefix + u"_msg.txt");
    m_paths.index = platform::WideToUtf8(prefix + u"_idx.dat");
    if (m_parties.size() >= 3)
        m_paths.parties = platform::WideToUtf8(prefix + u"_parties.txt");
    m_pathsKnown = true;
    return m_paths;
}

MessageHistory::AppendPlan MessageHistory::PlanAppend(const WideString& senderUin)
{
    platform::CriticalSectionLock guard(m_stateLock);
    AppendPlan plan;
    plan.paths = PathsLocked();
    plan.parties = m_parties;
    plan.writeParties = m_partiesChanged && !plan.paths.parties.empty();
    m_partiesChanged = m_partiesChanged && !plan.writeParties;
    if (!senderUin.empty()) {
        plan.senderParty = store::kUnknownParty;
        for (std::size_t i = 0; i < m_parties.size() && i < store::kUnknownParty; ++i) {
            if (m_parties[i] == senderUin) {
                plan.senderParty = static_cast<std::uint8_t>(i);
                break;
            }
        }
    }
    return plan;
}

void MessageHistory::RestorePartiesChanged()
{
    platform::CriticalSectionLock guard(m_stateLock);
    m_partiesChanged = true;
}

bool MessageHistory::Append(const SYSTEMTIME& time, const WideString& senderUin, const WideString& text)
{
    platform::CriticalSectionLock appendGuard(m_appendLock);
    AppendPlan plan = PlanAppend(senderUin);
    if (plan.paths.text.empty())
        return false;
    if (plan.writeParties && !store::WritePartiesFile(plan.paths.parties, plan.paths.folder, plan.parties)) {
        // Kept for the next append, so the parties file is not left stale.
        RestorePartiesChanged();
        return false;
    }
    std::optional<std::uint32_t> offset = store::AppendText(plan.paths.text, plan.paths.folder, text);
    if (!offset)
        return false;
    store::HistoryRecord record;
    store::SetRecordTime(record, time);
    record.party = plan.senderParty;
    record.offset = *offset;
    record.length = static_cast<std::uint32_t>(2 * text.size());
    return store::AppendRecord(plan.paths.index, plan.paths.folder, record);
}

std::vector<HistoryMessage> MessageHistory::Read(std::int32_t skip, std::int32_t count)
{
    return ReadPage(skip, count).messages;
}

HistoryPage MessageHistory::ReadPage(std::int32_t skip, std::int32_t count)
{
    if (count < 1)
        return {};
    Paths paths;
    {
        platform::CriticalSectionLock guard(m_stateLock);
        paths = PathsLocked();
    }
    if (paths.text.empty())
        return {};
    return store::ReadHistoryPage(paths.text, paths.index, skip, count);
}

void MessageHistory::SetConversationName(const WideString& name)
{
    platform::CriticalSectionLock guard(m_stateLock);
    if (name == m_conversationName)
        return;
    m_conversationName = name;
    m_pathsKnown = false;
    m_partiesChanged = m_parties.size() >= 3;
}

void MessageHistory::AddParty(const WideString& uin)
{
    platform::CriticalSectionLock guard(m_stateLock);
    m_parties.push_back(uin);
    m_pathsKnown = false;
    m_partiesChanged = true;
}

std::vector<WideString> MessageHistory::Parties()
{
    platform::CriticalSectionLock guard(m_stateLock);
    return m_parties;
}

std::string MessageHistory::TextPath()
{
    platform::CriticalSectionLock guard(m_stateLock);
    return PathsLocked().text;
}

std::string MessageHistory::IndexPath()
{
    platform::CriticalSectionLock guard(m_stateLock);
    return PathsLocked().index;
}

std::string MessageHistory::PartiesPath()
{
    platform::CriticalSectionLock guard(m_stateLock);
    return PathsLocked().parties;
}
