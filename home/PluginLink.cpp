#include "home/PluginLink.h"

#include <mutex>

#include "app/AppGlobals.h"
#include "oscar/IcqAccount.h"
#include "oscar/OnlineStatus.h"
#include "platform/registry/Registry.h"
#include "platform/win/Window.h"

namespace home {

namespace {

constexpr const WCHAR* kClassKey = u"CLSID\\{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}";
constexpr const WCHAR* kListenerClass = u"C393EBFC-31A9-449A-9CC6-5CD2EE03F174";
constexpr const WCHAR* kPluginFile = u"CorvanePlugin.so";

std::mutex g_linkMutex;
bool g_enabled = true;
WideString g_lastText = u"Offline";

void SetDefaultString(HKEY key, const WideString& text)
{
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

void PutInt32(std::vector<BYTE>& out, std::int32_t value)
{
    auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>(bits >> shift));
}

bool CountsAsOnline(std::int32_t status)
{
    if (status == OnlineStatus::Offline)
        return false;
    std::int32_t principal = OnlineStatus::Principal(status & 0xFFFF);
    return principal == OnlineStatus::Online || principal == OnlineStatus::FreeForChat ||
           principal == OnlineStatus::Invisible;
}

}  // namespace

void RegisterPluginClass(const WideString& programFolder)
{
    HKEY classKey = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classKey, nullptr) !=
        ERROR_SUCCESS)
        return;
    SetDefaultString(classKey, u"CorvaneICQ Plugin");
    HKEY serverKey = nullptr;
    if (RegCreateKeyExW(classKey, u"InprocServer32", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &serverKey, nullptr) ==
        ERROR_SUCCESS) {
        SetDefaultString(serverKey, programFolder + kPluginFile);
        RegCloseKey(serverKey);
    }
    RegCloseKey(classKey);
}

PluginReport ReportFor(AppCore& core, const WideString& statusText)
{
    PluginReport report;
    report.text = statusText;
    RefPtr<IcqAccount> account = dynamic_cast<IcqAccount*>(core.Account().Get());
    if (account == nullptr || account->Session() == nullptr)
        return report;
    return ReportFrom(account->Session()->IsOnline(), account->Store(), statusText);
}

PluginReport ReportFrom(bool online, ContactStore& store, const WideString& statusText)
{
    PluginReport report;
    report.text = statusText;
    report.hasSession = true;
    platform::CriticalSectionLock lock(store.Lock());
    std::int32_t onlineCount = 0;
    for (const RefPtr<Contact>& contact : store.Contacts()) {
        if (CountsAsOnline(contact->status))
            ++onlineCount;
        if (contact->unread)
            ++report.unreadCount;
    }
    report.onlineCount = online ? onlineCount : -1;
    return report;
}

std::vector<BYTE> EncodePluginState(const PluginReport& report)
{
    std::vector<BYTE> out;
    PutInt32(out, report.hasSession ? 1 : 0);
    if (report.hasSession) {
        PutInt32(out, report.onlineCount);
        PutInt32(out, report.unreadCount);
        PutInt32(out, static_cast<std::int32_t>(report.text.size()));
        for (WCHAR c : report.text) {
            out.push_back(static_cast<BYTE>(c & 0xFF));
            out.push_back(static_cast<BYTE>(c >> 8));
        }
        if (out.size() % 4 != 0)
            out.insert(out.end(), 2, 0);
    }
    PutInt32(out, 0);
    return out;
}

void TellPlugin(const WideString& statusText, bool enabled)
{
    {
        std::lock_guard lock(g_linkMutex);
        if (!g_enabled)
            return;
        g_enabled = enabled;
        g_lastText = statusText;
    }
    HWND listener = FindWindowW(kListenerClass, nullptr);
    if (listener == nullptr)
        return;
    COPYDATASTRUCT data{};
    std::vector<BYTE> payload;
    if (enabled) {
        AppCore* core = app::Core();
        PluginReport report = core != nullptr ? ReportFor(*core, statusText) : PluginReport{false, -1, 0, statusText};
        payload = EncodePluginState(report);
        data.dwData = 1;
        data.cbData = static_cast<DWORD>(payload.size());
        data.lpData = payload.data();
    }
    SendMessageW(listener, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

WideString LastToldText()
{
    std::lock_guard lock(g_linkMutex);
    return g_lastText;
}

}  // namespace home
