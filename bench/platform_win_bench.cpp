// Throughput of the window manager: posted messages dispatched on one thread,
// sends across two threads, and WM_COPYDATA round trips across two processes.
//
// The second process is this program itself started with "--peer": it owns a
// window that answers WM_COPYDATA with the payload size.
#include <benchmark/benchmark.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/sync/Sync.h"
#include "platform/win/Window.h"

extern char** environ;

namespace {

LRESULT BenchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA)
        return static_cast<LRESULT>(reinterpret_cast<const COPYDATASTRUCT*>(lParam)->cbData);
    if (message == WM_USER)
        return static_cast<LRESULT>(wParam) + 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterBenchClass()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = BenchProcedure;
    windowClass.lpszClassName = u"BenchWindow";
    RegisterClassW(&windowClass);
    done = true;
}

HWND MakeWindow(const WCHAR* title)
{
    RegisterBenchClass();
    return CreateWindowExW(0, u"BenchWindow", title, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

void PostAndDispatchOneThread(benchmark::State& state)
{
    HWND window = MakeWindow(u"local");
    const int batch = 256;
    MSG message;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i)
            PostMessageW(window, WM_USER, static_cast<WPARAM>(i), 0);
        for (int i = 0; i < batch; ++i) {
            GetMessageW(&message, nullptr, 0, 0);
            DispatchMessageW(&message);
        }
    }
    state.SetItemsProcessed(state.iterations() * batch);
    DestroyWindow(window);
}
BENCHMARK(PostAndDispatchOneThread);

// A second thread pumps a window; the benchmark thread posts to it (Post) or
// sends to it and waits for each answer (Send).
void AcrossTwoThreads(benchmark::State& state)
{
    bool send = state.range(0) != 0;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window = nullptr;
    DWORD threadId = 0;
    std::thread pump([&] {
        window = MakeWindow(u"pump");
        threadId = GetCurrentThreadId();
        SetEvent(ready);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        DestroyWindow(window);
    });
    WaitForSingleObject(ready, INFINITE);
    const int batch = 256;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) {
            if (send)
                benchmark::DoNotOptimize(SendMessageW(window, WM_USER, static_cast<WPARAM>(i), 0));
            else
                PostMessageW(window, WM_USER, static_cast<WPARAM>(i), 0);
        }
        if (!send)  // wait until the batch is dispatched
            SendMessageW(window, WM_NULL, 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * batch);
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    pump.join();
    CloseHandle(ready);
}
BENCHMARK(AcrossTwoThreads)->Arg(0)->Arg(1)->UseRealTime();

void CopyDataAcrossProcesses(benchmark::State& state)
{
    std::string self = "/proc/self/exe";
    char peerFlag[] = "--peer";
    char* argv[] = {self.data(), peerFlag, nullptr};
    int out[2];
    if (::pipe(out) != 0) {
        state.SkipWithError("pipe");
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pid_t pid = -1;
    posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char line[64] = {};
    pollfd entry{out[0], POLLIN, 0};
    if (::poll(&entry, 1, 10000) > 0)
        benchmark::DoNotOptimize(::read(out[0], line, sizeof line - 1));
    ::close(out[0]);
    HWND peer = FindWindowW(u"BenchWindow", u"peer");
    if (peer == nullptr) {
        state.SkipWithError("peer window not found");
    } else {
        std::vector<BYTE> payload(static_cast<std::size_t>(state.range(0)), 0xA5);
        COPYDATASTRUCT data{1, static_cast<DWORD>(payload.size()), payload.data()};
        for (auto _ : state) {
            LRESULT size = SendMessageW(peer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
            if (size != state.range(0))
                state.SkipWithError("wrong answer");
        }
        state.SetItemsProcessed(state.iterations());
        state.SetBytesProcessed(state.iterations() * state.range(0));
        PostMessageW(peer, WM_CLOSE, 0, 0);
    }
    ::waitpid(pid, nullptr, 0);
}
BENCHMARK(CopyDataAcrossProcesses)->Arg(16)->Arg(4096)->Arg(65536)->UseRealTime();

LRESULT PeerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return BenchProcedure(window, message, wParam, lParam);
}

int RunPeer()
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = PeerProcedure;
    windowClass.lpszClassName = u"BenchWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, u"BenchWindow", u"peer", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    MSG message;
    while (window != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--peer") == 0)
        return RunPeer();
    // A private device folder unless one is given; removed afterwards.
    std::string privateFolder;
    if (std::getenv("CORVANE_DEVICE") == nullptr) {
        char folder[] = "/tmp/corvane-bench-XXXXXX";
        if (::mkdtemp(folder) != nullptr) {
            privateFolder = folder;
            ::setenv("CORVANE_DEVICE", folder, 1);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!privateFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(privateFolder, ignored);
    }
    return 0;
}
