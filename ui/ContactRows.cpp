#include "ui/ContactRows.h"

#include <algorithm>

#include "oscar/ContactOrder.h"

namespace ui {

bool IsListed(const Contact& contact, bool showOffline)
{
    return showOffline || contact.status != OnlineStatus::Offline || oscar::NeedsAttention(contact);
}

void ContactRows::Clear()
{
    m_rows.clear();
    m_tops.clear();
    m_heights.clear();
    m_total = 0;
}

void ContactRows::Build(const std::vector<RefPtr<Contact>>& contacts, bool showOffline, bool programRow,
                        int rowHeight)
{
    Clear();
    if (rowHeight < 1)
        rowHeight = kFallbackRowHeight;
    rowHeight = std::min(rowHeight, kMaxRowHeight);
    if (programRow)
        m_rows.push_back(nullptr);
    m_rows.reserve(contacts.size() + m_rows.size());
    for (const RefPtr<Contact>& contact : contacts) {
        if (contact && IsListed(*contact, showOffline))
            Insert(contact);
    }
    m_tops.reserve(m_rows.size());
    m_heights.assign(m_rows.size(), rowHeight);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_tops.push_back(m_total);
        m_total += rowHeight;
    }
}

void ContactRows::Insert(const RefPtr<Contact>& contact)
{
    auto first = m_rows.begin() + ((!m_rows.empty() && !m_rows.front()) ? 1 : 0);
    // The store hands its contacts over in display order, so the new one
    // usually belongs after the last row: one comparison instead of a search.
    if (first == m_rows.end() || oscar::SortsBefore(*m_rows.back(), *contact)) {
        m_rows.push_back(contact);
        return;
    }
    auto before = [](const RefPtr<Contact>& a, const RefPtr<Contact>& b) { return oscar::SortsBefore(*a, *b); };
    auto place = std::lower_bound(first, m_rows.end(), contact, before);
    if (place != m_rows.end() && !before(contact, *place))
        return;  // equal to a row already there
    m_rows.insert(place, contact);
}

int ContactRows::IndexOfKey(const WideString& key) const
{
    if (key.empty())
        return -1;
    bool program = key == kProgramRowKey;
    for (int i = 0; i < Count(); ++i) {
        const RefPtr<Contact>& row = At(i);
        if (program ? !row : (row && row->uin == key))
            return i;
    }
    return -1;
}

WideString ContactRows::KeyAt(int index) const
{
    const RefPtr<Contact>& row = At(index);
    return row ? row->uin : WideString(kProgramRowKey);
}

int ContactRows::FirstStartingAtOrBelow(int offset) const
{
    return static_cast<int>(std::lower_bound(m_tops.begin(), m_tops.end(), offset) - m_tops.begin());
}

int ContactRows::LastEndingAtOrAbove(int offset) const
{
    // Rows are stacked without gaps: row i ends where row i + 1 starts.
    int after = static_cast<int>(std::upper_bound(m_tops.begin(), m_tops.end(), offset) - m_tops.begin());
    int candidate = after - 1;
    while (candidate >= 0 && Bottom(candidate) > offset)
        --candidate;
    return candidate;
}

}  // namespace ui
