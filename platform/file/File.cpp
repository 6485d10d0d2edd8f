#include "platform/file/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/base/Device.h"
#include "platform/base/WideString.h"

namespace platform {
namespace {

void SetError(DWORD* error, DWORD value)
{
    if (error != nullptr)
        *error = value;
}

DWORD ErrorFromErrno(int number)
{
    switch (number) {
    case ENOENT:
    case ENOTDIR:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

File File::Open(const std::string& path, FileAccess access, FileShare share, FileDisposition disposition,
                DWORD* error)
{
    int flags = O_CLOEXEC;
    flags |= access == FileAccess::Read ? O_RDONLY : access == FileAccess::Write ? O_WRONLY : O_RDWR;
    if (disposition != FileDisposition::OpenExisting)
        flags |= O_CREAT;
    if (path.empty()) {
        SetError(error, ERROR_INVALID_PARAMETER);
        return File();
    }
    // The files of the device hold the user's account (settings, caches,
    // histories): only the user may read them.
    int fd = ::open(path.c_str(), flags, kPrivateFileMode);
    if (fd < 0) {
        SetError(error, ErrorFromErrno(errno));
        return File();
    }
    int lock = share == FileShare::None ? LOCK_EX : LOCK_SH;
    if (::flock(fd, lock | LOCK_NB) != 0) {
        ::close(fd);
        SetError(error, ERROR_SHARING_VIOLATION);
        return File();
    }
    // Truncate only once the lock is ours, so a refused open changes nothing.
    if (disposition == FileDisposition::CreateAlways && ::ftruncate(fd, 0) != 0) {
        SetError(error, ErrorFromErrno(errno));
        ::close(fd);
        return File();
    }
    if (access != FileAccess::Read)
        RestrictToOwner(fd);
    SetError(error, ERROR_SUCCESS);
    return File(fd);
}

std::int64_t File::Read(void* buffer, std::size_t size)
{
    if (m_fd < 0)
        return -1;
    for (;;) {
        ssize_t n = ::read(m_fd, buffer, size);
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}

bool File::Write(const void* data, std::size_t size)
{
    if (m_fd < 0)
        return false;
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(m_fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t File::Seek(std::int64_t offset, SeekFrom from)
{
    if (m_fd < 0)
        return -1;
    int whence = from == SeekFrom::Begin ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
    return ::lseek(m_fd, offset, whence);
}

std::int64_t File::Size() const
{
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return -1;
    return info.st_size;
}

bool File::Truncate(std::int64_t size) { return m_fd >= 0 && ::ftruncate(m_fd, size) == 0; }

bool File::Flush() { return m_fd >= 0 && ::fsync(m_fd) == 0; }

void File::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);  // closing releases the lock
    m_fd = -1;
}

bool ReadWholeFile(const std::string& path, FileShare share, std::string& bytes, std::size_t maxBytes, DWORD* error)
{
    bytes.clear();
    File file = File::Open(path, FileAccess::Read, share, FileDisposition::OpenExisting, error);
    if (!file.IsOpen())
        return false;
    char chunk[8192];
    while (bytes.size() < maxBytes) {
        std::int64_t n = file.Read(chunk, sizeof chunk);
        if (n <= 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(std::min<std::int64_t>(n, static_cast<std::int64_t>(maxBytes - bytes.size()))));
    }
    return true;
}

bool ReplaceFileContents(const std::string& path, const void* data, std::size_t size)
{
    std::string temporary = path + ".tmp";
    File file = File::Open(temporary, FileAccess::Write, FileShare::None, FileDisposition::CreateAlways);
    if (!file.IsOpen())
        return false;
    bool written = file.Write(data, size) && file.Flush();
    file.Close();
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool KeepDamagedCopy(const std::string& path, std::string_view bytes)
{
    return ReplaceFileContents(path + ".damaged", bytes.data(), bytes.size());
}

}  // namespace platform

BOOL DeleteFileW(LPCWSTR path)
{
    if (path == nullptr)
        return FALSE;
    std::string utf8 = platform::WideToUtf8(std::u16string_view(path, platform::WideLength(path)));
    struct stat info {};
    if (::lstat(utf8.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return FALSE;
    return ::unlink(utf8.c_str()) == 0 ? TRUE : FALSE;
}
