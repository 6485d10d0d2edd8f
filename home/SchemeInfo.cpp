#include "home/SchemeInfo.h"

#include "platform/base/WideString.h"
#include "platform/config/ConfigManager.h"
#include "platform/file/File.h"
#include "platform/text/CaseMapping.h"

namespace home {

namespace {

using platform::xml::XmlDocument;
using platform::xml::XmlNode;

constexpr const WCHAR* kQueryDocument =
    u"<wap-provisioningdoc><characteristic type=\"Home\"><characteristic type=\"HKCU\\ControlPanel\\Home\">"
    u"<parm-query name=\"Scheme\" /></characteristic></characteristic></wap-provisioningdoc>";
constexpr const WCHAR* kSchemeValuePath =
    u"/wap-provisioningdoc/characteristic[@type=\"Home\"]/characteristic/parm[@name=\"Scheme\"]/@value";
constexpr std::u16string_view kOwnPrefix = u"CORVANE";
// The scheme number stays well inside 32 bits, so that the next one fits.
constexpr std::int32_t kMaxSchemeNumber = 99999999;

// The configuration manager's answer to the scheme query; false when it
// failed or answered nothing.
bool QueryConfiguration(WideString& answer)
{
    LPWSTR out = nullptr;
    HRESULT result = DMProcessConfigXML(kQueryDocument, CFGFLAG_PROCESS, &out);
    if (out != nullptr) {
        answer.assign(out, platform::WideLength(out));
        delete[] out;
    }
    return SUCCEEDED(result) && !answer.empty();
}

// The digits after "Corvane" in an own file name, 0 when none follow.
std::int32_t SchemeNumber(std::u16string_view upperName)
{
    std::int32_t number = 0;
    for (std::size_t i = kOwnPrefix.size(); i < upperName.size(); ++i) {
        WCHAR c = upperName[i];
        if (c < u'0' || c > u'9')
            break;
        number = number * 10 + (c - u'0');
        if (number > kMaxSchemeNumber)
            return kMaxSchemeNumber;
    }
    return number;
}

// A decimal number (an optional minus sign and digits, nothing else).
bool ParseDecimal(std::u16string_view text, std::int32_t& value)
{
    bool negative = !text.empty() && text.front() == u'-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 9)
        return false;
    std::int32_t number = 0;
    for (WCHAR c : text) {
        if (c < u'0' || c > u'9')
            return false;
        number = number * 10 + (c - u'0');
    }
    value = negative ? -number : number;
    return true;
}

bool IsOwnElement(const XmlNode& plugin)
{
    return platform::ToUpper(plugin.Attribute(u"clsid").value_or(u"")) == kPluginClassId;
}

void ReadOwnElement(const XmlNode& plugin, SchemeInfo& info)
{
    if (auto autoHeight = plugin.Attribute(u"autoheight"))
        info.autoHeight = platform::ToUpper(*autoHeight) == u"TRUE";
    if (auto height = plugin.Attribute(u"height"))
        info.height = *height;
    if (auto border = plugin.Attribute(u"show-b-border"))
        ParseDecimal(*border, info.borderMode);
    info.oldScheme = plugin.ChildElement(u"oldschema").Text();
}

void ReadPlugins(const XmlNode& homeElement, SchemeInfo& info)
{
    std::int32_t index = 0;
    XmlNode own;
    for (const XmlNode& child : homeElement.Children()) {
        if (child.Kind() != platform::xml::NodeKind::Element || child.Name() != u"plugin")
            continue;
        if (IsOwnElement(child)) {
            if (!own) {
                own = child;
                info.ownPosition = index;
            }
        } else if (auto name = child.Attribute(u"name")) {
            info.otherPlugins.push_back(*name);
        }
        ++index;
    }
    if (own)
        ReadOwnElement(own, info);
}

bool FitsSchemeSize(const WideString& path)
{
    platform::File file = platform::File::Open(platform::WideToUtf8(path), platform::FileAccess::Read,
                                               platform::FileShare::Read, platform::FileDisposition::OpenExisting);
    std::int64_t size = file.IsOpen() ? file.Size() : -1;
    return size >= 0 && size <= kMaxSchemeBytes;
}

}  // namespace

WideString FileNameOf(const WideString& path)
{
    std::size_t separator = path.find_last_of(u"/\\");
    return separator == WideString::npos ? path : path.substr(separator + 1);
}

WideString SchemePathFromAnswer(std::u16string_view answer, WideString& error)
{
    XmlDocument document;
    if (!document.LoadText(answer)) {
        error = errors::kLoadAnswer;
        return {};
    }
    XmlNode value = document.SelectSingleNode(kSchemeValuePath);
    if (!value) {
        error = errors::kBadAnswer;
        return {};
    }
    WideString path = value.Text();
    if (path.empty())
        error = errors::kEmptyPath;
    return path;
}

bool LoadScheme(const WideString& path, SchemeInfo& info, WideString& error)
{
    info = SchemeInfo{};
    info.path = path;
    info.document = std::make_unique<XmlDocument>();
    if (!FitsSchemeSize(path) || !info.document->LoadFile(path) || !ReadScheme(info)) {
        error = errors::kLoadScheme;
        return false;
    }
    return true;
}

bool ReadScheme(SchemeInfo& info)
{
    XmlNode homeElement = info.document ? info.document->DocumentElement() : XmlNode();
    if (!homeElement || homeElement.Name() != u"home")
        return false;
    WideString upperName = platform::ToUpper(FileNameOf(info.path));
    info.isOwn = upperName.starts_with(kOwnPrefix);
    if (info.isOwn)
        info.number = SchemeNumber(upperName);
    ReadPlugins(homeElement, info);
    return true;
}

SchemeReading ReadCurrentScheme()
{
    SchemeReading reading;
    WideString answer;
    if (!QueryConfiguration(answer)) {
        reading.error = errors::kQuery;
        return reading;
    }
    WideString path = SchemePathFromAnswer(answer, reading.error);
    if (reading.Ok())
        LoadScheme(path, reading.info, reading.error);
    return reading;
}

}  // namespace home
