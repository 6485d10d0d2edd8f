// Calls to windows of other processes of the device, and FindWindowW.
//
// Every call connects to the owner's socket, writes one request and waits for
// the reply until link::Deadline (5000 device ms with a real floor of 1 s):
// a dead process answers at once (connection refused, its socket file is
// removed), a hung one costs the time-out. While waiting, the calling thread
// still runs messages sent to it, so two processes sending to each other do
// not deadlock.
#include <algorithm>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/win/LinkProtocol.h"
#include "platform/win/LinkSocket.h"
#include "platform/win/WindowState.h"

#include <unistd.h>

namespace platform::win {
namespace {

using namespace link;

std::optional<Reply> Transact(const RunDirectory& folder, DWORD pid, const Request& request,
                              RealClock::time_point deadline)
{
    int fd = ConnectTo(folder, SocketName(pid));
    if (fd < 0)
        return std::nullopt;
    std::vector<BYTE> frame = EncodeRequest(request);
    std::vector<BYTE> answer(kReplySize);
    std::optional<Reply> reply;
    if (WriteAll(fd, frame, deadline, true) && ReadAll(fd, answer, deadline, true))
        reply = DecodeReply(answer);
    ::close(fd);
    return reply;
}

// Sends to the window's process; sets the last error and returns nullopt on
// any failure.
std::optional<std::int64_t> Call(HWND window, const Request& request, RealClock::time_point deadline)
{
    RunDirectory folder;
    std::optional<Reply> reply = Transact(folder, HandleProcess(window), request, deadline);
    if (!reply || reply->status == Status::InvalidWindow) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return std::nullopt;
    }
    if (reply->status != Status::Ok) {
        SetLastError(reply->status == Status::Refused ? ERROR_INVALID_PARAMETER : ERROR_TIMEOUT);
        return std::nullopt;
    }
    return reply->result;
}

Request WindowRequest(Kind kind, HWND window)
{
    Request request;
    request.kind = kind;
    request.window = HandleValue(window);
    return request;
}

}  // namespace

BOOL RemotePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Request request = WindowRequest(Kind::Post, window);
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    return Call(window, request, Deadline()) ? TRUE : FALSE;
}

// WM_COPYDATA carries its payload (at most link::kMaxPayload bytes); every
// other message carries wParam and lParam as plain numbers.
bool RemoteSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeout, LRESULT* result)
{
    *result = 0;
    Request request = WindowRequest(message == WM_COPYDATA ? Kind::CopyData : Kind::Send, window);
    request.message = message;
    request.wParam = wParam;
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data == nullptr || data->cbData > kMaxPayload || (data->cbData > 0 && data->lpData == nullptr)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        request.dwData = data->dwData;
        const auto* bytes = static_cast<const BYTE*>(data->lpData);
        request.payload.assign(bytes, bytes + data->cbData);
    } else {
        request.lParam = lParam;
    }
    std::optional<std::int64_t> value = Call(window, request, Deadline(std::min<DWORD>(timeout, kTimeout)));
    if (!value)
        return false;
    *result = static_cast<LRESULT>(*value);
    return true;
}

BOOL RemoteSetForeground(HWND window)
{
    return Call(window, WindowRequest(Kind::Foreground, window), Deadline()) ? TRUE : FALSE;
}

BOOL RemoteIsWindow(HWND window)
{
    std::optional<std::int64_t> value = Call(window, WindowRequest(Kind::IsWindow, window), Deadline());
    return value && *value != 0 ? TRUE : FALSE;
}

HWND RemoteFind(const WideString* className, const WideString* windowName)
{
    if ((className != nullptr && className->size() > kMaxName) ||
        (windowName != nullptr && windowName->size() > kMaxName))
        return nullptr;
    Request request;
    request.kind = Kind::Find;
    if (className != nullptr)
        request.className = *className;
    if (windowName != nullptr)
        request.windowName = *windowName;
    RunDirectory folder;
    auto sockets = folder.Sockets();
    std::sort(sockets.begin(), sockets.end());
    for (const auto& [pid, name] : sockets) {
        if (pid == CurrentProcessId())
            continue;
        std::optional<Reply> reply = Transact(folder, pid, request, Deadline());
        if (!reply || reply->status != Status::Ok || reply->result == 0)
            continue;
        auto found = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(reply->result));
        // Only a handle of the process asked is believed.
        if (HandleProcess(found) == pid)
            return found;
    }
    return nullptr;
}

HWND FindLocalWindow(const WideString* className, const WideString* windowName)
{
    std::lock_guard guard(State().lock);
    HWND best = nullptr;
    for (const auto& [value, record] : State().windows) {
        if (!record->IsTopLevel() || record->destroying)
            continue;
        if (className != nullptr && !SameClassName(record->windowClass->name, *className))
            continue;
        if (windowName != nullptr && record->text != *windowName)
            continue;
        // The oldest match, as creation order is what callers expect.
        if (best == nullptr || value < HandleValue(best))
            best = record->handle;
    }
    return best;
}

}  // namespace platform::win

// Looks in this process first, then in the other processes of the device.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
    using namespace platform::win;
    std::optional<WideString> wantedClass;
    std::optional<WideString> wantedTitle;
    if (className != nullptr) {
        if (reinterpret_cast<std::uintptr_t>(className) < 0x10000)
            return nullptr;  // atoms are local to a process; not supported here
        wantedClass = WideString(className, platform::WideLength(className));
    }
    if (windowName != nullptr)
        wantedTitle = WideString(windowName, platform::WideLength(windowName));
    const WideString* classPtr = wantedClass ? &*wantedClass : nullptr;
    const WideString* titlePtr = wantedTitle ? &*wantedTitle : nullptr;
    if (HWND local = FindLocalWindow(classPtr, titlePtr))
        return local;
    return RemoteFind(classPtr, titlePtr);
}
