#include "app/SettingsFile.h"

#include "platform/file/File.h"

namespace app {

bool ReadSettingsFile(const std::string& path, std::string& text)
{
    return platform::ReadWholeFile(path, platform::FileShare::None, text, kMaxSettingsFileBytes);
}

bool ReplaceSettingsFile(const std::string& path, const std::string& text)
{
    return platform::ReplaceFileContents(path, text.data(), text.size());
}

}  // namespace app
