#include "platform/sync/DetachedThread.h"

#include <memory>

#include "platform/sync/Sync.h"

namespace platform {
namespace {

using Body = std::function<void()>;

DWORD RunDetached(void* parameter)
{
    std::unique_ptr<Body> body(static_cast<Body*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

bool StartDetachedThread(std::function<void()> body)
{
    if (!body)
        return false;
    auto record = std::make_unique<Body>(std::move(body));
    HANDLE thread = CreateThread(nullptr, 0, &RunDetached, record.get(), 0, nullptr);
    if (thread == nullptr)
        return false;
    record.release();  // the thread owns it now
    CloseHandle(thread);
    return true;
}

}  // namespace platform
