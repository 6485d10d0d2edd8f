// The row's pixels: background, selection, bottom border and the unread
// mark, painted into a memory device context as the home screen's would be.
#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "plugin/RowPainter.h"

namespace {

constexpr int kWidth = 176;
constexpr int kHeight = 24;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0x10, 0x20, 0x30);

class Canvas {
public:
    Canvas()
    {
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateCompatibleBitmap(m_dc, kWidth, kHeight);
        m_old = SelectObject(m_dc, m_bitmap);
        HBRUSH white = CreateSolidBrush(kWhite);
        RECT all{0, 0, kWidth, kHeight};
        FillRect(m_dc, &all, white);
        DeleteObject(white);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    int Count(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                count += GetPixel(m_dc, x, y) == colour ? 1 : 0;
        return count;
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

plugin::PluginSettings Look()
{
    plugin::PluginSettings settings;
    settings.height = kHeight;
    settings.textColour = u"#102030";
    settings.selectedBackground = u"#0000C0";
    settings.selectedText = u"#FFFFFF";
    settings.borderColour = u"#FF0000";
    return settings;
}

plugin::ProgramStatus Reported(std::int32_t unread)
{
    plugin::ProgramStatus status;
    status.haveData = true;
    status.icq.present = true;
    status.icq.count = 4;
    status.icq.unread = unread;
    status.icq.text = u"Online";
    return status;
}

void Paint(Canvas& canvas, const plugin::PluginSettings& settings, const plugin::ProgramStatus& status,
           bool selected = false)
{
    plugin::RowPainter painter;
    painter.Paint(canvas.Dc(), selected, RECT{0, 0, kWidth, kHeight}, settings, status, {});
}

TEST(RowPaint, BorderModesDecideTheBottomStrip)
{
    struct Case {
        const char* name;
        std::int32_t mode;
        std::int32_t width;
        int rows;  // red rows at the bottom
    } cases[] = {{"mode 1 with width 0 draws one pixel", 1, 0, 1},
                 {"mode 2 draws none whatever the width", 2, 5, 0},
                 {"default mode takes the width", 0, 3, 3},
                 {"default mode without width", 0, 0, 0}};
    for (const Case& c : cases) {
        Canvas canvas;
        plugin::PluginSettings settings = Look();
        settings.borderMode = c.mode;
        settings.borderWidth = c.width;
        Paint(canvas, settings, Reported(0));
        EXPECT_EQ(canvas.Count(RGB(255, 0, 0)), c.rows * kWidth) << c.name;
        if (c.rows > 0) {
            EXPECT_EQ(GetPixel(canvas.Dc(), 0, kHeight - c.rows - 1), kWhite) << c.name;
        }
    }
}

TEST(RowPaint, SelectionFillsAboveTheBorderAndTransparentFillsNothing)
{
    Canvas selected;
    plugin::PluginSettings settings = Look();
    settings.borderMode = 1;
    Paint(selected, settings, Reported(0), true);
    EXPECT_EQ(GetPixel(selected.Dc(), kWidth - 1, 0), RGB(0, 0, 0xC0));
    EXPECT_EQ(GetPixel(selected.Dc(), kWidth - 1, kHeight - 1), RGB(255, 0, 0));
    EXPECT_GT(selected.Count(kWhite), 5);  // the selected text colour (anti-aliased text)

    Canvas plain;
    Paint(plain, settings, Reported(0));
    EXPECT_EQ(GetPixel(plain.Dc(), kWidth - 1, 0), kWhite);
    EXPECT_GT(plain.Count(kInk), 5);
}

TEST(RowPaint, UnreadMessagesAddTheBubbleInTheTextColour)
{
    Canvas without;
    Canvas with;
    Paint(without, Look(), Reported(0));
    Paint(with, Look(), Reported(1));
    // The bubble's set pixels, and the text moved right past it.
    EXPECT_GT(with.Count(kInk) - without.Count(kInk), 100);
}

TEST(RowPaint, AutoHeightWithoutStatePaintsNothing)
{
    Canvas canvas;
    plugin::PluginSettings settings = Look();
    settings.autoHeight = true;
    settings.background = u"#000000";
    Paint(canvas, settings, plugin::ProgramStatus{});
    EXPECT_EQ(canvas.Count(kWhite), kWidth * kHeight);
    settings.autoHeight = false;
    Paint(canvas, settings, plugin::ProgramStatus{});
    EXPECT_EQ(GetPixel(canvas.Dc(), kWidth - 1, 0), RGB(0, 0, 0));
}

}  // namespace
