// Window calls between processes of one device folder, against the peer
// program (tests/platform/win/peer) started next to this test program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/Device.h"
#include "platform/base/LastError.h"
#include "platform/win/LinkProtocol.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/win/Recorder.h"
#include "tests/platform/win/peer/PeerDigest.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace link = platform::win::link;

std::string PeerPath() { return (fs::read_symlink("/proc/self/exe").parent_path() / "platform_win_peer").string(); }

class Peer {
public:
    Peer(const std::string& className, const std::string& title)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::string path = PeerPath();
        char* argv[] = {path.data(), const_cast<char*>(className.c_str()), const_cast<char*>(title.c_str()), nullptr};
        if (posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ReadReady(out[0]);
        ::close(out[0]);
    }
    ~Peer() { Stop(); }

    HWND Window() const { return m_window; }
    pid_t Pid() const { return m_pid; }

    // Closes the window (the peer then exits) and reaps the process.
    void Stop()
    {
        if (m_pid <= 0)
            return;
        if (m_window != nullptr)
            PostMessageW(m_window, WM_CLOSE, 0, 0);
        for (int i = 0; i < 500; ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            ::usleep(10000);
        }
        Kill();
    }
    void Kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    void ReadReady(int fd)
    {
        std::string line;
        char c = 0;
        pollfd entry{fd, POLLIN, 0};
        while (line.size() < 64 && ::poll(&entry, 1, 20000) > 0 && ::read(fd, &c, 1) == 1 && c != '\n')
            line += c;
        if (line.rfind("ready ", 0) == 0)
            m_window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(line.substr(6), nullptr, 16)));
    }

    pid_t m_pid = -1;
    HWND m_window = nullptr;
};

// Every test gets its own device folder so that parallel test programs and
// earlier tests never see each other's windows.
class CrossProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUpRecorder();
        const char* old = std::getenv("CORVANE_DEVICE");
        m_oldDevice = old != nullptr ? old : "";
        ASSERT_TRUE(m_temp.Ok());
        ::setenv("CORVANE_DEVICE", m_device.c_str(), 1);
    }
    void TearDown() override
    {
        if (m_oldDevice.empty())
            ::unsetenv("CORVANE_DEVICE");
        else
            ::setenv("CORVANE_DEVICE", m_oldDevice.c_str(), 1);
        platform::SetTimeScale(1.0);
    }
    std::string RunPath(const std::string& name) const { return m_device + "/run/" + name; }
    std::string OwnSocket() const { return RunPath(std::to_string(::getpid()) + ".sock"); }

    testsupport::TempFolder m_temp{"corvane-win"};
    const std::string m_device = m_temp.Path();
    std::string m_oldDevice;
};

HWND WithHandleBit(HWND window) { return reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) | 1); }

LRESULT CopyData(HWND window, UINT_PTR dwData, const std::vector<BYTE>& payload)
{
    COPYDATASTRUCT data{dwData, static_cast<DWORD>(payload.size()),
                        payload.empty() ? nullptr : const_cast<BYTE*>(payload.data())};
    return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

TEST_F(CrossProcessTest, FindWindowSeesTopLevelWindowsOfOtherProcesses)
{
    Peer peer("PeerClass", "Peer Title");
    ASSERT_NE(peer.Window(), nullptr);
    EXPECT_EQ(FindWindowW(u"peerCLASS", u"Peer Title"), peer.Window());
    EXPECT_EQ(FindWindowW(nullptr, u"Peer Title"), peer.Window());
    EXPECT_EQ(FindWindowW(u"PeerClass", nullptr), peer.Window());
    EXPECT_EQ(FindWindowW(u"PeerClass", u"peer title"), nullptr);  // titles compare exactly
    EXPECT_EQ(FindWindowW(u"OtherClass", nullptr), nullptr);

    // A local match wins; a child window never matches.
    HWND local = MakeRecorderWindow(nullptr, 0, u"Peer Title");
    HWND child = MakeRecorderWindow(local, 0, u"Child");
    EXPECT_EQ(FindWindowW(nullptr, u"Peer Title"), local);
    EXPECT_EQ(FindWindowW(nullptr, u"Child"), nullptr);
    EXPECT_TRUE(IsWindow(peer.Window()));
    DWORD pid = 0;
    GetWindowThreadProcessId(peer.Window(), &pid);
    EXPECT_EQ(pid, static_cast<DWORD>(peer.Pid()));
    DestroyWindow(local);
    (void)child;
}

TEST_F(CrossProcessTest, CopyDataPayloadArrivesIntact)
{
    Peer peer("PeerClass", "Data");
    ASSERT_NE(peer.Window(), nullptr);
    for (std::size_t size : {0u, 1u, 3u, 4097u, 65536u, 1u << 20}) {
        SCOPED_TRACE(size);
        std::vector<BYTE> payload(size);
        for (std::size_t i = 0; i < size; ++i)
            payload[i] = static_cast<BYTE>(i * 7 + size);
        EXPECT_EQ(CopyData(peer.Window(), 0x1234 + size, payload),
                  PeerDigest(0x1234 + size, payload.data(), static_cast<DWORD>(size)));
    }
    // Above the cap: refused before anything is sent.
    std::vector<BYTE> oversize(link::kMaxPayload + 1);
    EXPECT_EQ(CopyData(peer.Window(), 1, oversize), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SendMessageW(peer.Window(), WM_COPYDATA, 0, 0), 0);
}

TEST_F(CrossProcessTest, PlainMessagesAndSendsBackWhileWaiting)
{
    Peer peer("PeerClass", "Plain");
    ASSERT_NE(peer.Window(), nullptr);
    EXPECT_EQ(SendMessageW(peer.Window(), WM_USER + 1, 5, 100), 205);
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(peer.Window(), WM_USER + 1, 1, 1, SMTO_NORMAL, 1000, &result));
    EXPECT_EQ(result, 3u);
    EXPECT_TRUE(PostMessageW(peer.Window(), WM_USER + 1, 0, 0));
    // Pointer-carrying messages other than WM_COPYDATA are refused.
    EXPECT_EQ(SendMessageW(peer.Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"x")), 0);
    EXPECT_FALSE(PostMessageW(peer.Window(), WM_TIMER, 1, 0x1000));

    // The peer sends WM_COPYDATA back to our window while we wait for it.
    HWND local = MakeRecorderWindow();
    Recorder::Instance().Take();
    EXPECT_EQ(SendMessageW(peer.Window(), WM_USER + 2, reinterpret_cast<WPARAM>(local), 0), 0);
    auto seen = Recorder::Instance().Take();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, WM_COPYDATA);
    DestroyWindow(local);
}

TEST_F(CrossProcessTest, ForegroundAcrossProcessesActivatesTheWindow)
{
    Peer peer("PeerClass", "Front");
    ASSERT_NE(peer.Window(), nullptr);
    EXPECT_TRUE(SetForegroundWindow(WithHandleBit(peer.Window())));
    EXPECT_EQ(SendMessageW(peer.Window(), WM_USER + 3, 0, 0), 11);
}

TEST_F(CrossProcessTest, DeadWindowsAndProcessesGiveZeroPromptly)
{
    Peer peer("PeerClass", "Dying");
    ASSERT_NE(peer.Window(), nullptr);
    HWND window = peer.Window();
    // A handle the live peer never gave out.
    auto never = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) + 0x1000);
    EXPECT_EQ(CopyData(never, 1, {1, 2, 3}), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(IsWindow(never));

    std::string socket = RunPath(std::to_string(peer.Pid()) + ".sock");
    EXPECT_TRUE(fs::exists(socket));
    peer.Stop();
    EXPECT_FALSE(fs::exists(socket));  // removed by the peer with its last window
    EXPECT_EQ(CopyData(window, 1, {1, 2, 3}), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(PostMessageW(window, WM_USER, 0, 0));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(CrossProcessTest, HungProcessCostsOnlyTheTimeOut)
{
    Peer peer("PeerClass", "Hung");
    ASSERT_NE(peer.Window(), nullptr);
    ::kill(peer.Pid(), SIGSTOP);
    EXPECT_EQ(CopyData(peer.Window(), 1, std::vector<BYTE>(70000, 1)), 0);
    EXPECT_EQ(FindWindowW(u"PeerClass", nullptr), nullptr);
    ::kill(peer.Pid(), SIGCONT);
    peer.Kill();
}

TEST_F(CrossProcessTest, StaleSocketOfACrashedProcessIsRemoved)
{
    Peer peer("PeerClass", "Crashing");
    ASSERT_NE(peer.Window(), nullptr);
    std::string socket = RunPath(std::to_string(peer.Pid()) + ".sock");
    peer.Kill();  // no clean-up: the socket file stays
    ASSERT_TRUE(fs::exists(socket));
    EXPECT_EQ(FindWindowW(u"PeerClass", nullptr), nullptr);
    EXPECT_FALSE(fs::exists(socket));
}

TEST_F(CrossProcessTest, WorksInADeviceFolderWithAVeryLongPath)
{
    std::string deep = m_device + "/" + std::string(60, 'd') + "/" + std::string(60, 'e');
    ASSERT_TRUE(platform::MakeFolders(deep));
    ::setenv("CORVANE_DEVICE", deep.c_str(), 1);
    Peer peer("PeerClass", "Deep");
    ASSERT_NE(peer.Window(), nullptr);
    EXPECT_EQ(FindWindowW(u"PeerClass", u"Deep"), peer.Window());
    std::vector<BYTE> payload(65536, 0x5A);
    EXPECT_EQ(CopyData(peer.Window(), 9, payload), PeerDigest(9, payload.data(), 65536));
}

TEST_F(CrossProcessTest, ListenerLivesExactlyWhileATopLevelWindowDoes)
{
    EXPECT_FALSE(fs::exists(OwnSocket()));
    HWND first = MakeRecorderWindow();
    HWND second = MakeRecorderWindow();
    EXPECT_TRUE(fs::exists(OwnSocket()));
    DestroyWindow(first);
    EXPECT_TRUE(fs::exists(OwnSocket()));
    DestroyWindow(second);
    EXPECT_FALSE(fs::exists(OwnSocket()));
}

// Sends raw bytes to our own listener and returns the reply, if any.
std::optional<link::Reply> RawRequest(const std::string& path, const std::vector<BYTE>& bytes, bool closeEarly = false)
{
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    if (::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0 || closeEarly) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<BYTE> reply(link::kReplySize);
    std::size_t got = 0;
    while (got < reply.size()) {
        ssize_t n = ::recv(fd, reply.data() + got, reply.size() - got, 0);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return got == reply.size() ? link::DecodeReply(reply) : std::nullopt;
}

TEST_F(CrossProcessTest, MalformedRequestsAreRefusedAndTheListenerCarriesOn)
{
    HWND window = MakeRecorderWindow(nullptr, 0, u"Target");
    ASSERT_TRUE(fs::exists(OwnSocket()));
    link::Request find;
    find.kind = link::Kind::Find;
    find.windowName = u"Target";
    std::vector<BYTE> valid = link::EncodeRequest(find);

    std::vector<BYTE> badMagic = valid;
    badMagic[0] ^= 0xFF;
    std::vector<BYTE> oversize = valid;
    oversize[10] = 0x7F;  // body length far above the cap
    std::vector<BYTE> badBody = valid;
    badBody[12] = 9;  // flags out of range
    const std::pair<const char*, std::vector<BYTE>> cases[] = {
        {"bad magic", badMagic},
        {"oversize", oversize},
        {"bad body", badBody},
        {"empty", {}},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        std::optional<link::Reply> reply = RawRequest(OwnSocket(), bytes);
        if (!bytes.empty()) {
            ASSERT_TRUE(reply.has_value());
            EXPECT_EQ(reply->status, link::Status::Refused);
        }
    }
    // A body cut short by the client hanging up.
    std::vector<BYTE> truncated(valid.begin(), valid.end() - 3);
    RawRequest(OwnSocket(), truncated, true);

    std::optional<link::Reply> reply = RawRequest(OwnSocket(), valid);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->status, link::Status::Ok);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(reply->result)), window);
    DestroyWindow(window);
}

}  // namespace
