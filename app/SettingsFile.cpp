#include "app/SettingsFile.h"

#include "platform/file/File.h"

namespace settings_file {

bool ReadAll(const std::string& path, std::string& text)
{
    return platform::ReadWholeFile(path, platform::FileShare::None, text, kMaxFileBytes);
}

bool ReplaceFile(const std::string& path, const std::string& text)
{
    return platform::ReplaceFileContents(path, text.data(), text.size());
}

}  // namespace settings_file
