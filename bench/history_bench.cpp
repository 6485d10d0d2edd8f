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
#include "bench/HistoryFiles.h"
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

// Conversation (1, contact) with `count` messages of 24 characters.
void WriteHistory(const std::string& root, const std::string& contact, std::int64_t count)
{
    benchhistory::Write(root, "1", contact, count, [](std::int64_t i) {
        char body[48];
        std::snprintf(body, sizeof body, "message number %09lld", static_cast<long long>(i));
        return platform::Utf8ToWide(body);
    });
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
