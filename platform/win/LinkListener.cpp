// The listener of a process that owns top-level windows: DEVICE/run/<pid>.sock.
//
// It runs exactly while the process owns a top-level window. Each accepted
// connection is served on a short-lived thread of its own, so a hung window
// thread delays only the requests addressed to it. A request to a window is
// handed to the window's thread as an inter-thread send. Malformed or
// oversize requests are refused; messages whose parameters are pointers in
// the sender's process are refused too, except WM_COPYDATA, whose payload is
// carried.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win/LinkProtocol.h"
#include "platform/win/LinkSocket.h"
#include "platform/win/WindowState.h"

namespace platform::win {
namespace {

using namespace link;

constexpr int kMaxConnectionThreads = 32;

struct ListenerState {
    std::mutex lock;
    bool running = false;
    int stopWrite = -1;  // closing it ends the listener thread
    int folderFd = -1;   // the run folder it listens in (for removing the file)
    std::string name;
    bool exitHookSet = false;
};

ListenerState& Listener()
{
    static ListenerState* state = new ListenerState;
    return *state;
}

std::atomic<int> g_connectionThreads{0};

// Messages whose wParam or lParam point into the sender's memory.
bool CarriesPointer(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_NCCREATE:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_COPYDATA:
        return true;
    case WM_TIMER:
        return lParam != 0;
    default:
        return false;
    }
}

// A window named by a request: only this process's own handles.
HWND LocalWindow(std::uint64_t value)
{
    auto window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    return HandleProcess(window) == CurrentProcessId() ? window : nullptr;
}

Reply SendReply(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (window == nullptr || !IsWindow(window))
        return Reply{Status::InvalidWindow, 0};
    if (!SendLocal(window, message, wParam, lParam, Deadline(), &result))
        return Reply{IsWindow(window) ? Status::Failed : Status::InvalidWindow, 0};
    return Reply{Status::Ok, result};
}

Reply Handle(Request& request)
{
    HWND window = LocalWindow(request.window);
    switch (request.kind) {
    case Kind::Find: {
        HWND found = FindLocalWindow(request.className ? &*request.className : nullptr,
                                     request.windowName ? &*request.windowName : nullptr);
        return Reply{Status::Ok, static_cast<std::int64_t>(HandleValue(found))};
    }
    case Kind::Post:
        if (CarriesPointer(request.message, static_cast<LPARAM>(request.lParam)))
            return Reply{Status::Refused, 0};
        if (window == nullptr || !PostMessageW(window, request.message, request.wParam, request.lParam))
            return Reply{Status::InvalidWindow, 0};
        return Reply{Status::Ok, TRUE};
    case Kind::Send:
        if (CarriesPointer(request.message, static_cast<LPARAM>(request.lParam)))
            return Reply{Status::Refused, 0};
        return SendReply(window, request.message, request.wParam, request.lParam);
    case Kind::CopyData: {
        COPYDATASTRUCT data;
        data.dwData = request.dwData;
        data.cbData = static_cast<DWORD>(request.payload.size());
        data.lpData = request.payload.empty() ? nullptr : request.payload.data();
        return SendReply(window, WM_COPYDATA, request.wParam, reinterpret_cast<LPARAM>(&data));
    }
    case Kind::Foreground:
        if (window == nullptr || !ActivateLocal(window, Deadline()))
            return Reply{Status::InvalidWindow, 0};
        return Reply{Status::Ok, TRUE};
    case Kind::IsWindow:
        return Reply{Status::Ok, window != nullptr && IsWindow(window) ? TRUE : FALSE};
    }
    return Reply{Status::Refused, 0};
}

// Reads one request, answers it, closes the connection.
void Serve(int fd)
{
    RealClock::time_point deadline = Deadline();
    std::vector<BYTE> header(kHeaderSize);
    Reply reply{Status::Refused, 0};
    if (ReadAll(fd, header, deadline, false)) {
        if (std::optional<Header> parsed = DecodeHeader(header)) {
            std::vector<BYTE> body(parsed->bodyLength);
            if (ReadAll(fd, body, deadline, false)) {
                if (std::optional<Request> request = DecodeBody(parsed->kind, body))
                    reply = Handle(*request);
            }
        }
    }
    WriteAll(fd, EncodeReply(reply), deadline, false);
    ::close(fd);
}

void AcceptLoop(int listenFd, int stopRead)
{
    for (;;) {
        pollfd entries[2] = {{listenFd, POLLIN, 0}, {stopRead, POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0)
            continue;
        if (entries[1].revents != 0)
            break;
        int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            continue;
        if (g_connectionThreads.fetch_add(1) >= kMaxConnectionThreads) {
            g_connectionThreads.fetch_sub(1);
            ::close(fd);
            continue;
        }
        std::thread([fd] {
            Serve(fd);
            g_connectionThreads.fetch_sub(1);
        }).detach();
    }
    ::close(listenFd);
    ::close(stopRead);
}

// Removes the socket file at once (new callers see no such process) and
// tells the thread to end; it closes its own descriptors.
void StopLocked(ListenerState& listener)
{
    if (!listener.running)
        return;
    ::unlinkat(listener.folderFd, listener.name.c_str(), 0);
    ::close(listener.folderFd);
    ::close(listener.stopWrite);
    listener.folderFd = -1;
    listener.stopWrite = -1;
    listener.running = false;
}

void StartLocked(ListenerState& listener)
{
    RunDirectory folder;
    std::string name = SocketName(CurrentProcessId());
    int listenFd = ListenAt(folder, name);
    int pipeFds[2] = {-1, -1};
    if (listenFd < 0 || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        if (listenFd >= 0)
            ::close(listenFd);
        return;
    }
    listener.folderFd = ::fcntl(folder.Descriptor(), F_DUPFD_CLOEXEC, 0);
    listener.name = name;
    listener.stopWrite = pipeFds[1];
    listener.running = true;
    std::thread(AcceptLoop, listenFd, pipeFds[0]).detach();
    if (!listener.exitHookSet) {
        listener.exitHookSet = true;
        std::atexit([] {
            ListenerState& l = Listener();
            std::lock_guard guard(l.lock);
            StopLocked(l);
        });
    }
}

}  // namespace

void SyncListener()
{
    ListenerState& listener = Listener();
    std::lock_guard guard(listener.lock);
    bool wanted = false;
    {
        std::lock_guard windows(State().lock);
        wanted = State().topLevelCount > 0;
    }
    if (wanted && !listener.running)
        StartLocked(listener);
    else if (!wanted && listener.running)
        StopLocked(listener);
}

}  // namespace platform::win
