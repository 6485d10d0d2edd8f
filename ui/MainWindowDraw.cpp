// The main window's picture: drawn into an off-screen surface (made at the
// first paint at the client size, dropped at every size change) and copied
// to the window in one blit, so that a repaint never flickers.
#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "skin/Look.h"
#include "ui/KeyActions.h"
#include "ui/MainLayout.h"
#include "ui/MainWindow.h"

namespace {

constexpr int kToolbarLeft = 2;

}  // namespace

void MainWindow::OnDraw(HDC dc, const RECT& client)
{
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    if (m_memoryDC == nullptr) {
        m_memoryDC = CreateCompatibleDC(dc);
        m_memoryBitmap = m_memoryDC != nullptr ? CreateCompatibleBitmap(dc, width, height) : nullptr;
        if (m_memoryBitmap == nullptr) {
            // No room for the surface: draw straight to the window.
            DropMemorySurface();
            DrawInto(dc, client);
            return;
        }
        m_previousBitmap = SelectObject(m_memoryDC, m_memoryBitmap);
    }
    DrawInto(m_memoryDC, client);
    BitBlt(dc, client.left, client.top, width, height, m_memoryDC, client.left, client.top, SRCCOPY);
}

void MainWindow::DrawInto(HDC dc, const RECT& client)
{
    AppCore* core = app::Core();
    RefPtr<skin::Skin> look = core != nullptr ? skin::CurrentSkin(*core) : RefPtr<skin::Skin>();
    if (!look)
        return;
    // The brush goes first even under an image: the image may leave parts
    // out (its key colour) or be smaller than the window, and the surface
    // still holds the previous picture there.
    if (HBRUSH brush = look->BackgroundBrush())
        FillRect(dc, &client, brush);
    else
        PatBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top, WHITENESS);
    if (look->backgroundImage)
        look->backgroundImage->Draw(dc, client.left, client.top);
    int statusHeight = look->StatusPosition() > 0 ? look->statusHeight : 0;
    int toolbarHeight = look->ToolbarPosition() > 0 ? look->ToolbarHeight() : 0;
    mainlayout::Areas areas = mainlayout::Compute(look->Layout(), client, statusHeight, toolbarHeight);
    if (m_list)
        m_list->Draw(dc, areas.list);
    if (look->StatusPosition() > 0)
        DrawStatusBar(dc, areas.status);
    if (look->ToolbarPosition() > 0)
        DrawToolbar(dc, areas.toolbar);
}

void MainWindow::DrawStatusBar(HDC dc, const RECT& area)
{
    AppCore& core = *app::Core();
    RefPtr<skin::Skin> look = skin::CurrentSkin(core);
    RefPtr<Settings> settings = core.GetSettings();
    settings->EnsureLoaded();
    WideString text = settings->icqEnabled ? u"ICQ " + m_statusText : WideString(u"No active account");

    HGDIOBJ previousFont = SelectObject(dc, look->statusFont.Handle());
    SetTextColor(dc, look->statusTextColour);
    SetBkMode(dc, TRANSPARENT);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    int x = area.left + (area.right - area.left - size.cx) / 2;
    ExtTextOutW(dc, x, area.top + look->statusTextOffset, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
    SelectObject(dc, previousFont);
}

void MainWindow::DrawToolbar(HDC dc, const RECT& area)
{
    AppCore& core = *app::Core();
    RefPtr<skin::Skin> look = skin::CurrentSkin(core);
    RefPtr<Settings> settings = core.GetSettings();
    settings->EnsureLoaded();
    if (HBRUSH brush = look->ToolbarBrush())
        FillRect(dc, &area, brush);
    int x = area.left + kToolbarLeft;
    // Keys 1 to 9, then 0, as they lie on the keypad.
    for (int button = 0; button < 10; ++button) {
        int key = (button + 1) % 10;
        std::optional<skin::ToolbarSlot> slot = keyactions::ToolbarSlotOf(settings->KeyActionOf(key), *settings);
        if (slot) {
            if (RefPtr<skin::SkinImage> image = look->ToolbarImage(*slot))
                image->Draw(dc, x, area.top + 1);
            if (RefPtr<skin::SkinImage> digit = look->ToolbarImage(keyactions::DigitSlot(key)))
                digit->Draw(dc, x, area.top + 1);
        }
        x += look->toolbarButtonWidth;
    }
}
