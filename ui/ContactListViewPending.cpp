// Placeholder until the contact list exists: an empty list.
#include "ui/ContactListView.h"

struct ContactListView::Rows {};

ContactListView::ContactListView(AppCore& core, HWND owner, HWND scrollBar)
    : m_core(core), m_owner(owner), m_scrollBar(scrollBar), m_rows(nullptr)
{
}
ContactListView::~ContactListView() = default;
void ContactListView::Clear() {}
void ContactListView::Queue(NavigationAction action) { m_queue.push_back(action); }
bool ContactListView::OnKeyDown(UINT) { return true; }
void ContactListView::Draw(HDC, const RECT&) {}
const WideString& ContactListView::SelectedKey() const { return m_selectedKey; }
RefPtr<Contact> ContactListView::SelectedContact() const { return nullptr; }
bool ContactListView::ProgramRowSelected() const { return false; }
int ContactListView::RowCount() const { return 0; }
int ContactListView::TopIndex() const { return 0; }
