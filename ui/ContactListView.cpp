#include "ui/ContactListView.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "app/AppCore.h"
#include "oscar/IcqAccount.h"
#include "platform/win/Controls.h"
#include "platform/win/Window.h"
#include "skin/Look.h"
#include "ui/ContactRows.h"
#include "ui/ListNavigation.h"
#include "ui/ProgramIcon.h"
#include "ui/RowPainter.h"

namespace {

// The list's own keys: Up, Down, Left and Right.
constexpr std::pair<UINT, NavigationAction> kKeyActions[] = {
    {0x26, NavigationAction::Previous},
    {0x28, NavigationAction::Next},
    {0x25, NavigationAction::PageUp},
    {0x27, NavigationAction::PageDown},
};

// What one paint reads from the core before it takes the store's lock, so
// that the store's lock is never held while waiting for the core's.
struct PaintInputs {
    RefPtr<skin::Skin> look;
    RefPtr<skin::IconSet> icons;
    RefPtr<IcqAccount> account;
    bool showOffline = false;
    bool wrap = false;
    bool warningPending = false;
};

PaintInputs ReadInputs(AppCore& core)
{
    PaintInputs in;
    in.look = skin::CurrentSkin(core);
    in.icons = skin::CurrentIconSet(core);
    in.account = IcqAccount::Current(core);
    RefPtr<Settings> settings = core.GetSettings();
    settings->EnsureLoaded();
    in.showOffline = settings->showOffline;
    in.wrap = settings->scrolling;
    in.warningPending = !core.LastErrorText().empty();
    return in;
}

}  // namespace

struct ContactListView::Rows {
    // Shows or hides the scroll bar for the rows and moves its thumb; a list
    // that fits the view starts at its first row. Returns the width the bar
    // takes from the rows' right edge.
    int UpdateScrollBar(HWND bar, int viewHeight);
    void Paint(HDC dc, const RECT& area, int rightInset, int selected, const PaintInputs& in);

    ui::ContactRows rows;
    bool built = false;
    // The store the rows came from: rows of another account are rebuilt.
    RefPtr<ContactStore> store;
    int top = 0;
    // The height of the view at the last paint: keys queued since move the
    // selection through a view of that height.
    int paintedHeight = 0;
    HICON programIcon = nullptr;
    // What the scroll bar was last given, so that an unchanged list does
    // not repaint it.
    std::optional<std::pair<int, int>> scrollRangeAndPosition;
    std::optional<bool> scrollShown;
};

int ContactListView::Rows::UpdateScrollBar(HWND bar, int viewHeight)
{
    bool shown = rows.TotalHeight() > viewHeight;
    if (!shown)
        top = 0;
    if (bar == nullptr)
        return 0;
    if (shown) {
        int range = rows.TotalHeight() - viewHeight;
        std::pair<int, int> wanted{range, std::min(rows.Empty() ? 0 : rows.Top(top), range)};
        if (scrollRangeAndPosition != wanted) {
            SCROLLINFO info;
            info.fMask = SIF_RANGE | SIF_POS;
            info.nMin = 0;
            info.nMax = wanted.first;
            info.nPos = wanted.second;
            SetScrollInfo(bar, SB_CTL, &info, TRUE);
            scrollRangeAndPosition = wanted;
        }
    }
    if (scrollShown != shown) {
        ShowWindow(bar, shown ? SW_SHOW : SW_HIDE);
        scrollShown = shown;
    }
    RECT frame{};
    if (!shown || !GetWindowRect(bar, &frame))
        return 0;
    return std::max(0, static_cast<int>(frame.right - frame.left));
}

void ContactListView::Rows::Paint(HDC dc, const RECT& area, int rightInset, int selected, const PaintInputs& in)
{
    if (rows.Empty())
        return;
    HGDIOBJ oldFont = SelectObject(dc, in.look->listFont.Handle());
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    ui::RowLook look{*in.look, in.icons.Get(), programIcon, static_cast<int>(metrics.tmHeight),
                     static_cast<int>(area.bottom)};
    int viewHeight = area.bottom - area.top;
    int origin = rows.Top(top);
    for (int i = top; i < rows.Count() && rows.Top(i) - origin < viewHeight; ++i) {
        int y = area.top + rows.Top(i) - origin;
        RECT row{area.left, y, area.right - rightInset, y + rows.Height(i)};
        ui::PaintRow(dc, row, rows.At(i).Get(), i == selected, look);
    }
    SelectObject(dc, oldFont);
}

ContactListView::ContactListView(AppCore& core, HWND owner, HWND scrollBar)
    : m_core(core), m_owner(owner), m_scrollBar(scrollBar), m_rows(new Rows)
{
    m_rows->programIcon = ui::CreateProgramIcon();
}

ContactListView::~ContactListView()
{
    if (m_rows->programIcon != nullptr)
        DestroyIcon(m_rows->programIcon);
    delete m_rows;
}

void ContactListView::Clear()
{
    m_rows->rows.Clear();
    m_rows->built = false;
    m_rows->store = nullptr;
}

void ContactListView::Queue(NavigationAction action)
{
    m_queue.push_back(action);
    if (m_owner != nullptr)
        InvalidateRect(m_owner, nullptr, FALSE);
}

bool ContactListView::OnKeyDown(UINT key)
{
    for (const auto& [listKey, action] : kKeyActions) {
        if (key == listKey)
            Queue(action);
    }
    return true;
}

void ContactListView::Draw(HDC dc, const RECT& area)
{
    PaintInputs in = ReadInputs(m_core);
    if (in.look && in.look->ListBackgroundBrush() != nullptr)
        FillRect(dc, &area, in.look->ListBackgroundBrush());
    int viewHeight = std::max(0, static_cast<int>(area.bottom - area.top));
    int rowHeight = in.look ? in.look->ContactHeight() : ui::ContactRows::kFallbackRowHeight;

    RefPtr<ContactStore> store = in.account ? RefPtr<ContactStore>(&in.account->Store()) : nullptr;
    std::optional<platform::CriticalSectionLock> storeLock;
    if (store)
        storeLock.emplace(store->Lock());
    Rows& r = *m_rows;
    if (!r.built || r.store != store) {
        r.rows.Build(store ? store->Contacts() : std::vector<RefPtr<Contact>>(), in.showOffline, in.warningPending,
                     rowHeight);
        r.store = store;
        r.built = true;
    }

    r.paintedHeight = viewHeight;
    ApplyQueue(in.wrap);
    int inset = r.UpdateScrollBar(m_scrollBar, viewHeight);
    if (in.look)
        r.Paint(dc, area, inset, r.rows.IndexOfKey(m_selectedKey), in);
}

void ContactListView::ApplyQueue(bool wrap) const
{
    Rows& r = *m_rows;
    ui::ListPosition at{r.rows.IndexOfKey(m_selectedKey), r.top};
    at.top = ui::FitTop(at, r.rows, r.paintedHeight);
    for (NavigationAction action : m_queue) {
        at.selected = ui::Navigate(action, at, r.rows, r.paintedHeight, wrap);
        at.top = ui::FitTop(at, r.rows, r.paintedHeight);
    }
    m_queue.clear();
    m_selectedKey = at.selected >= 0 ? r.rows.KeyAt(at.selected) : WideString();
    r.top = at.top;
}

void ContactListView::SettleKeys() const
{
    if (!m_queue.empty() && m_rows->built)
        ApplyQueue(m_core.GetSettings()->scrolling);
}

const WideString& ContactListView::SelectedKey() const
{
    SettleKeys();
    return m_selectedKey;
}

RefPtr<Contact> ContactListView::SelectedContact() const
{
    SettleKeys();
    if (m_selectedKey.empty() || m_selectedKey == ui::kProgramRowKey)
        return nullptr;
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    return account ? account->Store().FindContact(m_selectedKey) : nullptr;
}

bool ContactListView::ProgramRowSelected() const
{
    SettleKeys();
    return m_selectedKey == ui::kProgramRowKey;
}

int ContactListView::RowCount() const { return m_rows->rows.Count(); }

int ContactListView::TopIndex() const { return m_rows->top; }

WideString ContactListView::RowKey(int index) const
{
    return index >= 0 && index < m_rows->rows.Count() ? m_rows->rows.KeyAt(index) : WideString();
}

void ContactListView::Select(const WideString& key) { m_selectedKey = key; }
