#include <mutex>

#include "platform/com/HomeScreen.h"

namespace {

std::mutex g_receiverMutex;
std::function<void(const CLSID&)> g_receiver;

}  // namespace

void SHOnPluginDataChange(REFCLSID classId)
{
    std::function<void(const CLSID&)> receiver;
    {
        std::lock_guard lock(g_receiverMutex);
        receiver = g_receiver;
    }
    if (receiver)
        receiver(classId);
}

namespace platform::com {

void SetPluginDataChangeReceiver(std::function<void(const CLSID&)> receiver)
{
    std::lock_guard lock(g_receiverMutex);
    g_receiver = std::move(receiver);
}

}  // namespace platform::com
