// Paints the row into the home screen's device context and keeps the
// drawing objects (brushes, colours, font) between paints.
#pragma once

#include <functional>
#include <optional>

#include "platform/gdi/Gdi.h"
#include "plugin/PluginSettings.h"
#include "plugin/StateMessage.h"

namespace plugin {

class RowPainter {
public:
    using ColourByName = std::function<std::optional<COLORREF>(const WideString&)>;

    RowPainter() = default;
    ~RowPainter();
    RowPainter(const RowPainter&) = delete;
    RowPainter& operator=(const RowPainter&) = delete;

    void Paint(HDC dc, bool selected, const RECT& rect, const PluginSettings& settings, const ProgramStatus& status,
               const ColourByName& byName);

    // The colours are resolved again on the next paint; the font stays.
    void ForgetColours();
    // Everything is made again on the next paint.
    void Reset();

private:
    void MakeColours(const PluginSettings& settings, const ColourByName& byName);
    void MakeFont(const PluginSettings& settings);
    void DrawText(HDC dc, int& x, const RECT& rect, int y, const WideString& text);
    void DrawGlyph(HDC dc, int x, int y, HBRUSH brush);
    void DrawBlock(HDC dc, int& x, const RECT& rect, int y, const WCHAR* label, const ServiceBlock& block,
                   HBRUSH textBrush);

    bool m_coloursMade = false;
    HBRUSH m_background = nullptr;
    HBRUSH m_selectedBackground = nullptr;
    HBRUSH m_border = nullptr;
    HBRUSH m_textBrush = nullptr;
    HBRUSH m_selectedTextBrush = nullptr;
    COLORREF m_text = 0;
    COLORREF m_selectedText = 0;
    HFONT m_font = nullptr;
};

}  // namespace plugin
