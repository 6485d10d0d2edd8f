#include "skin/smiley/SmileWindow.h"

#include <algorithm>

#include "platform/display/Display.h"
#include "platform/shell/Shell.h"

namespace skin {

using platform::display::VK_ACTION;
using platform::display::VK_BACK_KEY;
using platform::display::VK_DOWN_KEY;
using platform::display::VK_LEFT_KEY;
using platform::display::VK_RIGHT_KEY;
using platform::display::VK_UP_KEY;

SmileWindow::SmileWindow(RefPtr<SmileySet> set, RefPtr<Skin> look) : m_set(std::move(set)), m_look(std::move(look))
{
    if (!m_look)
        m_look = MakeRef<Skin>();
    RegisterDialogClass();
}

void SmileWindow::AfterInit()
{
    m_background = CreateSolidBrush(kBackground);
    m_selection = CreateSolidBrush(kSelection);
    ShowCodeOnSoftKey();
}

void SmileWindow::OnDestroy()
{
    DropSurface();
    for (HBRUSH* brush : {&m_background, &m_selection}) {
        if (*brush != nullptr)
            DeleteObject(*brush);
        *brush = nullptr;
    }
}

void SmileWindow::DropSurface()
{
    if (m_surface != nullptr) {
        SelectObject(m_surface, m_surfacePrevious);
        DeleteDC(m_surface);
    }
    if (m_surfaceBitmap != nullptr)
        DeleteObject(m_surfaceBitmap);
    m_surface = nullptr;
    m_surfaceBitmap = nullptr;
    m_surfacePrevious = nullptr;
}

void SmileWindow::OnWindowPosChanged(WINDOWPOS*)
{
    DropSurface();
    Invalidate();
}

void SmileWindow::LayOut(HDC dc, int clientWidth)
{
    std::vector<PictureSize> pictures;
    std::size_t count = m_set->Count();
    pictures.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        RefPtr<Smiley> smiley = m_set->At(i);
        // A picture that cannot be read gets an empty cell (the spacing only).
        std::optional<SkinImage::Drawable> picture;
        if (smiley && smiley->Image())
            picture = smiley->Image()->Get(dc);
        pictures.push_back(picture ? PictureSize{picture->width, picture->height} : PictureSize{});
    }
    m_grid = LayOutSmileGrid(pictures, m_look->smileySpacing, clientWidth);
    m_laidOut = true;
}

int SmileWindow::StripHeight(HDC dc)
{
    if (!m_set->HasDescriptions())
        return 0;
    HGDIOBJ old = SelectObject(dc, m_look->statusFont.Handle());
    SIZE letter{};
    GetTextExtentPoint32W(dc, u"A", 1, &letter);
    SelectObject(dc, old);
    return letter.cy;
}

void SmileWindow::DrawDescription(HDC dc, const RECT& client, int stripHeight)
{
    RECT strip{client.left, client.bottom - stripHeight, client.right, client.bottom};
    FillRect(dc, &strip, m_background);
    RefPtr<Smiley> smiley = m_set->At(static_cast<std::size_t>(m_selected));
    if (!smiley || smiley->Description().empty())
        return;
    const WideString& text = smiley->Description();
    HGDIOBJ old = SelectObject(dc, m_look->statusFont.Handle());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SetTextColor(dc, kDescriptionColour);
    SetBkMode(dc, TRANSPARENT);
    int width = client.right - client.left;
    ExtTextOutW(dc, width / 2 - extent.cx / 2, strip.top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
    SelectObject(dc, old);
}

void SmileWindow::OnDraw(HDC dc, const RECT& client)
{
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    if (m_surface == nullptr) {
        m_surface = CreateCompatibleDC(dc);
        m_surfaceBitmap = m_surface != nullptr ? CreateCompatibleBitmap(dc, width, height) : nullptr;
        if (m_surfaceBitmap == nullptr) {
            DropSurface();
            return;
        }
        m_surfacePrevious = SelectObject(m_surface, m_surfaceBitmap);
    }
    if (!m_laidOut)
        LayOut(m_surface, width);
    int stripHeight = StripHeight(m_surface);
    m_visibleHeight = std::max(0, height - stripHeight);
    KeepSelectionInView();

    RECT all{0, 0, width, height};
    FillRect(m_surface, &all, m_background);
    int spacing = m_look->smileySpacing;
    for (std::size_t i = 0; i < m_grid.cells.size(); ++i) {
        const SmileCell& cell = m_grid.cells[i];
        int top = cell.y - m_scrollTop;
        if (top >= m_visibleHeight || top + cell.height <= 0)
            continue;
        if (static_cast<int>(i) == m_selected) {
            RECT box{cell.x, top, cell.x + cell.width, top + cell.height};
            FillRect(m_surface, &box, m_selection);
        }
        RefPtr<Smiley> smiley = m_set->At(i);
        if (smiley && smiley->Image())
            smiley->Image()->Draw(m_surface, cell.x + spacing / 2, top + spacing / 2);
    }
    if (stripHeight > 0)
        DrawDescription(m_surface, all, stripHeight);
    BitBlt(dc, client.left, client.top, width, height, m_surface, 0, 0, SRCCOPY);
}

void SmileWindow::KeepSelectionInView()
{
    if (m_selected < 0 || static_cast<std::size_t>(m_selected) >= m_grid.cells.size())
        return;
    const SmileCell& cell = m_grid.cells[static_cast<std::size_t>(m_selected)];
    if (cell.y + cell.height > m_scrollTop + m_visibleHeight)
        m_scrollTop = cell.y + cell.height - m_visibleHeight;
    if (cell.y < m_scrollTop)
        m_scrollTop = cell.y;
}

void SmileWindow::Select(int index)
{
    if (index < 0 || index == m_selected)
        return;
    m_selected = index;
    ShowCodeOnSoftKey();
    Invalidate();
}

void SmileWindow::ShowCodeOnSoftKey()
{
    RefPtr<Smiley> smiley = m_set->At(static_cast<std::size_t>(m_selected));
    if (!smiley || MenuBar() == nullptr)
        return;
    WideString label = smiley->Code().substr(0, kMaxLabel);
    TBBUTTONINFOW info;
    info.dwMask = TBIF_TEXT;
    info.pszText = label.data();
    info.cchText = static_cast<int>(label.size());
    SendMessageW(MenuBar(), TB_SETBUTTONINFO, kCommandInsert, reinterpret_cast<LPARAM>(&info));
}

void SmileWindow::Choose()
{
    m_chosen = m_set->At(static_cast<std::size_t>(m_selected));
    if (m_chosen)
        EndDialog(IDOK);
}

LRESULT SmileWindow::OnKeyDown(WPARAM key, LPARAM, bool& handled)
{
    handled = true;
    if (key == VK_ACTION) {
        Choose();
        return 0;
    }
    if (!m_laidOut || static_cast<std::size_t>(m_selected) >= m_grid.cells.size()) {
        handled = false;
        return 0;
    }
    const SmileCell& cell = m_grid.cells[static_cast<std::size_t>(m_selected)];
    switch (key) {
    case VK_LEFT_KEY:
        Select(cell.left);
        break;
    case VK_RIGHT_KEY:
        Select(cell.right);
        break;
    case VK_UP_KEY:
        Select(cell.up);
        break;
    case VK_DOWN_KEY:
        Select(cell.down);
        break;
    default:
        handled = false;
        break;
    }
    return 0;
}

LRESULT SmileWindow::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandInsert) {
        Choose();
    } else if (commandId == kCommandCancel) {
        m_chosen = nullptr;
        EndDialog(IDCANCEL);
    }
    return 0;
}

LRESULT SmileWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    // The Back key is taken over by the soft-key bar and used up here.
    if (message == WM_HOTKEY && HIWORD(static_cast<std::uintptr_t>(lParam)) == VK_BACK_KEY) {
        handled = true;
        return 0;
    }
    return DialogBase::OnMessage(message, wParam, lParam, handled);
}

}  // namespace skin
