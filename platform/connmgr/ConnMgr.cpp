#include "platform/connmgr/ConnMgr.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/LastError.h"
#include "platform/sync/Sync.h"
#include "platform/win/Window.h"

namespace {

// The simulated link comes up this long (device time) after a request.
constexpr DWORD kConnectDelayMilliseconds = 100;

struct Request {
    HWND window = nullptr;
    UINT message = 0;
};

struct ConnMgrState {
    std::mutex lock;
    bool manual = false;
    std::vector<Request> requests;
    std::uintptr_t nextHandle = 0x5000;
};

ConnMgrState& State()
{
    static ConnMgrState* state = new ConnMgrState;
    return *state;
}

DWORD AnswerLater(void* parameter)
{
    auto* request = static_cast<Request*>(parameter);
    Sleep(kConnectDelayMilliseconds);
    PostMessageW(request->window, request->message, CONNMGR_STATUS_CONNECTED, 0);
    delete request;
    return 0;
}

}  // namespace

HRESULT ConnMgrEstablishConnection(CONNMGR_CONNECTIONINFO* info, HANDLE* connection)
{
    if (info == nullptr || connection == nullptr || info->hWnd == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_INVALIDARG;
    }
    Request request{info->hWnd, info->uMsg};
    bool manual = false;
    {
        ConnMgrState& s = State();
        std::lock_guard guard(s.lock);
        s.requests.push_back(request);
        manual = s.manual;
        *connection = reinterpret_cast<HANDLE>(s.nextHandle);
        s.nextHandle += 4;
    }
    if (!manual) {
        auto* pending = new Request(request);
        HANDLE thread = CreateThread(nullptr, 0, &AnswerLater, pending, 0, nullptr);
        if (thread != nullptr)
            CloseHandle(thread);
        else
            delete pending;
    }
    return S_OK;
}

namespace platform::connmgr {

void SetManualMode(bool manual)
{
    ConnMgrState& s = State();
    std::lock_guard guard(s.lock);
    s.manual = manual;
}

void InjectStatus(DWORD status)
{
    std::vector<Request> requests;
    {
        ConnMgrState& s = State();
        std::lock_guard guard(s.lock);
        requests = s.requests;
    }
    std::vector<HWND> told;
    for (const Request& r : requests) {
        if (std::find(told.begin(), told.end(), r.window) != told.end())
            continue;
        told.push_back(r.window);
        PostMessageW(r.window, r.message, status, 0);
    }
}

int RequestCount()
{
    ConnMgrState& s = State();
    std::lock_guard guard(s.lock);
    return static_cast<int>(s.requests.size());
}

void Reset()
{
    ConnMgrState& s = State();
    std::lock_guard guard(s.lock);
    s.requests.clear();
    s.manual = false;
}

}  // namespace platform::connmgr
