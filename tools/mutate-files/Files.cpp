#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "tools/mutate-files/FileKinds.h"

namespace mutate {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void CopyFolder(const std::string& from, const std::string& to)
{
    std::error_code error;
    std::filesystem::create_directories(to, error);
    for (const auto& entry : std::filesystem::directory_iterator(from, error)) {
        if (entry.is_regular_file())
            std::filesystem::copy_file(entry.path(), to + "/" + entry.path().filename().string(),
                                       std::filesystem::copy_options::overwrite_existing, error);
    }
}

Outcome Lost(const std::string& why)
{
    std::cerr << "  lost: " << why << "\n";
    return Outcome::Lost;
}

}  // namespace mutate
