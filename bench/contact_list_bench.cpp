// The contact-list view under load: a full repaint of 1,000 contacts with
// the rows rebuilt from the store and with the rows already built, one Down
// and one Page Down through 5,000 contacts, and scrolling while presence
// notices keep the store busy. The names mix 200-character names, scripts
// the font lacks and contacts without a nickname.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "bench/AccountCore.h"
#include "oscar/IcqAccount.h"
#include "platform/base/WideString.h"
#include "platform/gdi/Gdi.h"
#include "skin/Look.h"
#include "ui/ContactListView.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 270;

WideString NameFor(int i)
{
    switch (i % 4) {
    case 0:
        return WideString(200, static_cast<char16_t>(u'a' + i % 26));
    case 1:
        return u"\u1200\u1208\u1210 \u0F40\u0F41 " + platform::Utf8ToWide(std::to_string(i));  // Ethiopic, Tibetan
    case 2:
        return WideString();  // shown by UIN
    default:
        return u"Contact " + platform::Utf8ToWide(std::to_string(i));
    }
}

// A core with an account of `count` contacts (every third offline, shown).
class Bench {
public:
    explicit Bench(int count)
    {
        char pattern[] = "/tmp/corvane-listbench-XXXXXX";
        m_folder = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        app::SetAppFolder(platform::Utf8ToWide(m_folder + "/"));
        core = benchcore::MakeAccountCore(u"100001", true);
        store = &IcqAccount::Current(*core)->Store();
        for (int i = 0; i < count; ++i) {
            RefPtr<Contact> contact =
                store->AddContact(MakeRef<Contact>(platform::Utf8ToWide(std::to_string(300000 + i))));
            store->SetNickname(contact, NameFor(i));
            store->SetStatus(contact, i % 3 == 0 ? OnlineStatus::Offline : OnlineStatus::Online);
        }
        dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
        m_old = SelectObject(dc, m_bitmap);
        view = std::make_unique<ContactListView>(*core, nullptr, nullptr);
        Draw();
    }
    ~Bench()
    {
        view.reset();
        SelectObject(dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(dc);
        core->DropAccount();
        // The session's login thread uses the core until it has ended.
        while (app::LiveSessionCount().load() != 0)
            std::this_thread::yield();
        std::string command = "rm -rf '" + m_folder + "'";
        if (m_folder != "/tmp")
            (void)system(command.c_str());
    }
    void Draw() { view->Draw(dc, RECT{0, 0, kWidth, kHeight}); }

    RefPtr<AppCore> core;
    ContactStore* store = nullptr;
    HDC dc = nullptr;
    std::unique_ptr<ContactListView> view;

private:
    std::string m_folder;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

void BM_RepaintRebuilding1000(benchmark::State& state)
{
    Bench bench(1000);
    for (auto _ : state) {
        bench.view->Clear();
        bench.Draw();
    }
}
BENCHMARK(BM_RepaintRebuilding1000)->Unit(benchmark::kMicrosecond);

void BM_RepaintBuilt1000(benchmark::State& state)
{
    Bench bench(1000);
    for (auto _ : state)
        bench.Draw();
}
BENCHMARK(BM_RepaintBuilt1000)->Unit(benchmark::kMicrosecond);

// One key and the paint that applies it, scrolling down through the list.
void Step(benchmark::State& state, NavigationAction action)
{
    Bench bench(5000);
    for (auto _ : state) {
        bench.view->Queue(action);
        bench.Draw();
    }
    benchmark::DoNotOptimize(bench.view->TopIndex());
}
void BM_Down5000(benchmark::State& state) { Step(state, NavigationAction::Next); }
void BM_PageDown5000(benchmark::State& state) { Step(state, NavigationAction::PageDown); }
BENCHMARK(BM_Down5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDown5000)->Unit(benchmark::kMicrosecond);

// Down with a rebuild at every paint while another thread changes presences
// as fast as it can; the selection must stay on the contact it moved to.
void BM_DownDuringPresenceFlood5000(benchmark::State& state)
{
    Bench bench(5000);
    std::atomic<bool> stop{false};
    std::thread flood([&] {
        for (int i = 0; !stop.load(); ++i) {
            RefPtr<Contact> contact = bench.store->FindContact(platform::Utf8ToWide(std::to_string(300000 + i % 5000)));
            bench.store->SetStatus(contact, i % 2 == 0 ? OnlineStatus::Away : OnlineStatus::Online);
        }
    });
    for (auto _ : state) {
        bench.view->Queue(NavigationAction::Next);
        bench.Draw();
        WideString selected = bench.view->SelectedKey();
        bench.view->Clear();
        bench.Draw();
        if (bench.view->SelectedKey() != selected) {
            state.SkipWithError("the selection left its contact");
            break;
        }
    }
    stop = true;
    flood.join();
}
BENCHMARK(BM_DownDuringPresenceFlood5000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
