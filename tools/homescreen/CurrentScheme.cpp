#include "tools/homescreen/CurrentScheme.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "platform/config/ConfigManager.h"
#include "platform/xml/XmlDocument.h"
#include "tools/homescreen/Scheme.h"

namespace homescreen {

namespace {

constexpr char16_t kQuery[] =
    u"<wap-provisioningdoc><characteristic type=\"Home\"><characteristic type=\"HKCU\\ControlPanel\\Home\">"
    u"<parm-query name=\"Scheme\" /></characteristic></characteristic></wap-provisioningdoc>";
constexpr char16_t kSchemeValue[] =
    u"/wap-provisioningdoc/characteristic[@type=\"Home\"]/characteristic/parm[@name=\"Scheme\"]/@value";

// Text for an attribute value between quotation marks.
WideString Escaped(const WideString& text)
{
    WideString out;
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// Hands a document to the configuration manager; the answer, or nothing.
std::optional<WideString> Process(const WideString& document)
{
    LPWSTR answer = nullptr;
    HRESULT result = DMProcessConfigXML(document.c_str(), CFGFLAG_PROCESS, &answer);
    if (FAILED(result) || answer == nullptr) {
        delete[] answer;
        return std::nullopt;
    }
    WideString text(answer);
    delete[] answer;
    return text;
}

bool WriteWhole(const std::string& path, std::u16string_view text)
{
    std::string bytes = platform::WideToUtf8(text);
    std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

}  // namespace

WideString QueryCurrentScheme()
{
    std::optional<WideString> answer = Process(kQuery);
    if (!answer)
        return {};
    platform::xml::XmlDocument document;
    if (!document.LoadText(*answer))
        return {};
    WideString path = document.SelectSingleNode(kSchemeValue).Text();
    return path.size() > kMaxSchemePathLength ? WideString() : path;
}

bool SetCurrentScheme(const WideString& path)
{
    WideString document =
        u"<wap-provisioningdoc><characteristic type=\"Home\"><characteristic type=\"HKCU\\ControlPanel\\Home\">"
        u"<parm name=\"Scheme\" value=\"" +
        Escaped(path) + u"\"/></characteristic></characteristic></wap-provisioningdoc>";
    return Process(document).has_value();
}

std::string InitDevice()
{
    WCHAR folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPath(nullptr, folder, CSIDL_APPDATA, TRUE))
        return "error: no application-data folder";
    std::string home = platform::WideToUtf8(folder) + "/Home";
    if (!platform::MakeFolders(home))
        return "error: cannot make " + home;
    std::string file = home + "/default.xml";
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !WriteWhole(file, DefaultSchemeText()))
        return "error: cannot write " + file;
    WideString current = QueryCurrentScheme();
    if (!current.empty())
        return "scheme: " + platform::WideToUtf8(current);
    if (!SetCurrentScheme(platform::Utf8ToWide(file)))
        return "error: the configuration manager did not take the scheme";
    return "scheme: " + file;
}

}  // namespace homescreen
