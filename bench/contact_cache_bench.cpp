// The contact-list cache with a large list: 5,000 contacts in 50 groups,
// saved to the cache's bytes and read back (reading fills a sorted store,
// which is most of its cost), the parse alone, and the whole file round trip.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/base/WideString.h"
#include "platform/xml/XmlDocument.h"
#include "store/ContactListCache.h"
#include "store/ContactListXml.h"

namespace {

constexpr int kGroups = 50;
constexpr int kContacts = 5000;

RefPtr<ContactStore> LargeStore()
{
    auto store = MakeRef<ContactStore>();
    store->SetListDateAndCount(1700000000, kGroups + kContacts);
    for (int g = 1; g <= kGroups; ++g)
        store->AddGroup(static_cast<std::uint16_t>(g), u"Group " + platform::Utf8ToWide(std::to_string(g)));
    for (int c = 0; c < kContacts; ++c) {
        auto contact = MakeRef<Contact>(platform::Utf8ToWide(std::to_string(200000 + c)));
        contact->nickname = platform::Utf8ToWide("Contact " + std::to_string(c * 7919 % kContacts));
        contact->itemId = static_cast<std::uint16_t>(100 + c);
        contact->groupId = static_cast<std::uint16_t>(1 + c % kGroups);
        contact->notAuthorised = c % 10 == 0;
        store->AddContact(contact);
        if (c % 100 == 0)
            store->SetCachedText(contact, u"a message that was not confirmed yet");
    }
    return store;
}

void BM_EncodeCache5000(benchmark::State& state)
{
    RefPtr<ContactStore> store = LargeStore();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string file = store::EncodeContactListCache(*store);
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.SetItemsProcessed(state.iterations() * kContacts);
}
BENCHMARK(BM_EncodeCache5000)->Unit(benchmark::kMillisecond);

void BM_DecodeCache5000(benchmark::State& state)
{
    std::string file = store::EncodeContactListCache(*LargeStore());
    for (auto _ : state) {
        auto store = MakeRef<ContactStore>();
        store::DecodeContactListCache(*store, file);
        benchmark::DoNotOptimize(store->ListCount());
    }
    state.SetItemsProcessed(state.iterations() * kContacts);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_DecodeCache5000)->Unit(benchmark::kMillisecond);

// The document service alone: parsing the cache's text, without the store.
void BM_ParseCacheText5000(benchmark::State& state)
{
    WideString text = store::ContactListToXml(*LargeStore());
    for (auto _ : state) {
        platform::xml::XmlDocument document;
        benchmark::DoNotOptimize(static_cast<bool>(document.LoadText(text)));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size() * 2));
}
BENCHMARK(BM_ParseCacheText5000)->Unit(benchmark::kMillisecond);

// Save to and load from a file, as the account does (temporary file,
// rename, exclusive opens).
void BM_SaveAndLoadFile5000(benchmark::State& state)
{
    char pattern[] = "/tmp/corvane-cache-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    WideString folder = platform::Utf8ToWide(std::string(pattern) + "/");
    RefPtr<ContactStore> store = LargeStore();
    for (auto _ : state) {
        store::SaveContactListCache(*store, folder, u"100001");
        auto loaded = MakeRef<ContactStore>();
        store::LoadContactListCache(*loaded, folder, u"100001");
        benchmark::DoNotOptimize(loaded->ListCount());
    }
    state.SetItemsProcessed(state.iterations() * kContacts);
    std::string command = std::string("rm -rf '") + pattern + "'";
    if (std::system(command.c_str()) != 0)
        state.SkipWithError("temporary folder not removed");
}
BENCHMARK(BM_SaveAndLoadFile5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
