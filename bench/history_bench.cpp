// Message history: reading the newest page must cost the same for a short
// and a very long conversation; appends per second with the files opened and
// closed for each message as on the device.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/AppGlobals.h"
#include "platform/base/WideString.h"
#include "store/HistoryFormat.h"
#include "store/MessageHistory.h"

namespace {

// A private program folder for the run, removed at the end.
class BenchFolder {
public:
    BenchFolder()
    {
        char pattern[] = "/tmp/corvane-history-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            std::abort();
        m_root = pattern;
        app::SetAppFolder(platform::Utf8ToWide(m_root + "/"));
    }
    ~BenchFolder()
    {
        std::string command = "rm -rf '" + m_root + "'";
        if (std::system(command.c_str()) != 0)
            std::abort();
    }
    const std::string& Root() const { return m_root; }

private:
    std::string m_root;
};

// Writes the files of conversation (1, contact) holding count messages of
// 24 characters directly, in the stored format, so that a million messages
// take a second to lay out rather than a million appends.
void WriteHistory(const std::string& root, const std::string& contact, std::int64_t count)
{
    std::string folder = root + "/1";
    mkdir(folder.c_str(), 0755);
    std::string text(store::kByteOrderMark);
    std::string index;
    store::RecordBytes header = store::IndexHeader();
    index.append(reinterpret_cast<const char*>(header.data()), header.size());
    text.reserve(static_cast<std::size_t>(count) * 52 + 2);
    index.reserve(static_cast<std::size_t>(count + 1) * store::kHistoryRecordSize);
    for (std::int64_t i = 0; i < count; ++i) {
        char body[48];
        std::snprintf(body, sizeof body, "message number %09lld", static_cast<long long>(i));
        store::HistoryRecord record;
        record.year = 2024;
        record.month = 1;
        record.day = 1;
        record.party = static_cast<std::uint8_t>(i % 2);
        record.offset = static_cast<std::uint32_t>(text.size());
        record.length = 48;
        store::AppendUtf16Le(text, platform::Utf8ToWide(body));
        text.append(store::kLineEnd);
        store::RecordBytes bytes = store::EncodeRecord(record);
        index.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::ofstream(folder + "/" + contact + "_msg.txt", std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    std::ofstream(folder + "/" + contact + "_idx.dat", std::ios::binary)
        .write(index.data(), static_cast<std::streamsize>(index.size()));
}

void BM_ReadNewestPage(benchmark::State& state)
{
    BenchFolder folder;
    std::int64_t messages = state.range(0);
    WriteHistory(folder.Root(), "2", messages);
    auto history = MakeRef<MessageHistory>(u"1", u"2");
    for (auto _ : state) {
        std::vector<HistoryMessage> page = history->Read(0, 20);
        if (page.size() != 20)
            state.SkipWithError("short page");
        benchmark::DoNotOptimize(page.data());
    }
    state.SetItemsProcessed(state.iterations() * 20);
    state.counters["messages"] = static_cast<double>(messages);
}
BENCHMARK(BM_ReadNewestPage)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_Append(benchmark::State& state)
{
    BenchFolder folder;
    auto history = MakeRef<MessageHistory>(u"1", u"2");
    SYSTEMTIME time;
    time.wYear = 2024;
    const WideString text = u"a message of ordinary length, some forty characters";
    for (auto _ : state) {
        if (!history->Append(time, u"2", text))
            state.SkipWithError("append failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Append)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
