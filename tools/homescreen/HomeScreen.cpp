#include "tools/homescreen/HomeScreen.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "tools/homescreen/CurrentScheme.h"

namespace homescreen {

namespace {

constexpr const WCHAR* kWindowClass = u"HomeScreenWindow";
constexpr UINT kDataChanged = WM_APP + 1;
constexpr UINT_PTR kPollTimer = 1;

// The one home screen of the process (its window procedure's object).
HomeScreen* g_home = nullptr;

}  // namespace

int HomeScreen::Row::Height() const
{
    if (plugin == nullptr)
        return scheme.height;
    int height = 0;
    if (FAILED(plugin->GetHeight(&height)))
        return 0;
    return std::clamp(height, 0, kMaxRowHeight);
}

bool HomeScreen::Row::Selectable() const
{
    if (plugin == nullptr)
        return scheme.kind != RowKind::Plugin;
    BOOL selectable = FALSE;
    return SUCCEEDED(plugin->GetSelectability(&selectable)) && selectable && Height() > 0;
}

HomeScreen::HomeScreen() : m_site([](DWORD) {
    if (g_home != nullptr && g_home->m_window != nullptr)
        InvalidateRect(g_home->m_window, nullptr, TRUE);
})
{
    g_home = this;
}

HomeScreen::~HomeScreen()
{
    platform::com::SetPluginDataChangeReceiver({});
    ReleaseRows();
    if (m_window != nullptr)
        DestroyWindow(m_window);
    g_home = nullptr;
}

bool HomeScreen::Open()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    m_window = CreateWindowExW(0, kWindowClass, m_scheme.title.c_str(), WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (m_window == nullptr)
        return false;
    // Plug-ins report new data from their own threads; the row is repainted
    // on this one.
    HWND window = m_window;
    platform::com::SetPluginDataChangeReceiver([window](const CLSID&) { PostMessageW(window, kDataChanged, 0, 0); });
    SetFocus(m_window);
    LoadCurrent(Reload::Always);
    SetTimer(m_window, kPollTimer, kPollMilliseconds, nullptr);
    return true;
}

HomeScreen::Version HomeScreen::VersionOf(const WideString& path)
{
    Version version;
    version.path = path;
    std::string file = platform::WideToUtf8(path);
    std::error_code error;
    version.written = std::filesystem::last_write_time(file, error);
    version.size = error ? 0 : std::filesystem::file_size(file, error);
    return version;
}

void HomeScreen::LoadCurrent(Reload reload)
{
    WideString path = QueryCurrentScheme();
    Version version = VersionOf(path);
    if (reload == Reload::IfChanged && m_loaded && version == m_version)
        return;
    Scheme scheme = path.empty() ? DefaultScheme() : ReadScheme(path);
    if (path.empty())
        std::fprintf(stderr, "homescreen: no scheme is set; showing the built-in one\n");
    else if (!scheme.error.empty())
        std::fprintf(stderr, "homescreen: %s; showing the built-in scheme\n", scheme.error.c_str());
    Show(std::move(scheme), std::move(version));
}

void HomeScreen::Show(Scheme scheme, Version version)
{
    ReleaseRows();
    m_scheme = std::move(scheme);
    m_version = std::move(version);
    m_loaded = true;
    m_look = LookOf(m_scheme.defaultFormat);
    for (const SchemeRow& schemeRow : m_scheme.rows) {
        Row row;
        row.scheme = schemeRow;
        m_rows.push_back(row);
    }
    // Plug-in handles are the row numbers from 1, so a redraw request names
    // its row.
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].scheme.kind == RowKind::Plugin)
            MakePlugin(m_rows[i], static_cast<DWORD>(i + 1));
    }
    m_selected = -1;
    MoveSelection(+1);
    if (m_window != nullptr) {
        SetWindowTextW(m_window, m_scheme.title.c_str());
        InvalidateRect(m_window, nullptr, TRUE);
    }
}

void HomeScreen::MakePlugin(Row& row, DWORD handle)
{
    if (!row.scheme.clsid) {
        std::fprintf(stderr, "homescreen: plug-in \"%s\" has no valid clsid\n",
                     platform::WideToUtf8(row.scheme.name).c_str());
        return;
    }
    HRESULT result = S_OK;
    const platform::xml::XmlNode* format = m_scheme.defaultFormat ? &m_scheme.defaultFormat : nullptr;
    row.plugin = CreateHomePlugin(*row.scheme.clsid, m_site, handle, &row.scheme.node, format, &result);
    if (row.plugin == nullptr)
        std::fprintf(stderr, "homescreen: plug-in \"%s\" %s not made: 0x%08X\n",
                     platform::WideToUtf8(row.scheme.name).c_str(),
                     platform::WideToUtf8(GuidToString(*row.scheme.clsid)).c_str(), static_cast<unsigned>(result));
}

void HomeScreen::ReleaseRows()
{
    for (Row& row : m_rows) {
        if (row.plugin != nullptr) {
            row.plugin->SetSite(nullptr);
            row.plugin->Release();
        }
    }
    m_rows.clear();
    m_selected = -1;
}

void HomeScreen::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    RECT client{};
    GetClientRect(m_window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SYSTEMTIME now{};
    GetLocalTime(&now);
    m_shownTime = TimeText(now);
    int top = client.top - ScrollOffset(client.bottom - client.top);
    for (std::size_t i = 0; i < m_rows.size() && top < client.bottom; ++i) {
        const Row& row = m_rows[i];
        int height = row.Height();
        if (height <= 0)
            continue;
        if (top + height <= client.top) {
            top += height;
            continue;
        }
        RECT rect{client.left, top, client.right, top + height};
        bool selected = static_cast<int>(i) == m_selected && row.Selectable();
        if (row.plugin != nullptr) {
            HomePluginPaintEvent event;
            event.dc = dc;
            event.selected = selected ? TRUE : FALSE;
            event.rect = rect;
            row.plugin->OnEvent(reinterpret_cast<const HomePluginEvent*>(&event));
        } else {
            PaintOwnRow(dc, row.scheme, rect, selected, m_look, now);
        }
        top += height;
    }
    EndPaint(m_window, &paint);
}

// How far the rows are scrolled up so that the selected row ends on the
// screen (0 while it does).
int HomeScreen::ScrollOffset(int visibleHeight) const
{
    int bottom = 0;
    for (int i = 0; i <= m_selected && i < static_cast<int>(m_rows.size()); ++i)
        bottom += m_rows[static_cast<std::size_t>(i)].Height();
    return std::max(0, bottom - visibleHeight);
}

// The event is passed by address only: the larger events start with the
// same type field and are read through it by the plug-in.
void HomeScreen::Tell(std::size_t row, const HomePluginEvent* event)
{
    if (row < m_rows.size() && m_rows[row].plugin != nullptr)
        m_rows[row].plugin->OnEvent(event);
}

// Moves to the next selectable row in the direction of `step`; stays when
// there is none. With no row selected, +1 finds the first selectable row.
void HomeScreen::MoveSelection(int step)
{
    int count = static_cast<int>(m_rows.size());
    for (int i = m_selected + step; i >= 0 && i < count; i += step) {
        if (!m_rows[static_cast<std::size_t>(i)].Selectable())
            continue;
        int previous = m_selected;
        m_selected = i;
        HomePluginEvent focus{HPE_FOCUSCHANGED};
        if (previous >= 0)
            Tell(static_cast<std::size_t>(previous), &focus);
        Tell(static_cast<std::size_t>(i), &focus);
        InvalidateRect(m_window, nullptr, TRUE);
        return;
    }
}

void HomeScreen::OnKey(UINT key)
{
    using namespace platform::display;
    if (key == VK_UP_KEY || key == VK_DOWN_KEY) {
        MoveSelection(key == VK_DOWN_KEY ? +1 : -1);
        return;
    }
    if (m_selected < 0 || !m_rows[static_cast<std::size_t>(m_selected)].Selectable())
        return;
    std::size_t selected = static_cast<std::size_t>(m_selected);
    if (key == VK_ACTION) {
        HomePluginEvent action{HPE_ACTION};
        Tell(selected, &action);
    } else if (key == VK_LEFT_KEY || key == VK_RIGHT_KEY) {
        HomePluginKeyEvent event;
        event.key = static_cast<WORD>(key);
        Tell(selected, reinterpret_cast<const HomePluginEvent*>(&event));
    }
}

void HomeScreen::OnTimer()
{
    LoadCurrent(Reload::IfChanged);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (TimeText(now) != m_shownTime)
        InvalidateRect(m_window, nullptr, TRUE);
}

LRESULT HomeScreen::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_home == nullptr || g_home->m_window != window)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        g_home->Paint();
        return 0;
    case WM_KEYDOWN:
        g_home->OnKey(static_cast<UINT>(wParam));
        return 0;
    case WM_TIMER:
        g_home->OnTimer();
        return 0;
    case kDataChanged:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace homescreen
