#include "platform/gdi/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_LEAK_CHECKS 1
#endif
#endif
#if defined(CORVANE_LEAK_CHECKS)
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <cctype>

#include "platform/base/WideString.h"

namespace platform::gdi {
namespace {

constexpr const char* kDefaultFamily = "DejaVu Sans";
constexpr int kDefaultEm = 12;
constexpr int kMaxEm = 512;
constexpr std::size_t kMaxCachedGlyphs = 8192;
constexpr std::size_t kRecentFonts = 16;

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Hollow box for characters the face does not have.
Glyph BoxGlyph(int em, int ascent)
{
    Glyph g;
    g.width = std::max(3, em / 2);
    g.height = std::max(4, ascent * 7 / 10);
    g.left = 1;
    g.top = g.height;
    g.advance = g.width + 2;
    g.coverage.assign(static_cast<std::size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            if (x == 0 || y == 0 || x == g.width - 1 || y == g.height - 1)
                g.coverage[static_cast<std::size_t>(y) * g.width + x] = 255;
        }
    }
    return g;
}

class FreeTypeFont final : public Font {
public:
    FreeTypeFont(const std::string& file, LONG height, LONG weight, bool syntheticBold) : m_syntheticBold(syntheticBold)
    {
        m_file = file;
        m_metrics.weight = weight;
        if (Library() != nullptr && !file.empty() && FT_New_Face(Library(), file.c_str(), 0, &m_face) != 0)
            m_face = nullptr;
        m_em = height < 0 ? -static_cast<std::int64_t>(height) : kDefaultEm;
        if (m_face != nullptr && height > 0) {
            int cell = m_face->ascender - m_face->descender;
            m_em = cell > 0 ? (static_cast<std::int64_t>(height) * m_face->units_per_EM + cell / 2) / cell : height;
        }
        m_em = std::clamp<std::int64_t>(m_em, 1, kMaxEm);
        if (m_face != nullptr && !SetSize(height)) {
            FT_Done_Face(m_face);
            m_face = nullptr;
        }
        SetMetrics(height);
    }

    ~FreeTypeFont() override
    {
        if (m_face != nullptr)
            FT_Done_Face(m_face);
    }

    const Glyph& GlyphFor(char32_t character) override
    {
        auto it = m_glyphs.find(character);
        if (it != m_glyphs.end())
            return it->second;
        if (m_glyphs.size() >= kMaxCachedGlyphs)
            m_glyphs.clear();
        return m_glyphs.emplace(character, Render(character)).first->second;
    }

private:
    static int Ascent(const FT_Size_Metrics& m) { return static_cast<int>((m.ascender + 63) >> 6); }
    static int Descent(const FT_Size_Metrics& m) { return static_cast<int>((-m.descender + 63) >> 6); }

    // A cell height asked for is an upper bound: the largest size whose
    // rounded ascent and descent fit in it.
    bool SetSize(LONG height)
    {
        for (;;) {
            if (FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(m_em)) != 0)
                return false;
            const FT_Size_Metrics& m = m_face->size->metrics;
            if (height <= 0 || m_em == 1 || Ascent(m) + Descent(m) <= height)
                return true;
            --m_em;
        }
    }

    void SetMetrics(LONG height)
    {
        int em = static_cast<int>(m_em);
        if (m_face != nullptr) {
            m_metrics.ascent = Ascent(m_face->size->metrics);
            m_metrics.descent = Descent(m_face->size->metrics);
        } else {
            m_metrics.ascent = em;
            m_metrics.descent = em / 4;
        }
        // A cell height asked for is the height the font reports.
        if (height > 0 && height > m_metrics.ascent)
            m_metrics.descent = height - m_metrics.ascent;
        m_metrics.height = m_metrics.ascent + m_metrics.descent;
        m_metrics.internalLeading = std::max(0, m_metrics.height - em);
        m_metrics.averageWidth = GlyphFor(U'x').advance;
        m_metrics.maxWidth = std::max(GlyphFor(U'W').advance, GlyphFor(U'M').advance);
    }

    Glyph Render(char32_t character)
    {
        if (character < 0x20 || character == 0x7F)
            return Glyph{};
        FT_UInt index = m_face != nullptr ? FT_Get_Char_Index(m_face, character) : 0;
        if (index == 0)
            return BoxGlyph(static_cast<int>(m_em), m_metrics.ascent);
        if (FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0)
            return BoxGlyph(static_cast<int>(m_em), m_metrics.ascent);
        FT_GlyphSlot slot = m_face->glyph;
        if (m_syntheticBold)
            FT_GlyphSlot_Embolden(slot);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            return BoxGlyph(static_cast<int>(m_em), m_metrics.ascent);
        Glyph g;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.buffer == nullptr)
            return g;
        g.width = static_cast<int>(bitmap.width);
        g.height = static_cast<int>(bitmap.rows);
        g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
        int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * pitch;
            std::copy(row, row + g.width, g.coverage.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
        }
        return g;
    }

    FT_Face m_face = nullptr;
    std::int64_t m_em = kDefaultEm;
    bool m_syntheticBold = false;
    std::unordered_map<char32_t, Glyph> m_glyphs;
};

// fontconfig keeps a little of what it reads from its configuration files
// unreferenced for the life of the process; that is not reported as a leak
// of ours in the sanitizer build.
FcConfig* LoadConfig()
{
#if defined(CORVANE_LEAK_CHECKS)
    __lsan_disable();
    FcConfig* config = FcInitLoadConfigAndFonts();
    __lsan_enable();
    return config;
#else
    return FcInitLoadConfigAndFonts();
#endif
}

// Best file for a family; empty when fontconfig has no such family.
std::string MatchFamily(const std::string& family, bool bold, bool* isBold)
{
    static FcConfig* config = LoadConfig();
    if (config == nullptr)
        return {};
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr)
        return {};
    std::string file;
    bool sameFamily = false;
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i)
        sameFamily = sameFamily || Lower(reinterpret_cast<const char*>(value)) == Lower(family);
    if (sameFamily && FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch)
        file = reinterpret_cast<const char*>(value);
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    *isBold = weight >= FC_WEIGHT_DEMIBOLD;
    FcPatternDestroy(match);
    return file;
}

}  // namespace

FontEngine& FontEngine::Instance()
{
    static FontEngine* engine = new FontEngine;
    return *engine;
}

// Returns "<file>" or "<file>\n" (a trailing newline = embolden it).
std::string FontEngine::ResolveFile(const std::string& family, bool bold)
{
    std::string key = Lower(family) + (bold ? "|bold" : "|regular");
    auto it = m_files.find(key);
    if (it != m_files.end())
        return it->second;
    std::string wanted = family.empty() || Lower(family) == "nina" ? kDefaultFamily : family;
    bool isBold = false;
    std::string file = MatchFamily(wanted, bold, &isBold);
    if (file.empty() && wanted != kDefaultFamily)
        file = MatchFamily(kDefaultFamily, bold, &isBold);
    if (!file.empty() && bold && !isBold)
        file += '\n';
    m_files[key] = file;
    return file;
}

std::shared_ptr<Font> FontEngine::Get(const WideString& face, LONG height, LONG weight)
{
    std::lock_guard guard(m_lock);
    bool bold = weight >= 600;
    std::string resolved = ResolveFile(WideToUtf8(face), bold);
    bool synthetic = !resolved.empty() && resolved.back() == '\n';
    std::string file = synthetic ? resolved.substr(0, resolved.size() - 1) : resolved;
    std::string key = file + '|' + std::to_string(height) + '|' + (bold ? "b" : "r");
    if (auto existing = m_fonts[key].lock())
        return existing;
    auto font = std::make_shared<FreeTypeFont>(file, height, bold ? 700 : 400, synthetic);
    m_fonts[key] = font;
    m_recent.push_back(font);
    if (m_recent.size() > kRecentFonts)
        m_recent.erase(m_recent.begin());
    return font;
}

}  // namespace platform::gdi
