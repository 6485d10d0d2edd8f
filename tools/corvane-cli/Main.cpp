// corvane-cli: the program's core (AppCore, account, session) with a console
// in place of the windows. Reads commands from standard input or a file and
// prints every event it receives as one line. See CommandRunner.h for the
// commands.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/InterfaceStage.h"
#include "app/main/Entry.h"
#include "app/main/Quit.h"
#include "app/main/UIDispatcherWnd.h"
#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "platform/win/Window.h"
#include "tools/corvane-cli/CommandRunner.h"
#include "tools/corvane-cli/ConsoleListener.h"
#include "tools/corvane-cli/LineReader.h"

namespace {

struct Options {
    std::string folder;
    std::string script;
    std::vector<std::string> commands;  // run before the input is read
    bool times = false;
};

std::atomic<int> g_exitCode{0};

void PrintUsage()
{
    std::fprintf(stderr,
                 "usage: corvane-cli [--folder DIR] [--script FILE] [--command CMD]... [--times]\n"
                 "  --folder DIR   program folder holding Corvane.config (default: the device's\n"
                 "                 Program Files/Corvane)\n"
                 "  --script FILE  read commands from FILE instead of standard input\n"
                 "  --command CMD  run CMD first (may be given several times)\n"
                 "  --times        start every event line with the device time: [t=MILLISECONDS]\n"
                 "commands: type \"help\" once it runs\n");
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--folder" || arg == "--script") && i + 1 < argc) {
            (arg == "--folder" ? options.folder : options.script) = argv[++i];
        } else if (arg == "--command" && i + 1 < argc) {
            options.commands.push_back(argv[++i]);
        } else if (arg == "--times") {
            options.times = true;
        } else {
            return false;
        }
    }
    if (options.folder.empty())
        options.folder = platform::DeviceFolder() + "/Program Files/Corvane";
    while (options.folder.size() > 1 && options.folder.back() == '/')
        options.folder.pop_back();
    return true;
}

// A command thread that is in a wait no stop can cut short (a directory
// query) is given this long (device time) to finish after the loop ended.
constexpr DWORD kCommandThreadLimit = 15000;

struct CommandThreadArgs {
    AppCore* core;
    cli::ConsoleListener* listener;
    std::string script;
    std::vector<std::string> commands;
    HANDLE stop;
};

// Runs one command line; false when the input should end. A command cut
// short because the console closes is not a failure.
bool RunLine(cli::CommandRunner& runner, cli::ConsoleListener& listener, const std::string& line)
{
    cli::CommandResult result = runner.Run(line);
    if (result == cli::CommandResult::Failed && !listener.Stopped())
        g_exitCode = 1;
    return result != cli::CommandResult::Quit && !listener.Stopped();
}

void RequestQuit()
{
    if (HWND dispatcher = app::DispatcherHandle())
        PostMessageW(dispatcher, kQuitRequestMessage, 0, 0);
}

DWORD CommandThread(void* parameter)
{
    auto* args = static_cast<CommandThreadArgs*>(parameter);
    int input = STDIN_FILENO;
    if (!args->script.empty()) {
        input = ::open(args->script.c_str(), O_RDONLY | O_CLOEXEC);
        if (input < 0) {
            std::fprintf(stdout, "error cannot read %s\n", args->script.c_str());
            g_exitCode = 1;
            RequestQuit();
            return 0;
        }
    }
    cli::CommandRunner runner(*args->core, *args->listener, stdout);
    bool going = true;
    for (const std::string& command : args->commands)
        going = going && RunLine(runner, *args->listener, command);
    cli::LineReader reader(input, args->stop);
    std::string line;
    while (going && reader.Next(line))
        going = RunLine(runner, *args->listener, line);
    if (input != STDIN_FILENO)
        ::close(input);
    RequestQuit();
    return 0;
}

// Ends the command thread: cuts its input and its waits short and waits for
// it. False when it did not end in time.
bool StopCommandThread(HANDLE thread, HANDLE stop, cli::ConsoleListener& listener)
{
    SetEvent(stop);
    listener.Stop();
    return thread == nullptr || WaitForSingleObject(thread, kCommandThreadLimit) == WAIT_OBJECT_0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        PrintUsage();
        return 2;
    }
    StartSignalWatcher();
    app::SetInstance(GetModuleHandleW(nullptr));
    platform::MakeFolders(options.folder);
    app::SetAppFolder(platform::Utf8ToWide(options.folder + "/"));

    RefPtr<UIDispatcherWnd> dispatcher = MakeRef<UIDispatcherWnd>();
    dispatcher->CreateDispatcher();
    RefPtr<AppCore> core = MakeRef<AppCore>(nullptr, BuildAppCoreParts());
    app::SetCore(core.Get());
    cli::ConsoleListener listener(*core, stdout, options.times);
    app::AddListener(&listener);
    core->Start();

    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CommandThreadArgs args{core.Get(), &listener, options.script, options.commands, stop};
    HANDLE commands = CreateThread(nullptr, 0, &CommandThread, &args, 0, nullptr);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    app::RemoveListener(&listener);
    DrainLiveSessions();
    bool ended = StopCommandThread(commands, stop, listener);
    std::fflush(stdout);
    if (!ended)
        std::_Exit(g_exitCode.load());  // the thread still uses what main owns
    CloseHandle(commands);
    CloseHandle(stop);
    dispatcher->Destroy();
    app::SetCore(nullptr);
    return g_exitCode.load();
}
