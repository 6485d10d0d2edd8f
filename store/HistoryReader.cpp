#include "store/HistoryReader.h"

#include <algorithm>

#include "platform/file/File.h"
#include "store/HistoryFormat.h"
#include "store/Utf16Le.h"

namespace store {
namespace {

using platform::File;
using platform::FileAccess;
using platform::FileDisposition;
using platform::FileShare;
using platform::SeekFrom;

constexpr auto kRecordSize = static_cast<std::int64_t>(kHistoryRecordSize);

File OpenShared(const std::string& path, bool& busy)
{
    DWORD error = 0;
    File file = File::Open(path, FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting, &error);
    busy = busy || (!file.IsOpen() && error == ERROR_SHARING_VIOLATION);
    return file;
}

// Reads exactly size bytes at position; false when fewer are there.
bool ReadAt(File& file, std::int64_t position, void* buffer, std::size_t size)
{
    if (file.Seek(position, SeekFrom::Begin) != position)
        return false;
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        std::int64_t n = file.Read(bytes + done, size - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The message of one record, or false for a record that cannot be used.
bool ReadMessage(File& index, File& text, std::int64_t textSize, std::int64_t position, HistoryMessage& message)
{
    RecordBytes bytes{};
    if (!ReadAt(index, position, bytes.data(), bytes.size()))
        return false;
    HistoryRecord record = DecodeRecord(bytes);
    auto offset = static_cast<std::int64_t>(record.offset);
    auto length = static_cast<std::int64_t>(record.length);
    if (offset > textSize || length > textSize - offset)
        return false;
    std::string textBytes(static_cast<std::size_t>(length), '\0');
    if (length > 0 && !ReadAt(text, offset, textBytes.data(), textBytes.size()))
        return false;
    message.time = RecordTime(record);
    message.party = record.party;
    message.text = DecodeUtf16Le(reinterpret_cast<const std::uint8_t*>(textBytes.data()), textBytes.size());
    return true;
}

}  // namespace

HistoryPage ReadHistoryPage(const std::string& textPath, const std::string& indexPath, std::int32_t skip,
                            std::int32_t count)
{
    HistoryPage page;
    if (count < 1)
        return page;
    File text = OpenShared(textPath, page.busy);
    File index = OpenShared(indexPath, page.busy);
    if (!text.IsOpen() || !index.IsOpen())
        return page;
    std::int64_t textSize = text.Size();
    std::int64_t indexSize = index.Size();
    if (textSize < 0 || indexSize < 0)
        return page;
    std::int64_t end = indexSize - indexSize % kRecordSize;
    // The header at offset 0 is never a record.
    std::int64_t position = end - kRecordSize * (static_cast<std::int64_t>(std::max(skip, 0)) + 1);
    std::vector<HistoryMessage>& messages = page.messages;
    messages.reserve(static_cast<std::size_t>(std::min<std::int64_t>(count, std::max<std::int64_t>(end / kRecordSize, 0))));
    for (; position >= kRecordSize && messages.size() < static_cast<std::size_t>(count); position -= kRecordSize) {
        HistoryMessage message;
        if (ReadMessage(index, text, textSize, position, message))
            messages.push_back(std::move(message));
        ++page.recordsPassed;
    }
    return page;
}

}  // namespace store
