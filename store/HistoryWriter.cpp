#include "store/HistoryWriter.h"

#include <limits>

#include "store/HistoryFiles.h"
#include "store/Utf16Le.h"

namespace store {

using platform::File;
using platform::FileDisposition;
using platform::SeekFrom;

bool WritePartiesFile(const std::string& path, const std::string& folder, const std::vector<WideString>& parties)
{
    File file = OpenForAppend(path, FileDisposition::CreateAlways, folder, MissingFolder::Create);
    if (!file.IsOpen())
        return false;
    std::string bytes(kByteOrderMark);
    for (std::size_t i = 1; i < parties.size(); ++i) {
        AppendUtf16Le(bytes, parties[i]);
        bytes.append(kLineEnd);
    }
    return file.Write(bytes.data(), bytes.size());
}

std::optional<std::uint32_t> AppendText(const std::string& path, const std::string& folder, const WideString& text)
{
    File file = OpenForAppend(path, FileDisposition::OpenAlways, folder, MissingFolder::Create);
    if (!file.IsOpen())
        return std::nullopt;
    std::int64_t end = file.Seek(0, SeekFrom::End);
    if (end < 0)
        return std::nullopt;
    std::string bytes;
    if (end == 0)
        bytes.append(kByteOrderMark);
    auto offset = static_cast<std::uint64_t>(end) + bytes.size();
    std::uint64_t length = 2 * static_cast<std::uint64_t>(text.size());
    // The record holds offset and length in 32 bits; a text that could not
    // be found again is not written at all.
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();
    if (length > kLimit || offset > kLimit - length)
        return std::nullopt;
    AppendUtf16Le(bytes, text);
    bytes.append(kLineEnd);
    if (!file.Write(bytes.data(), bytes.size()))
        return std::nullopt;
    return static_cast<std::uint32_t>(offset);
}

bool AppendRecord(const std::string& path, const std::string& folder, const HistoryRecord& record)
{
    File file = OpenForAppend(path, FileDisposition::OpenAlways, folder, MissingFolder::Fail);
    if (!file.IsOpen())
        return false;
    std::int64_t size = file.Size();
    if (size < 0)
        return false;
    // Cut a record left half-written by an earlier failure. A file shorter
    // than one record has lost its header too and is started afresh.
    std::int64_t whole = size - size % static_cast<std::int64_t>(kHistoryRecordSize);
    if (whole != size && !file.Truncate(whole))
        return false;
    std::string bytes;
    if (whole == 0) {
        RecordBytes header = IndexHeader();
        bytes.append(reinterpret_cast<const char*>(header.data()), header.size());
    }
    RecordBytes encoded = EncodeRecord(record);
    bytes.append(reinterpret_cast<const char*>(encoded.data()), encoded.size());
    if (file.Seek(whole, SeekFrom::Begin) != whole)
        return false;
    return file.Write(bytes.data(), bytes.size());
}

}  // namespace store
