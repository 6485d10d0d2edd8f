// The contact model under load: applying a large server-stored list, and
// presence notices through the worker stage into a sorted store.
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/AppCore.h"
#include "oscar/ContactStore.h"
#include "oscar/FrameEvents.h"
#include "oscar/OnlineHandler.h"
#include "oscar/ServerListItem.h"

namespace {

std::vector<oscar::ServerListItem> LargeList(int groups, int contacts)
{
    std::vector<oscar::ServerListItem> items;
    for (int g = 1; g <= groups; ++g)
        items.push_back({"Group " + std::to_string(g), static_cast<std::uint16_t>(g), 0, oscar::ItemType::Group, {}});
    for (int c = 0; c < contacts; ++c) {
        std::string nick = "Contact " + std::to_string(c * 7919 % contacts);
        std::vector<std::uint8_t> data = {0x01, 0x31, 0, static_cast<std::uint8_t>(nick.size())};
        data.insert(data.end(), nick.begin(), nick.end());
        items.push_back({std::to_string(200000 + c), static_cast<std::uint16_t>(1 + c % groups),
                         static_cast<std::uint16_t>(100 + c), oscar::ItemType::Contact, data});
    }
    return items;
}

void BM_ApplyServerList5000(benchmark::State& state)
{
    std::vector<oscar::ServerListItem> items = LargeList(50, 4950);
    for (auto _ : state) {
        auto store = MakeRef<ContactStore>();
        store->ApplyServerList(items, 1234);
        benchmark::DoNotOptimize(store->ListCount());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
}
BENCHMARK(BM_ApplyServerList5000)->Unit(benchmark::kMillisecond);

class Counter : public EventHandler {
public:
    void Handle(const RefPtr<AppEvent>& event) override
    {
        if (event->Type() == EventType::BosFrameReceived)
            count.fetch_add(1, std::memory_order_relaxed);
    }
    std::atomic<std::int64_t> count{0};
};

RefPtr<oscar::FlapFrame> PresenceFrame(int contact, std::uint16_t status)
{
    std::string uin = std::to_string(200000 + contact);
    auto data = MakeRef<oscar::ByteBuffer>();
    data->AppendU8(static_cast<std::uint8_t>(uin.size()));
    data->Append(uin.data(), static_cast<std::int32_t>(uin.size()));
    data->AppendU16(0);
    data->AppendU16(1);
    data->AppendU16(0x0006);
    data->AppendU16(4);
    data->AppendU16(0);
    data->AppendU16(status);
    auto snac = MakeRef<oscar::SnacCommand>(oscar::CommandNumber::ContactOnline);
    snac->SetData(data);
    return oscar::FlapFrame::ForSnac(snac);
}

// Presence notices posted as received frames (event 26) and handled on the
// worker thread by the online handler, against a sorted store of 2,000
// contacts. Items per second = notices per second.
void BM_PresenceThroughWorker(benchmark::State& state)
{
    auto core = MakeRef<AppCore>(nullptr, AppCoreParts{});
    auto store = MakeRef<ContactStore>();
    store->ApplyServerList(LargeList(20, 2000), 1);
    core->AddHandler(MakeRef<oscar::OnlineHandler>(*core, store, nullptr));
    auto counter = MakeRef<Counter>();
    core->AddHandler(counter);
    core->Start();
    constexpr int kBatch = 10000;
    std::vector<RefPtr<oscar::FlapFrame>> frames;
    for (int i = 0; i < kBatch; ++i)
        frames.push_back(PresenceFrame(i % 2000, static_cast<std::uint16_t>(i % 3 == 0 ? 1 : 0)));
    for (auto _ : state) {
        std::int64_t target = counter->count.load() + kBatch;
        for (const auto& frame : frames)
            core->Post(MakeRef<oscar::FrameEvent>(EventType::BosFrameReceived, frame));
        while (counter->count.load() < target)
            std::this_thread::yield();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
    core->StopWorker();
}
BENCHMARK(BM_PresenceThroughWorker)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
