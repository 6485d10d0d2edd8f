#include "platform/config/ConfigManager.h"

#include <pugixml.hpp>

#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "platform/registry/Registry.h"

namespace {

// "HKCU\ControlPanel\Home" -> "ControlPanel\Home"; empty for other types.
std::string RegistryKeyOf(const char* type)
{
    for (const char* root : {"HKCU\\", "HKLM\\"}) {
        if (strncmp(type, root, 5) == 0)
            return type + 5;
    }
    return {};
}

bool ReadValue(const std::string& key, const char* name, std::string& value)
{
    HKEY handle = nullptr;
    WideString wideKey = platform::Utf8ToWide(key);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return false;
    WideString wideName = platform::Utf8ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    bool found = false;
    if (RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::u16string text(size / sizeof(WCHAR) + 1, u'\0');
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(WCHAR));
        if (RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) ==
            ERROR_SUCCESS) {
            text.resize(platform::WideLength(text.c_str()));
            value = platform::WideToUtf8(text);
            found = true;
        }
    }
    RegCloseKey(handle);
    return found;
}

bool WriteValue(const std::string& key, const char* name, const char* value)
{
    HKEY handle = nullptr;
    WideString wideKey = platform::Utf8ToWide(key);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    WideString text = platform::Utf8ToWide(value);
    WideString wideName = platform::Utf8ToWide(name);
    bool ok = RegSetValueExW(handle, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR))) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

// Answers the queries and applies the settings below `node`, inside the
// registry key `key` (empty outside one). False when a write failed.
bool Process(pugi::xml_node node, const std::string& key)
{
    bool ok = true;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        std::string name = child.name();
        if (name == "characteristic") {
            std::string inner = RegistryKeyOf(child.attribute("type").value());
            ok = Process(child, inner.empty() ? key : inner) && ok;
        } else if (name == "parm-query" && !key.empty()) {
            child.set_name("parm");
            std::string value;
            if (ReadValue(key, child.attribute("name").value(), value))
                child.append_attribute("value") = value.c_str();
        } else if (name == "parm" && !key.empty() && child.attribute("value")) {
            ok = WriteValue(key, child.attribute("name").value(), child.attribute("value").value()) && ok;
        }
    }
    return ok;
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

}  // namespace

HRESULT DMProcessConfigXML(LPCWSTR xmlIn, DWORD flags, LPWSTR* xmlOut)
{
    if (xmlOut != nullptr)
        *xmlOut = nullptr;
    if (xmlIn == nullptr || xmlOut == nullptr || (flags & CFGFLAG_PROCESS) == 0)
        return E_INVALIDARG;
    std::string utf8 = platform::WideToUtf8(std::u16string_view(xmlIn, platform::WideLength(xmlIn)));
    pugi::xml_document document;
    if (!document.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8))
        return CONFIG_E_BAD_XML;
    pugi::xml_node root = document.child("wap-provisioningdoc");
    if (!root)
        return CONFIG_E_BAD_XML;
    if (!Process(root, {}))
        return E_FAIL;
    StringWriter writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    WideString answer = platform::Utf8ToWide(writer.text);
    *xmlOut = new WCHAR[answer.size() + 1];
    std::memcpy(*xmlOut, answer.c_str(), (answer.size() + 1) * sizeof(WCHAR));
    return S_OK;
}

BOOL SHGetSpecialFolderPath(HWND, LPWSTR path, int folder, BOOL create)
{
    if (path == nullptr)
        return FALSE;
    std::string folderPath;
    if (folder == CSIDL_APPDATA)
        folderPath = platform::DeviceFolder() + "/Application Data";
    else if (folder == CSIDL_PROGRAM_FILES)
        folderPath = platform::DeviceFolder() + "/Program Files";
    else
        return FALSE;
    if (create ? !platform::MakeFolders(folderPath) : access(folderPath.c_str(), F_OK) != 0)
        return FALSE;
    WideString wide = platform::Utf8ToWide(folderPath);
    if (wide.size() >= static_cast<std::size_t>(MAX_PATH))
        return FALSE;
    std::memcpy(path, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    return TRUE;
}
