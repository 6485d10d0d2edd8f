#include "platform/base/Device.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"

namespace platform {

std::string DeviceFolder()
{
    const char* configured = std::getenv("CORVANE_DEVICE");
    if (configured != nullptr && *configured != '\0') {
        std::string folder = configured;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    const char* home = std::getenv("HOME");
    std::string base = (home != nullptr && *home != '\0') ? home : "/tmp";
    return base + "/.corvane-device";
}

bool MakeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void RestrictToOwner(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 077) != 0)
        (void)::fchmod(fd, info.st_mode & 0700);
}

std::string RunFolder()
{
    std::string folder = DeviceFolder() + "/run";
    return MakeFolders(folder) ? folder : std::string();
}

}  // namespace platform

namespace {

std::mutex g_modulesMutex;
std::map<HMODULE, std::string> g_modulePaths;

}  // namespace

namespace platform {

void SetModulePath(HMODULE module, const std::string& path)
{
    std::lock_guard lock(g_modulesMutex);
    if (path.empty())
        g_modulePaths.erase(module);
    else
        g_modulePaths[module] = path;
}

}  // namespace platform

DWORD GetModuleFileNameW(HMODULE module, WCHAR* buffer, DWORD size)
{
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    char path[4096];
    ssize_t n = -1;
    {
        std::lock_guard lock(g_modulesMutex);
        if (auto found = g_modulePaths.find(module); module != nullptr && found != g_modulePaths.end()) {
            n = static_cast<ssize_t>(std::min(found->second.size(), sizeof path - 1));
            found->second.copy(path, static_cast<std::size_t>(n));
        }
    }
    if (n < 0)
        n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        buffer[0] = 0;
        return 0;
    }
    WideString wide = platform::Utf8ToWide(std::string_view(path, static_cast<std::size_t>(n)));
    if (wide.size() >= size) {
        wide.resize(size - 1);
        wide.copy(buffer, wide.size());
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    wide.copy(buffer, wide.size());
    buffer[wide.size()] = 0;
    return static_cast<DWORD>(wide.size());
}
