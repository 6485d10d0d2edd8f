// The device's data connection: requested through the connection manager,
// tracked in AppCore as DataLinkState, and reported to the rest of the
// program as events 3 (waiting), 4 (up) and 5 (down).
#pragma once

#include <cstdint>

#include "app/AppCore.h"
#include "ui/framework/WindowBase.h"

// The message the connection manager sends to MyConnMgrWindow.
constexpr UINT kConnMgrStatusMessage = 0x401;

// DataLinkState values.
namespace DataLink {
constexpr std::uint32_t Other = 0;
constexpr std::uint32_t Connected = 1;
constexpr std::uint32_t Waiting = 2;
constexpr std::uint32_t Disconnecting = 4;
constexpr std::uint32_t NotConnected = 8;
}  // namespace DataLink

// The DataLinkState a connection-manager status means.
std::uint32_t DataLinkStateOf(DWORD status);

// The event type a status is reported as (3, 4 or 5), or 0 for none.
std::int32_t DataLinkEventOf(DWORD status);

// AppCore's notification handler (interface thread): compares the status with
// the last one seen in this process and, on a change, posts the status's
// event. The same status twice in a row posts once.
void NotifyDataLinkStatus(AppCore& core, DWORD status);

// Forgets the last status (tests).
void ResetDataLinkStatus();

class ConnMgrLink;

// The hidden window that receives the connection manager's statuses.
class MyConnMgrWindow : public WindowBase {
public:
    explicit MyConnMgrWindow(ConnMgrLink& link);

    const WCHAR* ClassName() const override { return u"MyConnMgrWindow"; }
    const WCHAR* SystemClassName() const override { return nullptr; }
    WNDPROC BaseClassProc() const override { return nullptr; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

protected:
    ~MyConnMgrWindow() override = default;

private:
    ConnMgrLink& m_link;
};

// AppCore's link to the connection manager: the connection handle, the hidden
// window, the last status received, and the notification handler.
class ConnMgrLink : public DataConnectionLink {
public:
    explicit ConnMgrLink(AppCore& core);

    // Asks for the data connection, with the Internet as destination and the
    // hidden window as the receiver of statuses. Called under the AppCore
    // lock when a login is requested and the link is not up. A failure is
    // not reported: the statuses tell the user.
    void RequestDataConnection() override;

    // A status arrived (interface thread).
    void OnStatus(DWORD status);

    DWORD LastStatus() const { return m_lastStatus; }
    HWND Window() const { return m_window ? m_window->Window() : nullptr; }

    // Creates the link with its hidden window and gives it to AppCore
    // (AppCore start, interface thread).
    static void Install(AppCore& core);
    // The link AppCore holds, or null.
    static RefPtr<ConnMgrLink> Of(AppCore& core);

protected:
    ~ConnMgrLink() override;

private:
    AppCore& m_core;
    RefPtr<MyConnMgrWindow> m_window;
    HANDLE m_connection = nullptr;
    DWORD m_lastStatus = 0;
};
