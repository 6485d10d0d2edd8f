#include "skin/SetFiles.h"

#include <filesystem>
#include <system_error>

#include "platform/base/WideString.h"
#include "platform/text/CaseMapping.h"
#include "skin/ResourceFolder.h"

namespace skin {
namespace {

constexpr std::u16string_view kOverridePrefix = u"OVERRIDE.";

bool EndsWithIgnoringCase(std::u16string_view name, std::u16string_view suffix)
{
    if (name.size() < suffix.size())
        return false;
    return platform::ToUpper(name.substr(name.size() - suffix.size())) == platform::ToUpper(suffix);
}

// The matching files of one set folder, appended in listing order.
void AddFilesOf(const WideString& folder, const WideString& subfolder, const SetKind& kind,
                std::vector<SetFile>& files)
{
    std::error_code error;
    std::filesystem::directory_iterator it(platform::WideToUtf8(folder), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored))
            continue;
        WideString name = platform::Utf8ToWide(it->path().filename().string());
        if (!EndsWithIgnoringCase(name, kind.suffix))
            continue;
        if (kind.folder == kSkinSets.folder && IsOverrideFileName(name))
            continue;
        files.push_back({subfolder, name, JoinPath(folder, name)});
    }
}

}  // namespace

bool IsOverrideFileName(std::u16string_view fileName)
{
    return fileName.size() > kOverridePrefix.size() &&
           platform::ToUpper(fileName.substr(0, kOverridePrefix.size())) == kOverridePrefix;
}

std::vector<SetFile> ListSetFiles(const WideString& programFolder, const SetKind& kind)
{
    std::vector<SetFile> files;
    if (programFolder.empty())
        return files;
    WideString kindFolder = JoinPath(programFolder, WideString(kind.folder));
    std::error_code error;
    std::filesystem::directory_iterator it(platform::WideToUtf8(kindFolder), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        if (!it->is_directory(ignored))
            continue;
        WideString subfolder = platform::Utf8ToWide(it->path().filename().string());
        AddFilesOf(JoinPath(kindFolder, subfolder), subfolder, kind, files);
    }
    return files;
}

}  // namespace skin
