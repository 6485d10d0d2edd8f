// ContactRows: the rows of the contact list in display order, each a contact
// or the program row (a null entry, always first), with the top offset and
// height of every row in pixels.
#pragma once

#include <vector>

#include "app/RefCounted.h"
#include "oscar/Contact.h"
#include "platform/base/Types.h"

namespace ui {

// The key of the program row; contact rows are keyed by their UIN text.
inline constexpr char16_t kProgramRowKey[] = u"1";

class ContactRows {
public:
    // Row heights are kept within these bounds so that the geometry of a
    // long list fits in 32 bits whatever the skin says.
    static constexpr int kMaxRowHeight = 1024;
    static constexpr int kFallbackRowHeight = 17;

    // Rebuilds the rows from `contacts` (any order): every contact while
    // `showOffline` is on, otherwise those online or needing attention. Each
    // goes to the place a binary search with the display order finds; one
    // that compares equal to a row already there is left out. The program
    // row comes first when `programRow` is set. Call under the store's lock.
    void Build(const std::vector<RefPtr<Contact>>& contacts, bool showOffline, bool programRow, int rowHeight);
    void Clear();

    int Count() const { return static_cast<int>(m_rows.size()); }
    bool Empty() const { return m_rows.empty(); }
    int Last() const { return Count() - 1; }
    // Null for the program row.
    const RefPtr<Contact>& At(int index) const { return m_rows[static_cast<std::size_t>(index)]; }
    int Top(int index) const { return m_tops[static_cast<std::size_t>(index)]; }
    int Height(int index) const { return m_heights[static_cast<std::size_t>(index)]; }
    int Bottom(int index) const { return Top(index) + Height(index); }
    int TotalHeight() const { return m_total; }

    // The row whose key equals `key`, or -1.
    int IndexOfKey(const WideString& key) const;
    WideString KeyAt(int index) const;

    // The first row whose top is at or below `offset` (Count() when none).
    int FirstStartingAtOrBelow(int offset) const;
    // The last row that ends at or above `offset` (-1 when none).
    int LastEndingAtOrAbove(int offset) const;

private:
    void Insert(const RefPtr<Contact>& contact);

    std::vector<RefPtr<Contact>> m_rows;
    std::vector<int> m_tops;
    std::vector<int> m_heights;
    int m_total = 0;
};

// Whether the list shows the contact: SHOW_OFFLINE, or online, or needing
// attention. Call under the store's lock.
bool IsListed(const Contact& contact, bool showOffline);

}  // namespace ui
