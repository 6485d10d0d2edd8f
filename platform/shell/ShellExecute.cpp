#include "platform/shell/ShellExecute.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"

namespace {

constexpr const char* kDefaultOpener = "xdg-open";

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != prefix[i])
            return false;
    }
    return true;
}

// C0 and C1 controls and DEL: an address with them is not one a person wrote.
bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The opener's file: CORVANE_URL_OPENER or xdg-open, a path as it is, a
// bare name searched on PATH. Empty when there is none.
std::string FindOpener()
{
    const char* configured = std::getenv("CORVANE_URL_OPENER");
    std::string name = configured != nullptr && configured[0] != 0 ? configured : kDefaultOpener;
    if (name.find('/') != std::string::npos)
        return IsExecutableFile(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

// Runs `program address` in a grandchild in its own session, with its
// standard streams on /dev/null and none of this process's other files, and
// reaps the intermediate child at once, so the opener is nobody's zombie.
// Only async-signal-safe calls happen after fork: everything is prepared
// before it.
bool StartDetached(const std::string& program, const std::string& address)
{
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(address.c_str()), nullptr};
    pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::setsid();
        pid_t opener = ::fork();
        if (opener != 0)
            ::_exit(opener > 0 ? 0 : 1);
        int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::close_range(3, ~0U, 0);
        ::execv(program.c_str(), argv);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

namespace platform::shell {

bool IsOpenableAddress(std::u16string_view address)
{
    std::size_t scheme = StartsWithNoCase(address, u"http://")    ? 7
                         : StartsWithNoCase(address, u"https://") ? 8
                                                                  : 0;
    if (scheme == 0 || address.size() == scheme)
        return false;
    for (char16_t c : address) {
        if (IsControl(c))
            return false;
    }
    return true;
}

}  // namespace platform::shell

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info)
{
    if (info == nullptr || info->lpFile == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string_view verb = info->lpVerb != nullptr ? info->lpVerb : u"";
    bool noParameters = info->lpParameters == nullptr || info->lpParameters[0] == 0;
    if ((!verb.empty() && verb != u"open") || !noParameters || !platform::shell::IsOpenableAddress(info->lpFile)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string opener = FindOpener();
    if (opener.empty()) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return FALSE;
    }
    if (!StartDetached(opener, platform::WideToUtf8(info->lpFile))) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return FALSE;
    }
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(33));
    return TRUE;
}
