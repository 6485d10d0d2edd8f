#include "skin/ResourceFolder.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "platform/base/WideString.h"

namespace skin {
namespace {

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool IsBareFileName(std::u16string_view name)
{
    if (name.empty() || name == u"." || name == u"..")
        return false;
    for (char16_t c : name) {
        if (IsSeparator(c) || c == 0)
            return false;
    }
    return true;
}

}  // namespace

WideString JoinPath(const WideString& folder, const WideString& fileName)
{
    if (folder.empty() || fileName.empty())
        return {};
    if (IsSeparator(folder.back()))
        return folder + fileName;
    return folder + u"/" + fileName;
}

WideString FindSetFolder(const WideString& programFolder, std::u16string_view kind, const WideString& fileName)
{
    if (programFolder.empty() || !IsBareFileName(fileName))
        return {};
    WideString kindFolder = JoinPath(programFolder, WideString(kind));
    for (const WideString& name : EntriesOf(kindFolder, EntryKind::Folders)) {
        WideString folder = JoinPath(kindFolder, name);
        if (FileSizeOf(JoinPath(folder, fileName)) >= 0)
            return folder;
    }
    return {};
}

std::vector<WideString> EntriesOf(const WideString& folder, EntryKind kind)
{
    std::vector<WideString> names;
    std::error_code error;
    std::filesystem::directory_iterator it(platform::WideToUtf8(folder), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        bool wanted = kind == EntryKind::Folders ? it->is_directory(ignored) : it->is_regular_file(ignored);
        if (wanted)
            names.push_back(platform::Utf8ToWide(it->path().filename().string()));
    }
    return names;
}

bool IsNameInsideSet(std::u16string_view name)
{
    if (name.empty() || IsSeparator(name.front()))
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end]))
            ++end;
        std::u16string_view part = name.substr(start, end - start);
        if (part == u".." || part.find(u':') != std::u16string_view::npos ||
            part.find(char16_t{0}) != std::u16string_view::npos)
            return false;
        start = end + 1;
    }
    return true;
}

std::string SetFilePath(const WideString& folder, const WideString& name)
{
    if (folder.empty() || !IsNameInsideSet(name))
        return {};
    WideString relative = name;
    for (char16_t& c : relative) {
        if (c == u'\\')
            c = u'/';
    }
    return platform::WideToUtf8(JoinPath(folder, relative));
}

std::int64_t FileSizeOf(const WideString& path)
{
    struct stat info {};
    if (path.empty() || ::stat(platform::WideToUtf8(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

}  // namespace skin
