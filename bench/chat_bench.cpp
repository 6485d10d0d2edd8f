// The chat window on the 240x320 screen: twenty incoming messages with
// smilies laid out and drawn; one page back through a history of 1,000 and
// of 1,000,000 messages (the cost must not grow with the history: compare
// the two); and a typed character from the key to the caret drawn.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <thread>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "bench/AccountCore.h"
#include "bench/HistoryFiles.h"
#include "bench/HeadlessScreenMain.h"
#include "oscar/IcqAccount.h"
#include "oscar/messaging/MessageEvents.h"
#include "platform/base/WideString.h"
#include "platform/win/Controls.h"
#include "skin/Look.h"
#include "ui/ChatWindow.h"
#include "ui/OpenChats.h"
#include "ui/Screens.h"
#include "ui/framework/Resources.h"

namespace {

constexpr int kMessages = 20;
constexpr int kPageLines = 12;  // lines of the messages area at 240x320
constexpr WPARAM kKeyUp = 0x26;

WideString Chatter(std::int64_t i)
{
    static const char* kTexts[] = {"hello :) how are you today?", "fine ;) and you :D",
                                   "look at http://example.org/a/page :P", "so so :( the train was late again :-)",
                                   "see you at eight B-) bring the book"};
    return platform::Utf8ToWide(std::string(kTexts[i % 5]) + " #" + std::to_string(i));
}

// A core with an account (offline), the shipped smilies and the default
// skin, in a program folder of its own; histories for contacts 2 (1,000
// messages) and 3 (1,000,000).
class Bench {
public:
    Bench()
    {
        char pattern[] = "/tmp/corvane-chatbench-XXXXXX";
        m_folder = mkdtemp(pattern) != nullptr ? pattern : "";
        if (m_folder.empty())
            std::abort();
        app::SetAppFolder(platform::Utf8ToWide(m_folder + "/"));
        app::SetInstance(GetModuleHandleW(nullptr));
        resources::RegisterProgramResources(GetModuleHandleW(nullptr));
        std::filesystem::copy(CORVANE_SOURCE_DIR "/assets/Smilies", m_folder + "/Smilies",
                              std::filesystem::copy_options::recursive);
        benchhistory::Write(m_folder, "100001", "2", 1000, Chatter);
        benchhistory::Write(m_folder, "100001", "3", 1000000, Chatter);
        core = benchcore::MakeAccountCore(u"100001");
    }
    ~Bench()
    {
        core->DropAccount();
        while (app::LiveSessionCount().load() != 0)
            std::this_thread::yield();
        std::filesystem::remove_all(m_folder);
    }
    // The open chat with contact `uin`, drawn once.
    ChatWindow* Open(const WideString& uin)
    {
        bool created = false;
        RefPtr<Contact> contact = IcqAccount::Current(*core)->Store().FindOrCreateContact(uin, created);
        screens::OpenChat(*core, contact);
        HWND window = openchats::Find(uin);
        auto* chat = window ? dynamic_cast<ChatWindow*>(WindowBase::FromHandle(window).Get()) : nullptr;
        if (chat == nullptr)
            std::abort();
        UpdateWindow(window);
        return chat;
    }
    void Close(ChatWindow* chat) { DestroyWindow(chat->Window()); }

    RefPtr<AppCore> core;

private:
    std::string m_folder;
};

Bench& TheBench()
{
    static Bench* bench = new Bench;
    return *bench;
}

// Starting again from an empty messages area, as a change of settings does.
void Forget(ChatWindow* chat) { chat->OnEvent(MakeRef<AppEvent>(EventType::SettingsChanged)); }

void BM_TwentyMessagesWithSmilies(benchmark::State& state)
{
    Bench& bench = TheBench();
    ChatWindow* chat = bench.Open(u"4");  // no history: only the new messages
    std::vector<RefPtr<AppEvent>> events;
    for (int i = 0; i < kMessages; ++i) {
        auto message = MakeRef<oscar::IncomingMessage>();
        message->sender = u"4";
        message->time = SYSTEMTIME{2026, 12, 2, 8, 9, 5, 0, 0};
        message->text = Chatter(i);
        events.push_back(MakeRef<oscar::IncomingMessageEvent>(message));
    }
    for (auto _ : state) {
        Forget(chat);
        for (const RefPtr<AppEvent>& event : events)
            chat->OnEvent(event);
        UpdateWindow(chat->Window());
    }
    state.counters["lines"] = static_cast<double>(chat->LineCount());
    state.counters["screens/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    bench.Close(chat);
}
BENCHMARK(BM_TwentyMessagesWithSmilies)->Unit(benchmark::kMicrosecond);

// From the newest screenful, a page of Up keys and the drawing that reads
// the older messages and shows them.
void BM_PageBack(benchmark::State& state)
{
    Bench& bench = TheBench();
    ChatWindow* chat = bench.Open(state.range(0) == 1000 ? u"2" : u"3");
    for (auto _ : state) {
        state.PauseTiming();
        Forget(chat);
        UpdateWindow(chat->Window());
        state.ResumeTiming();
        for (int i = 0; i < kPageLines; ++i)
            SendMessageW(chat->Edit(), WM_KEYDOWN, kKeyUp, 0);
        UpdateWindow(chat->Window());
    }
    if (chat->ScrollOffset() != kPageLines)
        state.SkipWithError("did not page back");
    state.counters["messages"] = static_cast<double>(state.range(0));
    bench.Close(chat);
}
BENCHMARK(BM_PageBack)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A character typed into the box: the box's change notice (typing notice,
// soft key) and the box painted with its caret. The box is emptied every
// 100 characters outside the timing.
void BM_TypingKeyToCaret(benchmark::State& state)
{
    Bench& bench = TheBench();
    ChatWindow* chat = bench.Open(u"5");
    HWND edit = chat->Edit();
    int typed = 0;
    for (auto _ : state) {
        SendMessageW(edit, WM_CHAR, u'a' + typed % 26, 1);
        UpdateWindow(edit);
        if (++typed % 100 == 0) {
            state.PauseTiming();
            SetWindowTextW(edit, u"");
            UpdateWindow(chat->Window());
            state.ResumeTiming();
        }
    }
    state.counters["keys/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    bench.Close(chat);
}
BENCHMARK(BM_TypingKeyToCaret)->Unit(benchmark::kMicrosecond);

}  // namespace
