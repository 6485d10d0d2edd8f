#include "net/DataLink.h"

#include <atomic>

#include "app/AppGlobals.h"
#include "platform/connmgr/ConnMgr.h"

namespace {

std::atomic<DWORD> g_lastStatus{0};

}  // namespace

std::uint32_t DataLinkStateOf(DWORD status)
{
    if (status == 0x00)
        return DataLink::NotConnected;
    if (status == 0x10)
        return DataLink::Connected;
    if (status >= 0x20 && status <= 0x24)
        return DataLink::NotConnected;
    if (status == 0x25 || status == 0x26)
        return DataLink::Waiting;
    if (status >= 0x27 && status <= 0x2B)
        return DataLink::NotConnected;
    if (status >= 0x40 && status <= 0x42)
        return DataLink::Waiting;
    if (status == 0x80 || status == 0x81)
        return DataLink::Disconnecting;
    return DataLink::Other;
}

std::int32_t DataLinkEventOf(DWORD status)
{
    if (status == 0x10)
        return EventType::DataLinkUp;
    if (status == 0x25 || status == 0x26 || (status >= 0x40 && status <= 0x42))
        return EventType::DataLinkWaiting;
    if (status == 0x00 || (status >= 0x20 && status <= 0x24) || (status >= 0x27 && status <= 0x2B))
        return EventType::DataLinkDown;
    return 0;
}

void NotifyDataLinkStatus(AppCore& core, DWORD status)
{
    if (g_lastStatus.exchange(status) == status)
        return;
    if (std::int32_t type = DataLinkEventOf(status))
        core.Post(MakeRef<AppEvent>(type));
}

void ResetDataLinkStatus() { g_lastStatus = 0; }

MyConnMgrWindow::MyConnMgrWindow(ConnMgrLink& link) : m_link(link) { RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

LRESULT MyConnMgrWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == kConnMgrStatusMessage) {
        m_link.OnStatus(static_cast<DWORD>(wParam));
        handled = true;
        return 0;
    }
    return WindowBase::OnMessage(message, wParam, lParam, handled);
}

ConnMgrLink::ConnMgrLink(AppCore& core) : m_core(core)
{
    m_window = MakeRef<MyConnMgrWindow>(*this);
    m_window->Create(u"", WS_CLIPCHILDREN);
}

ConnMgrLink::~ConnMgrLink()
{
    if (m_window && m_window->Window() != nullptr)
        m_window->Destroy();
}

void ConnMgrLink::Install(AppCore& core) { core.SetConnectionLink(MakeRef<ConnMgrLink>(core)); }

RefPtr<ConnMgrLink> ConnMgrLink::Of(AppCore& core)
{
    RefPtr<DataConnectionLink> link = core.ConnectionLink();
    return RefPtr<ConnMgrLink>(dynamic_cast<ConnMgrLink*>(link.Get()));
}

void ConnMgrLink::RequestDataConnection()
{
    CONNMGR_CONNECTIONINFO info{};
    info.cbSize = sizeof info;
    info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
    info.dwFlags = 0;
    info.dwPriority = CONNMGR_PRIORITY_USERINTERACTIVE;
    info.bExclusive = FALSE;
    info.bDisabled = FALSE;
    info.guidDestNet = IID_DestNetInternet;
    info.hWnd = Window();
    info.uMsg = kConnMgrStatusMessage;
    info.lParam = 0;
    HANDLE connection = nullptr;
    if (SUCCEEDED(ConnMgrEstablishConnection(&info, &connection)))
        m_connection = connection;
}

void ConnMgrLink::OnStatus(DWORD status)
{
    m_lastStatus = status;
    m_core.SetDataLinkState(DataLinkStateOf(status));
    NotifyDataLinkStatus(m_core, status);
}
