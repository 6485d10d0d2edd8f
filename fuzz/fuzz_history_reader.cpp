// Arbitrary bytes as a conversation's text, index and parties files; then a
// page is read, a message appended and read back. The appended message must
// come back whole whatever the files held before.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/AppGlobals.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "store/MessageHistory.h"

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/corvane-fuzz-history-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            std::abort();
        std::string root = pattern;
        app::SetAppFolder(platform::Utf8ToWide(root + "/"));
        platform::SetTimeScale(1e6);
        std::string conversation = root + "/1";
        if (mkdir(conversation.c_str(), 0755) != 0)
            std::abort();
        return conversation;
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const std::string& folder = Folder();
    // Byte 0: skip, byte 1: count (signed, so negative values are tried),
    // bytes 2-3: where the index ends and the text begins.
    auto skip = static_cast<std::int32_t>(static_cast<std::int8_t>(data[0]));
    auto count = static_cast<std::int32_t>(static_cast<std::int8_t>(data[1]));
    std::size_t split = (static_cast<std::size_t>(data[2]) | (static_cast<std::size_t>(data[3]) << 8)) % (size - 3);
    const std::uint8_t* rest = data + 4;
    std::size_t restSize = size - 4;
    split = split > restSize ? restSize : split;
    // An odd skip byte makes it a conversation of three, named "x", whose
    // parties file is rewritten by the append.
    bool threeParties = (data[0] & 1) != 0;
    std::string base = folder + (threeParties ? "/x" : "/2");
    WriteFile(base + "_idx.dat", rest, split);
    WriteFile(base + "_msg.txt", rest + split, restSize - split);
    WriteFile(base + "_parties.txt", rest, restSize / 2);

    auto history = MakeRef<MessageHistory>(u"1", u"2");
    if (threeParties) {
        history->AddParty(u"3");
        history->SetConversationName(u"x");
    }
    std::vector<HistoryMessage> page = history->Read(skip, count);
    if (count < 1 && !page.empty())
        std::abort();
    if (count > 0 && page.size() > static_cast<std::size_t>(count))
        std::abort();

    SYSTEMTIME time;
    time.wYear = 2024;
    const WideString text = u"fuzz \u00e9\U0001F600";
    if (!history->Append(time, u"2", text))
        std::abort();
    std::vector<HistoryMessage> newest = history->Read(0, 1);
    if (newest.size() != 1 || newest[0].text != text || newest[0].party != 1)
        std::abort();
    return 0;
}
