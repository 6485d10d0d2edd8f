// Fonts and text: CreateFontIndirectW, measuring, ExtTextOutW and DrawTextW.
// Text is drawn anti-aliased from the glyph cache; each run drawn is kept
// with its rectangle on the surface (see DrawnText).
#include <algorithm>
#include <utility>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/gdi/GdiState.h"
#include "platform/gdi/TextLayout.h"

namespace platform::gdi {
namespace {

// Longest text one call draws or measures.
constexpr std::size_t kMaxTextUnits = 1u << 20;

std::vector<int> Advances(Font& font, std::u16string_view text)
{
    std::vector<int> advances(text.size(), 0);
    ForEachCodepoint(text,
                     [&](char32_t c, std::size_t index, std::size_t) { advances[index] = font.GlyphFor(c).advance; });
    return advances;
}

int RunWidth(Font& font, std::u16string_view text)
{
    int width = 0;
    ForEachCodepoint(text, [&](char32_t c, std::size_t, std::size_t) { width += font.GlyphFor(c).advance; });
    return width;
}

// Draws a run with its top-left at device (x, y), clipped to the context and
// to `limit` (device). `dx` optionally gives each unit's advance.
void DrawRunLocked(DeviceContext& dc, Font& font, int x, int y, std::u16string_view text, const RECT& limit,
                   const int* dx)
{
    Pixel color = ToPixel(dc.textColor);
    std::int64_t baseline = static_cast<std::int64_t>(y) + font.Metrics().ascent;
    std::int64_t pen = x;
    ForEachCodepoint(text, [&](char32_t c, std::size_t index, std::size_t) {
        const Glyph& g = font.GlyphFor(c);
        if (g.width > 0 && g.height > 0) {
            for (const RECT& clip : dc.clip) {
                RECT r = Intersect(clip, limit);
                if (!IsEmpty(r))
                    dc.surface->BlendMask(Add(0, pen + g.left), Add(0, baseline - g.top), g.coverage.data(), g.width,
                                          g.height, g.width, r, color);
            }
        }
        pen += dx != nullptr ? dx[index] : g.advance;
    });
    RECT box = Sized(x, y, pen - static_cast<std::int64_t>(x), font.Metrics().height);
    bool shown = false;
    for (const RECT& clip : dc.clip)
        shown = shown || !IsEmpty(Intersect(Intersect(clip, limit), box));
    if (shown && !text.empty())
        dc.surface->AddText(DrawnText{WideString(text), box, dc.window});
}

void FillBackLocked(DeviceContext& dc, const RECT& device, const RECT& limit)
{
    for (const RECT& clip : dc.clip)
        dc.surface->Fill(device, Intersect(clip, limit), ToPixel(dc.backColor));
}

constexpr RECT kNoLimit{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};

struct DrawTextJob {
    DeviceContext& dc;
    Font& font;
    RECT rect;  // logical
    UINT format;
};

int DrawLinesLocked(const DrawTextJob& job, const std::vector<TextLine>& lines, int underline)
{
    const FontMetrics& m = job.font.Metrics();
    std::int64_t total = static_cast<std::int64_t>(lines.size()) * m.height;
    std::int64_t top = job.rect.top;
    bool single = (job.format & DT_SINGLELINE) != 0;
    if (single && (job.format & DT_VCENTER) != 0)
        top = job.rect.top + (static_cast<std::int64_t>(job.rect.bottom) - job.rect.top - m.height) / 2;
    else if (single && (job.format & DT_BOTTOM) != 0)
        top = static_cast<std::int64_t>(job.rect.bottom) - m.height;
    RECT limit = (job.format & DT_NOCLIP) != 0 ? kNoLimit : ToDevice(job.dc, job.rect);
    std::int64_t y = top;
    for (const TextLine& line : lines) {
        std::int64_t x = job.rect.left;
        if ((job.format & DT_CENTER) != 0)
            x = job.rect.left + (static_cast<std::int64_t>(job.rect.right) - job.rect.left - line.width) / 2;
        else if ((job.format & DT_RIGHT) != 0)
            x = static_cast<std::int64_t>(job.rect.right) - line.width;
        RECT box = ToDevice(job.dc, Sized(x, y, line.width, m.height));
        if (job.dc.backMode == OPAQUE)
            FillBackLocked(job.dc, box, limit);
        DrawRunLocked(job.dc, job.font, box.left, box.top, line.text, limit, nullptr);
        int u = underline - static_cast<int>(line.start);
        if (underline >= 0 && u >= 0 && u < static_cast<int>(line.text.size())) {
            int from = box.left + RunWidth(job.font, std::u16string_view(line.text).substr(0, u));
            int to = from + job.font.GlyphFor(line.text[u]).advance;
            RECT bar{from, box.top + m.ascent + 1, to, box.top + m.ascent + 2};
            for (const RECT& clip : job.dc.clip)
                job.dc.surface->Fill(bar, Intersect(clip, limit), ToPixel(job.dc.textColor));
        }
        y += m.height;
    }
    NoteWindowDrawn(job.dc);
    std::int64_t height = (single && (job.format & (DT_VCENTER | DT_BOTTOM)) != 0) ? top - job.rect.top + total : total;
    return static_cast<int>(std::clamp<std::int64_t>(height, INT32_MIN, INT32_MAX));
}

// A context and its font, locked for measuring or drawing; `context` is null
// for a handle that is not a live context.
struct TextScope {
    explicit TextScope(HDC dc) : guard(Gdi().lock), context(FindDcLocked(dc))
    {
        if (context != nullptr) {
            font = &DcFontLocked(*context);
            fontLock = FontEngine::Instance().Lock();
        }
    }
    std::lock_guard<std::mutex> guard;
    DeviceContext* context = nullptr;
    Font* font = nullptr;
    std::unique_lock<std::mutex> fontLock;
};

// Sets one setting of a context; returns the previous value, or `failed`.
template <typename T>
T Exchange(HDC dc, T DeviceContext::*field, T value, T failed)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    return context != nullptr ? std::exchange(context->*field, value) : failed;
}

}  // namespace
}  // namespace platform::gdi

using namespace platform::gdi;

HFONT CreateFontIndirectW(const LOGFONTW* font)
{
    if (font == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Object o{Kind::Font};
    o.logFont = *font;
    o.logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    o.font = FontEngine::Instance().Get(WideString(o.logFont.lfFaceName), o.logFont.lfHeight, o.logFont.lfWeight);
    std::lock_guard guard(Gdi().lock);
    return static_cast<HFONT>(AddObjectLocked(o));
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    return Exchange(dc, &DeviceContext::textColor, color & 0xFFFFFF, CLR_INVALID);
}

COLORREF GetTextColor(HDC dc)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    return context != nullptr ? context->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    return Exchange(dc, &DeviceContext::backColor, color & 0xFFFFFF, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode)
{
    if (mode != OPAQUE && mode != TRANSPARENT)
        return 0;
    return Exchange(dc, &DeviceContext::backMode, mode, 0);
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size)
{
    if (size == nullptr || count < 0 || static_cast<std::size_t>(count) > kMaxTextUnits ||
        (text == nullptr && count > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextScope scope(dc);
    if (scope.context == nullptr)
        return FALSE;
    Font& font = *scope.font;
    size->cx = RunWidth(font, std::u16string_view(text != nullptr ? text : u"", static_cast<std::size_t>(count)));
    size->cy = font.Metrics().height;
    return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics)
{
    if (metrics == nullptr)
        return FALSE;
    TextScope scope(dc);
    if (scope.context == nullptr)
        return FALSE;
    const FontMetrics& m = scope.font->Metrics();
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internalLeading;
    metrics->tmAveCharWidth = m.averageWidth;
    metrics->tmMaxCharWidth = m.maxWidth;
    metrics->tmWeight = m.weight;
    metrics->tmDigitizedAspectX = kDevicePixelsPerInch;
    metrics->tmDigitizedAspectY = kDevicePixelsPerInch;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFFFC;
    metrics->tmDefaultChar = 0x25A1;
    metrics->tmBreakChar = 0x20;
    metrics->tmCharSet = DEFAULT_CHARSET;
    return TRUE;
}

// The reference point is the top-left of the text. ETO_OPAQUE fills `rect`
// with the background colour, ETO_CLIPPED clips to it; an opaque background
// mode fills the text's own cell.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const int* dx)
{
    if ((text == nullptr && count > 0) || count > kMaxTextUnits) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextScope scope(dc);
    if (scope.context == nullptr)
        return FALSE;
    DeviceContext* context = scope.context;
    Font& font = *scope.font;
    std::u16string_view run(text != nullptr ? text : u"", count);
    RECT limit = kNoLimit;
    if (rect != nullptr && (options & ETO_OPAQUE) != 0)
        FillBackLocked(*context, ToDevice(*context, *rect), kNoLimit);
    if (rect != nullptr && (options & ETO_CLIPPED) != 0)
        limit = ToDevice(*context, *rect);
    std::int64_t width = 0;
    if (dx != nullptr) {
        for (UINT i = 0; i < count; ++i)
            width += dx[i];
    } else {
        width = RunWidth(font, run);
    }
    RECT box = ToDevice(*context, Sized(x, y, width, font.Metrics().height));
    if (context->backMode == OPAQUE)
        FillBackLocked(*context, box, limit);
    DrawRunLocked(*context, font, box.left, box.top, run, limit, dx);
    NoteWindowDrawn(*context);
    return TRUE;
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format)
{
    if (rect == nullptr || (text == nullptr && count != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t length = count < 0 ? platform::WideLength(text) : static_cast<std::size_t>(count);
    if (length > kMaxTextUnits) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    TextScope scope(dc);
    if (scope.context == nullptr)
        return 0;
    DeviceContext* context = scope.context;
    Font& font = *scope.font;
    std::u16string_view source(text != nullptr ? text : u"", length);
    int underline = -1;
    WideString shown = (format & DT_NOPREFIX) != 0 ? WideString(source) : StripPrefix(source, &underline);
    std::vector<int> advances = Advances(font, shown);
    auto width =
        static_cast<int>(std::clamp<std::int64_t>(static_cast<std::int64_t>(rect->right) - rect->left, 0, INT32_MAX));
    std::vector<TextLine> lines = LayoutLines(shown, advances, width, format, RunWidth(font, u"..."));
    if ((format & DT_CALCRECT) != 0) {
        int widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, line.width);
        std::int64_t height = static_cast<std::int64_t>(lines.size()) * font.Metrics().height;
        rect->right = Add(rect->left, widest);
        rect->bottom = Add(rect->top, height);
        return static_cast<int>(std::min<std::int64_t>(height, INT32_MAX));
    }
    return DrawLinesLocked(DrawTextJob{*context, font, *rect, format}, lines, underline);
}
