#include "platform/registry/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <pugixml.hpp>
#include <vector>

#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "platform/file/File.h"
#include "platform/text/CaseMapping.h"

namespace {

// An open key: its root and the names below it.
struct OpenKey {
    std::string root;
    std::vector<std::string> path;
};

std::mutex g_keysMutex;
std::map<std::uintptr_t, OpenKey> g_keys;
std::uintptr_t g_nextKey = 0x1000;

std::optional<OpenKey> Resolve(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return OpenKey{"HKEY_CLASSES_ROOT", {}};
    if (key == HKEY_CURRENT_USER)
        return OpenKey{"HKEY_CURRENT_USER", {}};
    std::lock_guard lock(g_keysMutex);
    auto found = g_keys.find(reinterpret_cast<std::uintptr_t>(key));
    if (found == g_keys.end())
        return std::nullopt;
    return found->second;
}

// The key's path with subKey's parts ("A\B" or "A/B") added; nullopt for an
// empty part.
std::optional<OpenKey> Below(OpenKey key, LPCWSTR subKey)
{
    if (subKey == nullptr)
        return key;
    std::u16string_view rest(subKey, platform::WideLength(subKey));
    while (!rest.empty()) {
        std::size_t cut = rest.find_first_of(u"\\/");
        std::u16string_view part = rest.substr(0, cut);
        if (part.empty())
            return std::nullopt;
        key.path.push_back(platform::WideToUtf8(part));
        rest = cut == std::u16string_view::npos ? std::u16string_view() : rest.substr(cut + 1);
    }
    return key;
}

bool SameName(const char* a, const std::string& b)
{
    return platform::ToUpper(platform::Utf8ToWide(a)) == platform::ToUpper(platform::Utf8ToWide(b));
}

pugi::xml_node Child(pugi::xml_node parent, const char* element, const std::string& name)
{
    for (pugi::xml_node child : parent.children(element)) {
        if (SameName(child.attribute("name").value(), name))
            return child;
    }
    return {};
}

std::string FilePath() { return platform::DeviceFolder() + "/registry.xml"; }

// Larger than any registry the device writes; only used to copy a broken file
// aside.
constexpr std::size_t kMaxRegistryBytes = 64u << 20;

// Holds the device-wide registry lock: exclusive for changes, shared for
// reads.
class FileLock {
public:
    explicit FileLock(bool exclusive)
    {
        platform::MakeFolders(platform::DeviceFolder());
        m_fd = ::open((platform::DeviceFolder() + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, platform::kPrivateFileMode);
        if (m_fd >= 0)
            ::flock(m_fd, exclusive ? LOCK_EX : LOCK_SH);
    }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
};

// The registry document: a missing or broken file reads as an empty one.
pugi::xml_document LoadDocument()
{
    pugi::xml_document document;
    if (!document.load_file(FilePath().c_str()) || !document.child("registry"))
        document.reset();
    if (!document.child("registry"))
        document.append_child("registry");
    return document;
}

bool IsRegistryText(const std::string& bytes)
{
    pugi::xml_document document;
    return document.load_buffer(bytes.data(), bytes.size()) && document.child("registry");
}

// A file that did not read was taken as an empty registry; before it is
// replaced, its bytes are copied aside so that no key of it is lost.
void KeepBrokenFile()
{
    std::string bytes;
    if (platform::ReadWholeFile(FilePath(), platform::FileShare::Read, bytes, kMaxRegistryBytes) && !bytes.empty() &&
        !IsRegistryText(bytes))
        platform::KeepDamagedCopy(FilePath(), bytes);
}

bool SaveDocument(const pugi::xml_document& document)
{
    KeepBrokenFile();
    // Written through the device's file replacement: private to the user, made
    // durable before the rename, and the old file stays whole on failure.
    std::ostringstream text;
    document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    const std::string bytes = text.str();
    return platform::ReplaceFileContents(FilePath(), bytes.data(), bytes.size());
}

// The element of a key, created on the way when `create` is set.
pugi::xml_node KeyNode(pugi::xml_document& document, const OpenKey& key, bool create, bool* created = nullptr)
{
    pugi::xml_node node = document.child("registry");
    std::vector<std::string> names{key.root};
    names.insert(names.end(), key.path.begin(), key.path.end());
    for (const std::string& name : names) {
        pugi::xml_node next = Child(node, "key", name);
        if (!next) {
            if (!create)
                return {};
            next = node.append_child("key");
            next.append_attribute("name").set_value(name.c_str());
            if (created != nullptr)
                *created = true;
        }
        node = next;
    }
    return node;
}

HKEY NewHandle(OpenKey key)
{
    std::lock_guard lock(g_keysMutex);
    std::uintptr_t id = g_nextKey;
    g_nextKey += 16;
    g_keys.emplace(id, std::move(key));
    return reinterpret_cast<HKEY>(id);
}

LONG OpenOrCreate(HKEY key, LPCWSTR subKey, HKEY* result, DWORD* disposition, bool create)
{
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::optional<OpenKey> parent = Resolve(key);
    if (!parent)
        return ERROR_INVALID_HANDLE;
    std::optional<OpenKey> target = Below(*parent, subKey);
    if (!target)
        return ERROR_INVALID_PARAMETER;
    FileLock lock(create);
    pugi::xml_document document = LoadDocument();
    bool created = false;
    if (!KeyNode(document, *target, create, &created))
        return ERROR_FILE_NOT_FOUND;
    if (created && !SaveDocument(document))
        return ERROR_BADDB;
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(std::move(*target));
    return ERROR_SUCCESS;
}

std::string ValueName(LPCWSTR name) { return name == nullptr ? std::string() : platform::WideToUtf8(name); }

std::string Hex(const BYTE* data, DWORD size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

std::vector<BYTE> Unhex(std::string_view text)
{
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::vector<BYTE> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        int high = nibble(text[i]);
        int low = nibble(text[i + 1]);
        if (high < 0 || low < 0)
            break;
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return bytes;
}

// The value's data as the caller sees it.
std::vector<BYTE> ValueBytes(pugi::xml_node value, DWORD type)
{
    if (type == REG_SZ) {
        WideString text = platform::Utf8ToWide(value.text().get());
        text.push_back(0);
        std::vector<BYTE> bytes(text.size() * 2);
        for (std::size_t i = 0; i < text.size(); ++i) {
            bytes[2 * i] = static_cast<BYTE>(text[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<BYTE>(text[i] >> 8);
        }
        return bytes;
    }
    if (type == REG_DWORD) {
        DWORD number = value.text().as_uint();
        return {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), static_cast<BYTE>(number >> 16),
                static_cast<BYTE>(number >> 24)};
    }
    return Unhex(value.text().get());
}

}  // namespace

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void*, HKEY* result, DWORD* disposition)
{
    return OpenOrCreate(key, subKey, result, disposition, true);
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, HKEY* result)
{
    return OpenOrCreate(key, subKey, result, nullptr, false);
}

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    std::lock_guard lock(g_keysMutex);
    return g_keys.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    std::optional<OpenKey> target = Resolve(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    if ((data == nullptr && size > 0) || (type == REG_DWORD && size != 4) || (type == REG_SZ && size % 2 != 0))
        return ERROR_INVALID_PARAMETER;
    std::string text;
    if (type == REG_SZ) {
        WideString wide(size / 2, u'\0');
        for (std::size_t i = 0; i < wide.size(); ++i)
            wide[i] = static_cast<WCHAR>(data[2 * i] | (data[2 * i + 1] << 8));
        wide.resize(std::min(wide.size(), wide.find(u'\0')));
        text = platform::WideToUtf8(wide);
    } else if (type == REG_DWORD) {
        text = std::to_string(static_cast<DWORD>(data[0] | (data[1] << 8) | (data[2] << 16)) |
                              (static_cast<DWORD>(data[3]) << 24));
    } else {
        text = Hex(data, size);
    }
    FileLock lock(true);
    pugi::xml_document document = LoadDocument();
    pugi::xml_node node = KeyNode(document, *target, false);
    if (!node)
        return ERROR_FILE_NOT_FOUND;
    std::string valueName = ValueName(name);
    pugi::xml_node value = Child(node, "value", valueName);
    if (!value) {
        value = node.prepend_child("value");
        value.append_attribute("name").set_value(valueName.c_str());
        value.append_attribute("type");
    }
    value.attribute("type").set_value(type);
    value.text().set(text.c_str());
    return SaveDocument(document) ? ERROR_SUCCESS : ERROR_BADDB;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    std::optional<OpenKey> target = Resolve(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    if (data != nullptr && size == nullptr)
        return ERROR_INVALID_PARAMETER;
    FileLock lock(false);
    pugi::xml_document document = LoadDocument();
    pugi::xml_node value = Child(KeyNode(document, *target, false), "value", ValueName(name));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    DWORD valueType = value.attribute("type").as_uint();
    std::vector<BYTE> bytes = ValueBytes(value, valueType);
    if (type != nullptr)
        *type = valueType;
    if (size == nullptr)
        return ERROR_SUCCESS;
    DWORD room = *size;
    *size = static_cast<DWORD>(bytes.size());
    if (data == nullptr)
        return ERROR_SUCCESS;
    if (room < bytes.size())
        return ERROR_MORE_DATA;
    std::copy(bytes.begin(), bytes.end(), data);
    return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name)
{
    std::optional<OpenKey> target = Resolve(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    FileLock lock(true);
    pugi::xml_document document = LoadDocument();
    pugi::xml_node node = KeyNode(document, *target, false);
    pugi::xml_node value = Child(node, "value", ValueName(name));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    node.remove_child(value);
    return SaveDocument(document) ? ERROR_SUCCESS : ERROR_BADDB;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey)
{
    std::optional<OpenKey> parent = Resolve(key);
    if (!parent)
        return ERROR_INVALID_HANDLE;
    std::optional<OpenKey> target = Below(*parent, subKey);
    if (!target || target->path.empty())
        return ERROR_INVALID_PARAMETER;
    FileLock lock(true);
    pugi::xml_document document = LoadDocument();
    pugi::xml_node node = KeyNode(document, *target, false);
    if (!node)
        return ERROR_FILE_NOT_FOUND;
    if (node.child("key"))
        return ERROR_ACCESS_DENIED;
    node.parent().remove_child(node);
    return SaveDocument(document) ? ERROR_SUCCESS : ERROR_BADDB;
}

namespace platform::registry {

WideString ReadString(HKEY root, const WideString& subKey, const WideString& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    WideString text;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ &&
        size >= 2) {
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS) {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                text.push_back(static_cast<WCHAR>(bytes[i] | (bytes[i + 1] << 8)));
            text.resize(std::min(text.size(), text.find(u'\0')));
        }
    }
    RegCloseKey(key);
    return text;
}

}  // namespace platform::registry
