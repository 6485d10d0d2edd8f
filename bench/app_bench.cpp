// Throughput of the event queue and of the settings file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "app/InterfaceStage.h"
#include "app/Settings.h"
#include "app/main/UIDispatcherWnd.h"
#include "platform/base/WideString.h"
#include "platform/win/Window.h"

namespace {

class CountingHandler : public EventHandler {
public:
    void Handle(const RefPtr<AppEvent>&) override { count.fetch_add(1, std::memory_order_relaxed); }
    std::atomic<std::int64_t> count{0};
};

class CountingListener : public EventListener {
public:
    void OnEvent(const RefPtr<AppEvent>&) override { ++count; }
    std::int64_t count = 0;
};

struct Harness {
    RefPtr<UIDispatcherWnd> dispatcher;
    RefPtr<AppCore> core;
    RefPtr<CountingHandler> handler;
    CountingListener listener;

    Harness()
    {
        dispatcher = MakeRef<UIDispatcherWnd>();
        dispatcher->CreateDispatcher();
        core = MakeRef<AppCore>(nullptr, AppCoreParts{});
        core->Start();
        handler = MakeRef<CountingHandler>();
        core->AddHandler(handler);
        app::AddListener(&listener);
    }
    void Pump()
    {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
};

Harness& TheHarness()
{
    static Harness* harness = new Harness;
    return *harness;
}

constexpr int kBatch = 1000;

void RunBatches(benchmark::State& state, std::int32_t type, bool waitWorker, bool waitInterface)
{
    Harness& h = TheHarness();
    h.Pump();
    for (auto _ : state) {
        std::int64_t handled = h.handler->count.load();
        std::int64_t listened = h.listener.count;
        for (int i = 0; i < kBatch; ++i)
            h.core->Post(MakeRef<AppEvent>(type));
        while ((waitWorker && h.handler->count.load() < handled + kBatch) ||
               (waitInterface && h.listener.count < listened + kBatch))
            h.Pump();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_WorkerStageOnly(benchmark::State& state) { RunBatches(state, EventType::LoginRequested, true, false); }
void BM_InterfaceStageOnly(benchmark::State& state) { RunBatches(state, EventType::ViewRefresh, false, true); }
void BM_BothStages(benchmark::State& state) { RunBatches(state, EventType::DataLinkWaiting, true, true); }

BENCHMARK(BM_WorkerStageOnly)->UseRealTime();
BENCHMARK(BM_InterfaceStageOnly)->UseRealTime();
BENCHMARK(BM_BothStages)->UseRealTime();

// A large settings file: every key plus a long host list and long file names.
void PrepareLargeSettings()
{
    static bool ready = false;
    if (ready)
        return;
    char pattern[] = "/tmp/corvane-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        std::abort();
    app::SetAppFolder(platform::Utf8ToWide(std::string(pattern) + "/"));
    auto s = MakeRef<Settings>();
    s->uin = u"123456789";
    s->password = u"a fairly long password";
    s->loginHosts.clear();
    for (int i = 0; i < 1000; ++i)
        s->loginHosts.push_back({"login" + std::to_string(i) + ".example.net", std::to_string(5190 + i)});
    s->smileSource = std::u16string(2000, u's');
    s->Save();
    ready = true;
}

void BM_SettingsLoadLarge(benchmark::State& state)
{
    PrepareLargeSettings();
    for (auto _ : state) {
        auto s = MakeRef<Settings>();
        s->EnsureLoaded();
        benchmark::DoNotOptimize(s->loginHosts.size());
    }
}

void BM_SettingsSaveLarge(benchmark::State& state)
{
    PrepareLargeSettings();
    auto s = MakeRef<Settings>();
    s->EnsureLoaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(s->Save());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s->Format().size()));
}

BENCHMARK(BM_SettingsLoadLarge);
BENCHMARK(BM_SettingsSaveLarge);

}  // namespace

BENCHMARK_MAIN();
