#include "skin/SetFiles.h"

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
    for (const WideString& name : EntriesOf(folder, EntryKind::Files)) {
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
    for (const WideString& subfolder : EntriesOf(kindFolder, EntryKind::Folders))
        AddFilesOf(JoinPath(kindFolder, subfolder), subfolder, kind, files);
    return files;
}

}  // namespace skin
