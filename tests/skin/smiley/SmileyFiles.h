// Smiley sets for the tests: a private program folder with a "Smilies"
// folder, set files written into its subfolders, and small bitmaps.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/skin/SkinTestFiles.h"

namespace smileytest {

// A fresh program folder below the test device folder (or /tmp).
inline std::string FreshProgramFolder(const std::string& name)
{
    const char* device = std::getenv("CORVANE_DEVICE");
    std::string folder = std::string(device != nullptr ? device : "/tmp") + "/smiley-" + name + "-" +
                         std::to_string(::getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/Smilies");
    return folder;
}

// Writes `text` as programFolder/Smilies/subfolder/fileName; returns the
// subfolder's path.
inline std::string WriteSet(const std::string& programFolder, const std::string& subfolder,
                            const std::string& fileName, const std::string& text)
{
    std::string folder = programFolder + "/Smilies/" + subfolder;
    std::filesystem::create_directories(folder);
    skintest::WriteFile(folder + "/" + fileName, text);
    return folder;
}

// A square picture of one colour on a magenta key, `side` pixels.
inline void WritePicture(const std::string& path, int width, int height, std::uint32_t rgb)
{
    skintest::WriteBytes(path, skintest::Bitmap24(width, height, [&](int x, int y) {
                             return (x == 0 && y == 0) ? 0xFF00FFu : rgb;
                         }));
}

}  // namespace smileytest
