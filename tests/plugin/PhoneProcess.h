// Helpers of the tests that run a home screen as a process of its own: start
// it, wait for its "ready", and read its screen through the remote control.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <optional>
#include <string>
#include <vector>

#include "home/PluginLink.h"
#include "platform/base/Types.h"
#include "platform/base/WideString.h"
#include "platform/display/RemoteControl.h"

extern char** environ;

namespace phonetest {

// Starts `path` with `arguments`; with `output`, its standard output is the
// read end returned there. -1 when it cannot start.
inline pid_t Spawn(const std::string& path, const std::vector<std::string>& arguments, int* output = nullptr)
{
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeEnds[2] = {-1, -1};
    if (output != nullptr && ::pipe2(pipeEnds, O_CLOEXEC) == 0)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (output != nullptr) {
        ::close(pipeEnds[1]);
        *output = pipeEnds[0];
    }
    return pid;
}

// Makes `device` the device of this process (time running 50 times faster)
// and lays out its program folder with the program and the plug-in
// registered as the program registers it at every start; the folder's path.
inline std::string InstallProgram(const std::string& device)
{
    setenv("CORVANE_DEVICE", device.c_str(), 1);
    setenv("CORVANE_TIME_SCALE", "50", 1);
    std::string folder = device + "/Program Files/Corvane";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(CORVANE_PROGRAM, folder + "/Corvane");
    std::filesystem::copy_file(CORVANE_PLUGIN_LIBRARY, folder + "/CorvanePlugin.so");
    home::RegisterPluginClass(platform::Utf8ToWide(folder + "/"));
    return folder;
}

// Reads `output` until a line "ready" (or its end) and closes it; what came
// before that line, or nothing when it never came.
inline std::optional<std::string> ReadUntilReady(int output)
{
    std::string printed;
    char c = 0;
    while (printed.find("ready\n") == std::string::npos && ::read(output, &c, 1) == 1)
        printed += c;
    ::close(output);
    std::size_t ready = printed.find("ready\n");
    if (ready == std::string::npos)
        return std::nullopt;
    return printed.substr(0, ready);
}

inline std::optional<std::string> Remote(pid_t pid, const std::string& request)
{
    return platform::display::RemoteCall(platform::display::ScreenSocketName(static_cast<unsigned long>(pid)),
                                         request);
}

// One text on the screen: drawn by a window of the process, or by the shell
// (the title strip and the soft-key labels).
struct ScreenText {
    bool shell = false;
    RECT rect{};
    std::string text;
};

// What the screen of process `pid` shows, in drawing order.
inline std::vector<ScreenText> ScreenTexts(pid_t pid)
{
    std::vector<ScreenText> texts;
    std::string reply = Remote(pid, "text").value_or("");
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find('\n', start);
        std::string line = reply.substr(start, end - start);
        start = end == std::string::npos ? reply.size() : end + 1;
        std::size_t quote = line.find('"');
        if (quote == std::string::npos || (line.rfind("0x", 0) != 0 && line.rfind("shell", 0) != 0))
            continue;
        ScreenText text;
        text.shell = line.rfind("shell", 0) == 0;
        long left = 0, top = 0, right = 0, bottom = 0;
        std::sscanf(line.c_str() + line.find(' ') + 1, "%ld,%ld,%ld,%ld", &left, &top, &right, &bottom);
        text.rect = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                         static_cast<LONG>(bottom)};
        text.text = line.substr(quote + 1, line.size() - quote - 2);
        texts.push_back(text);
    }
    return texts;
}

// Kills every process of the device with a screen whose executable is
// `executable` (a program that a plug-in started is not the test's child).
inline void KillScreensOf(const std::filesystem::path& executable)
{
    for (const std::string& name : platform::display::ScreenSockets()) {
        pid_t pid = static_cast<pid_t>(std::stol(name.substr(name.find('-') + 1)));
        std::error_code error;
        if (std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error) == executable)
            ::kill(pid, SIGKILL);
    }
}

}  // namespace phonetest
