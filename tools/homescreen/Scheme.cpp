#include "tools/homescreen/Scheme.h"

#include <filesystem>
#include <system_error>

#include "platform/base/WideString.h"

namespace homescreen {

namespace {

constexpr std::size_t kMaxTitleLength = 64;

constexpr char16_t kDefaultScheme[] =
    u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    u"<home>\n"
    u"  <title>Home</title>\n"
    u"  <default>\n"
    u"    <format font-face=\"Nina\" font-size=\"14\" padding-left=\"4\" padding-top=\"3\"\n"
    u"            fgcolor=\"COLOR_HOMETEXT\" bgcolor=\"TRANSPARENT\" b-border-color=\"COLOR_HOMERULE\">\n"
    u"      <format state=\"selected\" bgcolor=\"COLOR_HOMEHIGHLIGHT\" fgcolor=\"COLOR_HOMEHIGHLIGHTTEXT\"/>\n"
    u"    </format>\n"
    u"  </default>\n"
    u"  <datetime height=\"24\"/>\n"
    u"  <operator name=\"Sim Mobile\" height=\"22\"/>\n"
    u"</home>\n";

// A decimal height of at most a few digits, within 0..kMaxRowHeight;
// anything else keeps `fallback`.
int HeightOf(const platform::xml::XmlNode& element, int fallback)
{
    std::optional<WideString> text = element.Attribute(u"height");
    if (!text || text->empty() || text->size() > 4)
        return fallback;
    int value = 0;
    for (char16_t c : *text) {
        if (c < u'0' || c > u'9')
            return fallback;
        value = value * 10 + (c - u'0');
    }
    return value > kMaxRowHeight ? kMaxRowHeight : value;
}

std::optional<SchemeRow> RowOf(const platform::xml::XmlNode& element)
{
    WideString name = element.Name();
    SchemeRow row;
    row.node = element;
    if (name == u"datetime") {
        row.kind = RowKind::DateTime;
    } else if (name == u"operator") {
        row.kind = RowKind::Operator;
        row.name = element.Attribute(u"name").value_or(WideString());
    } else if (name == u"plugin") {
        row.kind = RowKind::Plugin;
        row.name = element.Attribute(u"name").value_or(WideString());
        row.clsid = GuidFromString(element.Attribute(u"clsid").value_or(WideString()));
    } else {
        return std::nullopt;
    }
    row.height = HeightOf(element, kDefaultRowHeight);
    return row;
}

// Fills the rows from a loaded document; false when it has no `home` root.
bool Fill(Scheme& scheme)
{
    platform::xml::XmlNode home = scheme.document->DocumentElement();
    if (home.Name() != u"home")
        return false;
    if (platform::xml::XmlNode title = home.ChildElement(u"title")) {
        WideString text = title.Text();
        if (!text.empty())
            scheme.title = text.substr(0, kMaxTitleLength);
    }
    scheme.defaultFormat = home.SelectSingleNode(u"default/format");
    for (platform::xml::XmlNode child = home.FirstChild(); child && scheme.rows.size() < kMaxRows;
         child = child.NextSibling()) {
        if (child.Kind() != platform::xml::NodeKind::Element)
            continue;
        if (std::optional<SchemeRow> row = RowOf(child))
            scheme.rows.push_back(std::move(*row));
    }
    return true;
}

Scheme Fallback(std::string error)
{
    Scheme scheme = DefaultScheme();
    scheme.error = std::move(error);
    return scheme;
}

}  // namespace

std::u16string_view DefaultSchemeText() { return kDefaultScheme; }

Scheme DefaultScheme()
{
    Scheme scheme;
    scheme.document->LoadText(kDefaultScheme);
    Fill(scheme);
    return scheme;
}

Scheme ReadScheme(const WideString& path)
{
    std::string file = platform::WideToUtf8(path);
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error)
        return Fallback("cannot read " + file + ": " + error.message());
    if (size > kMaxSchemeBytes)
        return Fallback(file + " is larger than " + std::to_string(kMaxSchemeBytes) + " bytes");
    Scheme scheme;
    platform::xml::LoadResult loaded = scheme.document->LoadFile(path);
    if (!loaded)
        return Fallback(file + " is not well-formed: " + loaded.Description());
    if (!Fill(scheme))
        return Fallback(file + " has no home element");
    return scheme;
}

}  // namespace homescreen
