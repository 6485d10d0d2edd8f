// The program as a process: single instance, start and clean end on signals.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "platform/base/Clock.h"
#include "platform/win/Window.h"
#include "tests/common/TestSupport.h"
#include "ui/MainWindow.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        setenv("CORVANE_DEVICE", m_device.c_str(), 1);
        setenv("CORVANE_TIME_SCALE", "50", 1);
    }
    void TearDown() override
    {
        for (pid_t pid : m_started) {
            if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    }

    pid_t Start()
    {
        pid_t pid = 0;
        char* argv[] = {const_cast<char*>(CORVANE_PROGRAM), nullptr};
        EXPECT_EQ(posix_spawn(&pid, CORVANE_PROGRAM, nullptr, nullptr, argv, environ), 0);
        m_started.push_back(pid);
        return pid;
    }

    // Exit code, or -1 when the process is still running after the limit
    // (real time: this waits for another process). Pumps this thread's
    // messages meanwhile so that a window of the test can be activated.
    int WaitExit(pid_t pid, std::chrono::milliseconds limit)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        MSG message{};
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            pid_t done = waitpid(pid, &status, WNOHANG);
            if (done == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

    HWND WaitForMainWindow(std::chrono::milliseconds limit)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (HWND window = FindWindowW(kMainWindowClass, kMainWindowTitle))
                return window;
            std::this_thread::sleep_for(20ms);
        }
        return nullptr;
    }

    testsupport::TempFolder m_temp{"corvane-entry"};
    const std::string m_device = m_temp.Path();
    std::vector<pid_t> m_started;
};

struct ActivationProbe {
    static inline int activations = 0;
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_ACTIVATE && wParam != WA_INACTIVE)
            ++activations;
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

HWND CreateLookalike(const WCHAR* title)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ActivationProbe::Procedure;
        windowClass.lpszClassName = kMainWindowClass;
        registered = RegisterClassW(&windowClass) != 0;
    }
    return CreateWindowExW(0, kMainWindowClass, title, WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(ProgramTest, SecondInstanceBringsTheFirstToTheFrontAndExitsAtOnce)
{
    HWND running = CreateLookalike(kMainWindowTitle);
    ASSERT_NE(running, nullptr);
    ActivationProbe::activations = 0;
    SetForegroundWindow(nullptr);

    // It exits by itself, with 0, having only brought the first forward.
    pid_t second = Start();
    EXPECT_EQ(WaitExit(second, testsupport::kGenerousLimit), 0);
    MSG message{};
    for (int i = 0; i < 50 && ActivationProbe::activations == 0; ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GE(ActivationProbe::activations, 1);
    EXPECT_EQ(GetForegroundWindow(), running);
    DestroyWindow(running);
}

TEST_F(ProgramTest, AnotherTitleIsNotARunningInstance)
{
    HWND other = CreateLookalike(u"Corvane 2");
    ASSERT_NE(other, nullptr);
    pid_t program = Start();
    HWND found = WaitForMainWindow(10s);
    ASSERT_NE(found, nullptr);
    EXPECT_NE(found, other);
    EXPECT_EQ(WaitExit(program, 300ms), -1);  // still running
    kill(program, SIGTERM);
    EXPECT_EQ(WaitExit(program, 20s), 0);
    DestroyWindow(other);
}

TEST_F(ProgramTest, RealSecondInstanceExitsAndTheFirstEndsCleanlyOnSignals)
{
    pid_t first = Start();
    ASSERT_NE(WaitForMainWindow(10s), nullptr);

    // The second exits by itself while the first keeps running.
    pid_t second = Start();
    EXPECT_EQ(WaitExit(second, testsupport::kGenerousLimit), 0);
    EXPECT_EQ(WaitExit(first, 200ms), -1);

    kill(first, SIGTERM);
    EXPECT_EQ(WaitExit(first, 20s), 0);
    // Its window is gone with it.
    EXPECT_EQ(FindWindowW(kMainWindowClass, kMainWindowTitle), nullptr);

    pid_t again = Start();
    ASSERT_NE(WaitForMainWindow(10s), nullptr);
    kill(again, SIGINT);
    EXPECT_EQ(WaitExit(again, 20s), 0);
}

TEST_F(ProgramTest, ProgramWithAnAccountEndsPromptlyOnSigterm)
{
    // A copy of the program in its own folder, with a configured account.
    std::string folder = m_device + "/Program Files/Corvane";
    std::string command = "mkdir -p '" + folder + "' && cp '" + std::string(CORVANE_PROGRAM) + "' '" + folder + "/'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    {
        std::ofstream config(folder + "/Corvane.config");
        config << "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:1\r\n";
    }
    pid_t pid = 0;
    std::string program = folder + "/Corvane";
    char* argv[] = {program.data(), nullptr};
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    m_started.push_back(pid);
    ASSERT_NE(WaitForMainWindow(10s), nullptr);
    kill(pid, SIGTERM);
    EXPECT_EQ(WaitExit(pid, 30s), 0);
}

}  // namespace
