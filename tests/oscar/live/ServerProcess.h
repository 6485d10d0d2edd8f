// Runs tools/oscar-server as a child process on free loopback ports, with a
// private accounts file and data folder, for the tests of the session.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace live {

// A port nobody listens on at the moment it is returned.
inline std::uint16_t FreePort()
{
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

class ServerProcess {
public:
    // Writes the accounts file and starts the server; Ready() tells whether
    // it is listening.
    ServerProcess(const std::string& folder, const std::string& accountsXml, bool log = false)
    {
        m_loginPort = FreePort();
        m_bosPort = FreePort();
        std::string accounts = folder + "/accounts.xml";
        std::ofstream(accounts) << accountsXml;
        m_logPath = folder + "/server.log";
        std::vector<std::string> args = {OSCAR_SERVER_PROGRAM,
                                         "--listen",
                                         "127.0.0.1",
                                         "--login-port",
                                         std::to_string(m_loginPort),
                                         "--bos-port",
                                         std::to_string(m_bosPort),
                                         "--accounts",
                                         accounts,
                                         "--data",
                                         folder + "/server-data"};
        if (log)
            args.push_back("--log");
        Spawn(args);
    }
    ~ServerProcess() { Stop(); }

    bool Ready() const { return m_ready; }
    std::uint16_t LoginPort() const { return m_loginPort; }
    std::string LoginHost() const { return "127.0.0.1:" + std::to_string(m_loginPort); }
    const std::string& LogPath() const { return m_logPath; }

    // Freezes and thaws the server (SIGSTOP, SIGCONT): its sockets stay open
    // and the kernel still accepts connections, but nothing is answered.
    void Freeze() { ::kill(m_pid, SIGSTOP); }
    void Thaw() { ::kill(m_pid, SIGCONT); }

    void Stop()
    {
        if (m_pid > 0)
            Thaw();
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 200 && ::waitpid(m_pid, &status, WNOHANG) == 0; ++i)
            ::usleep(10000);
        if (::waitpid(m_pid, &status, WNOHANG) == 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
        }
        m_pid = -1;
        if (m_output >= 0)
            ::close(m_output);
        m_output = -1;
    }

private:
    void Spawn(const std::vector<std::string>& args)
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        int result = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        m_output = pipeFds[0];
        if (result != 0) {
            m_pid = -1;
            return;
        }
        WaitForReadyLine();
    }

    void WaitForReadyLine()
    {
        std::string text;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline && text.find("listening") == std::string::npos) {
            pollfd fd{m_output, POLLIN, 0};
            if (::poll(&fd, 1, 100) != 1)
                continue;
            char chunk[512];
            ssize_t n = ::read(m_output, chunk, sizeof chunk);
            if (n <= 0)
                break;
            text.append(chunk, static_cast<std::size_t>(n));
        }
        m_ready = text.find("listening") != std::string::npos;
    }

    pid_t m_pid = -1;
    int m_output = -1;
    bool m_ready = false;
    std::uint16_t m_loginPort = 0;
    std::uint16_t m_bosPort = 0;
    std::string m_logPath;
};

}  // namespace live
