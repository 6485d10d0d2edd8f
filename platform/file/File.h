// Files of the simulated device with the sharing modes of the phone's file
// system. A file opened without sharing cannot be opened again until it is
// closed; a file opened with shared read may be opened by other readers that
// share too. The modes are emulated with advisory locks (flock), so they hold
// between threads and processes alike: an open that conflicts fails with
// ERROR_SHARING_VIOLATION, which callers retry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/Types.h"

namespace platform {

enum class FileAccess { Read, Write, ReadWrite };

// What other opens may do while this one is open.
enum class FileShare { None, Read };

enum class FileDisposition {
    OpenExisting,  // fail with ERROR_FILE_NOT_FOUND when missing
    OpenAlways,    // create when missing
    CreateAlways,  // create or truncate
};

enum class SeekFrom { Begin, Current, End };

class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens a file; on failure the result is closed and error (when given)
    // holds ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED
    // or ERROR_INVALID_PARAMETER.
    static File Open(const std::string& path, FileAccess access, FileShare share, FileDisposition disposition,
                     DWORD* error = nullptr);

    bool IsOpen() const { return m_fd >= 0; }

    // Reads up to size bytes; returns the count read (0 at the end), or -1.
    std::int64_t Read(void* buffer, std::size_t size);
    // Writes all bytes; false when not all could be written.
    bool Write(const void* data, std::size_t size);
    // Moves the position; returns the new position or -1.
    std::int64_t Seek(std::int64_t offset, SeekFrom from);
    // The size in bytes, or -1.
    std::int64_t Size() const;
    bool Truncate(std::int64_t size);
    // Makes the written bytes durable.
    bool Flush();
    void Close();

private:
    explicit File(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

// Reads a whole file opened with the given sharing (at most maxBytes).
bool ReadWholeFile(const std::string& path, FileShare share, std::string& bytes, std::size_t maxBytes,
                   DWORD* error = nullptr);

// Writes the bytes to "<path>.tmp", makes them durable and renames the file
// over path, so that a failure never leaves a truncated file. The old file is
// left untouched on failure.
bool ReplaceFileContents(const std::string& path, const void* data, std::size_t size);

// Keeps the bytes of a file that could not be read as "<path>.damaged"
// (replacing an older copy), so that the next save of defaults over path
// does not lose what the user had. False when the copy could not be written.
bool KeepDamagedCopy(const std::string& path, std::string_view bytes);

}  // namespace platform

// Deletes a file (the path in the device's file-name encoding, as UTF-16).
// FALSE when it is missing, is a folder, or cannot be removed.
BOOL DeleteFileW(LPCWSTR path);
