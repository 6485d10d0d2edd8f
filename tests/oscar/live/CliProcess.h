// Runs corvane-cli as a second user beside a test's own core: a script in,
// the printed lines out.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace live {

class CliProcess {
public:
    CliProcess(const std::string& folder, const std::string& name, const std::string& script, int timeScale = 20)
    {
        m_output = folder + "/" + name + ".out";
        std::string scriptPath = folder + "/" + name + ".script";
        std::ofstream(scriptPath) << script;
        std::string programFolder = folder + "/" + name;
        std::vector<std::string> args = {CORVANE_CLI_PROGRAM, "--folder", programFolder, "--script", scriptPath};
        std::vector<std::string> env = {"CORVANE_TIME_SCALE=" + std::to_string(timeScale),
                                        "CORVANE_DEVICE=" + folder + "/" + name + "-device"};
        for (char** e = environ; *e != nullptr; ++e) {
            std::string entry = *e;
            if (entry.rfind("CORVANE_", 0) != 0)
                env.push_back(entry);
        }
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CliProcess()
    {
        if (m_pid > 0 && !Finished()) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    // True once the process ended; its exit code is then ExitCode().
    bool Finished()
    {
        if (m_pid <= 0 || m_done)
            return true;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_done = true;
            m_exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return m_done;
    }
    int ExitCode() const { return m_exit; }

    std::string Output() const
    {
        std::ifstream in(m_output);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool Printed(const std::string& piece) const { return Output().find(piece) != std::string::npos; }

private:
    pid_t m_pid = -1;
    bool m_done = false;
    int m_exit = -1;
    std::string m_output;
};

}  // namespace live
