#include "platform/connmgr/ConnMgr.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/LastError.h"
#include "platform/sync/DetachedThread.h"
#include "platform/win/Window.h"

namespace {

struct Request {
    HWND window = nullptr;
    UINT message = 0;
};

struct ConnMgrState {
    std::mutex lock;
    bool manual = false;
    DWORD answerDelay = 0;
    std::vector<Request> requests;
    std::uintptr_t nextHandle = 0x5000;
};

ConnMgrState& State()
{
    static ConnMgrState* state = new ConnMgrState;
    return *state;
}

void Answer(const Request& request, DWORD delay)
{
    if (delay == 0) {
        PostMessageW(request.window, request.message, CONNMGR_STATUS_CONNECTED, 0);
        return;
    }
    platform::StartDetachedThread([request, delay] {
        Sleep(delay);
        PostMessageW(request.window, request.message, CONNMGR_STATUS_CONNECTED, 0);
    });
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
    DWORD delay = 0;
    {
        ConnMgrState& s = State();
        std::lock_guard guard(s.lock);
        s.requests.push_back(request);
        manual = s.manual;
        delay = s.answerDelay;
        *connection = reinterpret_cast<HANDLE>(s.nextHandle);
        s.nextHandle += 4;
    }
    if (!manual)
        Answer(request, delay);
    return S_OK;
}

namespace platform::connmgr {

void SetManualMode(bool manual)
{
    ConnMgrState& s = State();
    std::lock_guard guard(s.lock);
    s.manual = manual;
}

void SetAnswerDelay(DWORD milliseconds)
{
    ConnMgrState& s = State();
    std::lock_guard guard(s.lock);
    s.answerDelay = milliseconds;
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
    s.answerDelay = 0;
}

}  // namespace platform::connmgr
