// Conversation histories written straight in the stored format, so that a
// benchmark gets a million messages in a second rather than a million
// appends (each of which opens and closes the files, as on the device).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

#include "platform/base/WideString.h"
#include "store/HistoryFormat.h"

namespace benchhistory {

// The files of conversation (ownUin, contact) in the program folder `root`
// with `count` messages, oldest first: message i has the text textOf(i) and
// comes from the contact when i is odd.
inline void Write(const std::string& root, const std::string& ownUin, const std::string& contact,
                  std::int64_t count, const std::function<WideString(std::int64_t)>& textOf)
{
    std::string folder = root + "/" + ownUin;
    mkdir(folder.c_str(), 0755);
    std::string text(store::kByteOrderMark);
    std::string index;
    store::RecordBytes header = store::IndexHeader();
    index.append(reinterpret_cast<const char*>(header.data()), header.size());
    index.reserve(static_cast<std::size_t>(count + 1) * store::kHistoryRecordSize);
    for (std::int64_t i = 0; i < count; ++i) {
        WideString body = textOf(i);
        store::HistoryRecord record;
        record.year = 2024;
        record.month = 1;
        record.day = 1;
        record.party = static_cast<std::uint8_t>(i % 2);
        record.offset = static_cast<std::uint32_t>(text.size());
        record.length = static_cast<std::uint32_t>(body.size() * 2);
        store::AppendUtf16Le(text, body);
        text.append(store::kLineEnd);
        store::RecordBytes bytes = store::EncodeRecord(record);
        index.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::ofstream(folder + "/" + contact + "_msg.txt", std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    std::ofstream(folder + "/" + contact + "_idx.dat", std::ios::binary)
        .write(index.data(), static_cast<std::streamsize>(index.size()));
}

}  // namespace benchhistory
