// ContactListView: the rows of the main window's contact list (contacts in
// display order and the program row for a pending warning), the selection
// kept by key, the queue of navigation actions applied at the next paint,
// the scroll bar, and the drawing of the rows with icons, colours and markers.
#pragma once

#include <cstdint>
#include <vector>

#include "app/RefCounted.h"
#include "oscar/Contact.h"
#include "platform/base/Types.h"
#include "platform/gdi/Gdi.h"

class AppCore;

enum class NavigationAction : std::int32_t { Next = 2, Previous = 3, PageUp = 4, PageDown = 5 };

class ContactListView {
public:
    // owner: the main window (invalidated when an action is queued);
    // scrollBar: its vertical scroll bar child (shown, hidden and set here).
    ContactListView(AppCore& core, HWND owner, HWND scrollBar);
    ~ContactListView();
    ContactListView(const ContactListView&) = delete;
    ContactListView& operator=(const ContactListView&) = delete;

    // Drops the rows; the next Draw rebuilds them from the contact store.
    void Clear();
    // Queues a navigation action and invalidates the owner.
    void Queue(NavigationAction action);
    // The list's own key handler: Up/Down queue previous/next, Left page up,
    // Right page down. Reports every key as handled.
    bool OnKeyDown(UINT key);
    // Rebuilds when cleared, restores the selection, applies the queue,
    // updates the scroll bar and draws the visible rows into `area`. While
    // the scroll bar is shown the rows end where it begins. Holds the
    // contact store's lock while it reads the contacts.
    void Draw(HDC dc, const RECT& area);

    // "1" for the program row, the UIN text of a contact, empty for none.
    // The selection readers see already includes the keys queued since the
    // last paint (a Down followed at once by the action key acts on the row
    // Down went to).
    const WideString& SelectedKey() const;
    // The selected contact (null for the program row or no selection).
    RefPtr<Contact> SelectedContact() const;
    bool ProgramRowSelected() const;
    int RowCount() const;
    int TopIndex() const;
    // The key of a row as SelectedKey gives it; empty outside the rows.
    WideString RowKey(int index) const;
    // Selects the row with this key at the next paint (empty: none).
    void Select(const WideString& key);

private:
    struct Rows;
    // Moves the selection by the queued actions through the rows as last
    // built, in a view of the last paint's height, and empties the queue.
    void ApplyQueue(bool wrap) const;
    // ApplyQueue for readers between a key and the paint it asked for.
    void SettleKeys() const;

    AppCore& m_core;
    HWND m_owner;
    HWND m_scrollBar;
    // Both change when queued keys are applied for a reader.
    mutable std::vector<NavigationAction> m_queue;
    mutable WideString m_selectedKey;
    Rows* m_rows;
};
