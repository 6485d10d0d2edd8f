// corvane-cli: the program's core (AppCore, account, session) with a console
// in place of the windows. Reads commands from standard input or a file and
// prints every event it receives as one line. See CommandRunner.h for the
// commands.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
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

struct CommandThreadArgs {
    AppCore* core;
    cli::ConsoleListener* listener;
    std::string script;
    std::vector<std::string> commands;
};

// Runs one command line; false when the input should end.
bool RunLine(cli::CommandRunner& runner, const std::string& line)
{
    cli::CommandResult result = runner.Run(line);
    if (result == cli::CommandResult::Failed)
        g_exitCode = 1;
    return result != cli::CommandResult::Quit;
}

void RequestQuit()
{
    if (HWND dispatcher = app::DispatcherHandle())
        PostMessageW(dispatcher, kQuitRequestMessage, 0, 0);
}

DWORD CommandThread(void* parameter)
{
    auto* args = static_cast<CommandThreadArgs*>(parameter);
    std::ifstream file;
    std::istream* input = &std::cin;
    if (!args->script.empty()) {
        file.open(args->script);
        if (!file) {
            std::fprintf(stdout, "error cannot read %s\n", args->script.c_str());
            g_exitCode = 1;
            RequestQuit();
            return 0;
        }
        input = &file;
    }
    cli::CommandRunner runner(*args->core, *args->listener, stdout);
    bool going = true;
    for (const std::string& command : args->commands)
        going = going && RunLine(runner, command);
    std::string line;
    while (going && std::getline(*input, line))
        going = RunLine(runner, line);
    RequestQuit();
    return 0;
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

    static CommandThreadArgs args{core.Get(), &listener, options.script, options.commands};
    HANDLE commands = CreateThread(nullptr, 0, &CommandThread, &args, 0, nullptr);
    if (commands != nullptr)
        CloseHandle(commands);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    app::RemoveListener(&listener);
    DrainLiveSessions();
    std::fflush(stdout);
    // The command thread may still wait for input; the process ends anyway.
    std::_Exit(g_exitCode.load());
}
