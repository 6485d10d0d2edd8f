#include "plugin/RowPainter.h"

#include <algorithm>
#include <cstdint>

#include "plugin/RowLook.h"

namespace plugin {

namespace {

// The unread-messages mark: a 16 x 16 speech bubble, one row per entry,
// the leftmost pixel in the highest bit.
constexpr std::uint16_t kBubble[16] = {
    0x0000, 0x1FF8, 0x3FFC, 0x7FFE, 0x7FFE, 0x7FFE, 0x7FFE, 0x7FFE,
    0x7FFE, 0x3FFC, 0x1FF8, 0x0E00, 0x0C00, 0x0800, 0x0000, 0x0000,
};
constexpr int kGlyphSize = 16;
constexpr int kGlyphAdvance = 20;
constexpr int kGap = 3;

HBRUSH SolidUnlessTransparent(const WideString& text, const RowPainter::ColourByName& byName)
{
    if (text == u"TRANSPARENT")
        return nullptr;
    return CreateSolidBrush(ResolveColour(text, byName));
}

void Delete(HBRUSH& brush)
{
    if (brush != nullptr)
        DeleteObject(brush);
    brush = nullptr;
}

}  // namespace

RowPainter::~RowPainter() { Reset(); }

void RowPainter::ForgetColours()
{
    Delete(m_background);
    Delete(m_selectedBackground);
    Delete(m_border);
    Delete(m_textBrush);
    Delete(m_selectedTextBrush);
    m_coloursMade = false;
}

void RowPainter::Reset()
{
    ForgetColours();
    if (m_font != nullptr)
        DeleteObject(m_font);
    m_font = nullptr;
}

void RowPainter::MakeColours(const PluginSettings& settings, const ColourByName& byName)
{
    m_background = SolidUnlessTransparent(settings.background, byName);
    m_selectedBackground = SolidUnlessTransparent(settings.selectedBackground, byName);
    m_border = SolidUnlessTransparent(settings.borderColour, byName);
    m_text = ResolveColour(settings.textColour, byName);
    m_selectedText = ResolveColour(settings.selectedText, byName);
    m_textBrush = CreateSolidBrush(m_text);
    m_selectedTextBrush = CreateSolidBrush(m_selectedText);
    m_coloursMade = true;
}

void RowPainter::MakeFont(const PluginSettings& settings)
{
    LOGFONTW font{};
    font.lfHeight = settings.fontSize;
    font.lfWeight = settings.fontWeight == u"BOLD" ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::size_t length = std::min<std::size_t>(settings.fontFace.size(), LF_FACESIZE - 1);
    settings.fontFace.copy(font.lfFaceName, length);
    m_font = CreateFontIndirectW(&font);
}

void RowPainter::DrawText(HDC dc, int& x, const RECT& rect, int y, const WideString& text)
{
    RECT area{x, y, rect.right, rect.bottom};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
    SIZE size{};
    if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
        x += size.cx;
}

void RowPainter::DrawGlyph(HDC dc, int x, int y, HBRUSH brush)
{
    // Set bits take the text brush; clear bits leave what is there.
    for (int row = 0; row < kGlyphSize; ++row) {
        for (int column = 0; column < kGlyphSize;) {
            if ((kBubble[row] & (0x8000 >> column)) == 0) {
                ++column;
                continue;
            }
            int start = column;
            while (column < kGlyphSize && (kBubble[row] & (0x8000 >> column)) != 0)
                ++column;
            RECT run{x + start, y + row, x + column, y + row + 1};
            FillRect(dc, &run, brush);
        }
    }
}

void RowPainter::DrawBlock(HDC dc, int& x, const RECT& rect, int y, const WCHAR* label, const ServiceBlock& block,
                           HBRUSH textBrush)
{
    DrawText(dc, x, rect, y, label);
    x += kGap;
    if (block.unread != 0) {
        DrawGlyph(dc, x, y, textBrush);
        x += kGlyphAdvance;
    }
    DrawText(dc, x, rect, y, BlockText(block));
}

void RowPainter::Paint(HDC dc, bool selected, const RECT& rect, const PluginSettings& settings,
                       const ProgramStatus& status, const ColourByName& byName)
{
    if (!status.haveData && settings.autoHeight)
        return;
    if (!m_coloursMade)
        MakeColours(settings, byName);
    if (m_font == nullptr)
        MakeFont(settings);

    int height = std::max<LONG>(0, rect.bottom - rect.top);
    int border = std::clamp(BorderWidth(settings), 0, height);
    int x = rect.left + settings.paddingLeft;
    int y = rect.top + settings.paddingTop;
    HBRUSH background = selected ? m_selectedBackground : m_background;
    HBRUSH textBrush = selected ? m_selectedTextBrush : m_textBrush;

    COLORREF oldColour = SetTextColor(dc, selected ? m_selectedText : m_text);
    HGDIOBJ oldFont = m_font != nullptr ? SelectObject(dc, m_font) : nullptr;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (background != nullptr) {
        RECT fill{rect.left, rect.top, rect.right, rect.bottom - border};
        FillRect(dc, &fill, background);
    }

    if (!status.haveData) {
        DrawText(dc, x, rect, y, u"Offline");
    } else if (!status.icq.present && !status.msn.present) {
        DrawText(dc, x, rect, y, u"Disabled");
    }
    if (status.haveData && status.icq.present) {
        DrawBlock(dc, x, rect, y, u"ICQ", status.icq, textBrush);
        if (status.msn.present)
            DrawText(dc, x, rect, y, u",");
        x += kGap;
    }
    if (status.haveData && status.msn.present) {
        DrawBlock(dc, x, rect, y, u"MSN", status.msn, textBrush);
        x += kGap;
    }

    if (border > 0 && m_border != nullptr) {
        RECT strip{rect.left, rect.bottom - border, rect.right, rect.bottom};
        FillRect(dc, &strip, m_border);
    }
    SetBkMode(dc, oldMode);
    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
    SetTextColor(dc, oldColour);
}

}  // namespace plugin
