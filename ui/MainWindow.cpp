#include "ui/MainWindow.h"

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "app/InterfaceStage.h"
#include "oscar/OnlineStatus.h"
#include "oscar/SessionEvents.h"
#include "platform/shell/Shell.h"
#include "platform/win/Controls.h"
#include "platform/win/Menu.h"
#include "platform/display/Display.h"
#include "skin/Look.h"
#include "ui/KeyActions.h"
#include "ui/KeyConfigDialog.h"
#include "ui/MainLayout.h"
#include "ui/MainSession.h"
#include "ui/OpenChats.h"
#include "ui/Screens.h"
#include "ui/framework/MsgWarningWindow.h"

namespace {

constexpr int kScrollBarWidth = 5;
constexpr DWORD kScrollBarStyle = 0x40000001;  // child, vertical

}  // namespace

MainWindow::Outlets MainWindow::DefaultOutlets()
{
    Outlets outlets;
    outlets.userInfo = &screens::OpenUserInfo;
    outlets.search = &screens::OpenSearch;
    outlets.account = &screens::OpenAccountDialog;
    outlets.settings = &screens::OpenSettingsDialog;
    outlets.look = &screens::OpenSkinDialog;
    outlets.keyConfig = &RunKeyConfigDialog;
    outlets.about = &screens::ShowAbout;
    outlets.chat = &screens::OpenChat;
    outlets.ask = &MainWindow::AskOnScreen;
    return outlets;
}

MainWindow::MainWindow() : MainWindow(DefaultOutlets()) {}

MainWindow::MainWindow(Outlets outlets) : m_outlets(std::move(outlets))
{
    RegisterWindowClass(CS_HREDRAW | CS_VREDRAW);
}

HWND MainWindow::CreateMainWindow() { return Create(kMainWindowTitle, WS_CLIPCHILDREN); }

void MainWindow::OnCreated()
{
    m_statusText = u"Offline";
    m_scrollBar = MakeRef<ScrollBarWindow>(0, kScrollBarStyle, WidthRule{0, kScrollBarWidth, 0, 0}, HeightRule{});
    m_scrollBar->CreateChild(Window());
    if (AppCore* core = app::Core(); core != nullptr)
        m_list = std::make_unique<ContactListView>(*core, Window(), ScrollBar());
    app::AddListener(this);
    m_listening = true;
    if (HMENU bar = MenuBarMenu(); bar != nullptr) {
        m_menuPopup = GetSubMenu(bar, 1);
        m_userPopup = m_menuPopup != nullptr ? GetSubMenu(m_menuPopup, 0) : nullptr;
    }
    RefreshLeftSoftKey();
    PlaceScrollBar();
}

void MainWindow::OnDestroy()
{
    if (m_listening)
        app::RemoveListener(this);
    m_listening = false;
    DropMemorySurface();
}

void MainWindow::OnWindowPosChanged(WINDOWPOS*, bool& handled)
{
    DropMemorySurface();
    handled = true;
    PlaceScrollBar();
}

// Along the right edge of the list, as high as the whole rows that fit.
void MainWindow::PlaceScrollBar()
{
    AppCore* core = app::Core();
    RefPtr<skin::Skin> look = core != nullptr ? skin::CurrentSkin(*core) : RefPtr<skin::Skin>();
    if (!look || ScrollBar() == nullptr)
        return;
    RECT client{};
    GetClientRect(Window(), &client);
    mainlayout::Areas areas = mainlayout::Compute(look->Layout(), client, look->StatusPosition() > 0 ? look->statusHeight : 0,
                                                  look->ToolbarPosition() > 0 ? look->ToolbarHeight() : 0);
    int rowHeight = look->ContactHeight() > 0 ? look->ContactHeight() : 1;
    int listHeight = areas.list.bottom - areas.list.top;
    MoveWindow(ScrollBar(), client.right - kScrollBarWidth, areas.list.top, kScrollBarWidth,
               listHeight / rowHeight * rowHeight, FALSE);
}

void MainWindow::DropMemorySurface()
{
    if (m_memoryDC != nullptr) {
        SelectObject(m_memoryDC, m_previousBitmap);
        DeleteDC(m_memoryDC);
    }
    if (m_memoryBitmap != nullptr)
        DeleteObject(m_memoryBitmap);
    m_memoryDC = nullptr;
    m_memoryBitmap = nullptr;
    m_previousBitmap = nullptr;
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_COPYDATA) {
        if (AppCore* core = app::Core(); core != nullptr)
            core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
        handled = true;
        return TRUE;
    }
    if (message == WM_INITMENUPOPUP) {
        HMENU opening = reinterpret_cast<HMENU>(wParam);
        if (opening != nullptr && opening == m_menuPopup)
            RebuildMenuPopup();
        else if (opening != nullptr && opening == m_userPopup)
            RebuildUserPopup();
    }
    return WindowBase::OnMessage(message, wParam, lParam, handled);
}

void MainWindow::SetStatus(const WideString& text, bool alsoPlugin)
{
    m_statusText = text;
    if (alsoPlugin)
        m_pluginText = text;
    Invalidate();
}

void MainWindow::OnEvent(const RefPtr<AppEvent>& event)
{
    AppCore* core = app::Core();
    switch (event->Type()) {
    case EventType::DataLinkWaiting: {
        RefPtr<OscarSession> session = core != nullptr ? mainsession::Session(*core) : RefPtr<OscarSession>();
        if (session && session->DesiredStatus() != OnlineStatus::Offline)
            SetStatus(u"Connecting", false);
        break;
    }
    case EventType::DataLinkDown:
        SetStatus(u"Offline", true);
        break;
    case EventType::SettingsChanged:
        RefreshLeftSoftKey();
        Invalidate();
        break;
    case EventType::ViewRefresh:
        if (m_list)
            m_list->Clear();
        Invalidate();
        break;
    case EventType::LoginStatusText:
        if (const auto* status = dynamic_cast<const oscar::StatusTextEvent*>(event.Get()))
            SetStatus(status->Text(), true);
        break;
    case EventType::OwnStatusConfirmed:
        if (const auto* status = dynamic_cast<const oscar::StatusCodeEvent*>(event.Get()))
            SetStatus(OnlineStatus::Text(status->Code()), false);
        break;
    case EventType::SessionOffline:
        SetStatus(u"Offline", false);
        break;
    default:
        break;
    }
}

void MainWindow::RefreshLeftSoftKey()
{
    AppCore* core = app::Core();
    if (core == nullptr || MenuBar() == nullptr)
        return;
    RefPtr<Settings> settings = core->GetSettings();
    settings->EnsureLoaded();
    WideString label = keyactions::LeftSoftKeyLabel(settings->leftSoftKeyAction, settings->showOffline);
    TBBUTTONINFOW info;
    info.dwMask = TBIF_TEXT;
    info.pszText = label.data();
    info.cchText = static_cast<int>(label.size());
    SendMessageW(MenuBar(), TB_SETBUTTONINFO, maincommand::kLeftSoftKey, reinterpret_cast<LPARAM>(&info));
}

LRESULT MainWindow::OnKeyDown(WPARAM key, LPARAM, bool& handled)
{
    handled = true;
    AppCore* core = app::Core();
    if (key == platform::display::VK_ACTION) {
        ActivateSelection();
        return 0;
    }
    if (key == platform::display::VK_RIGHT_KEY && core != nullptr && core->GetSettings()->joystickRightChat) {
        ActivateSelection();
        return 0;
    }
    if (key >= '0' && key <= '9' && core != nullptr)
        RunKeyAction(core->GetSettings()->KeyActionOf(static_cast<int>(key - '0')));
    if (m_list)
        m_list->OnKeyDown(static_cast<UINT>(key));
    return 0;
}

void MainWindow::ActivateSelection()
{
    AppCore* core = app::Core();
    if (core == nullptr || !m_list)
        return;
    if (m_list->ProgramRowSelected()) {
        if (!core->LastErrorText().empty())
            MakeRef<MsgWarningWindow>()->Open();
    } else if (RefPtr<Contact> selected = m_list->SelectedContact()) {
        RefPtr<IcqAccount> account = mainsession::Account(*core);
        RefPtr<Contact> contact = account ? account->Store().FindContact(selected->uin) : RefPtr<Contact>();
        if (contact)
            OpenChatFor(contact);
    }
    core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}

void MainWindow::OpenChatFor(const RefPtr<Contact>& contact)
{
    if (HWND open = openchats::Find(contact->uin); open != nullptr) {
        ShowWindow(open, SW_SHOW);
        SetForegroundWindow(open);
        return;
    }
    if (m_outlets.chat)
        m_outlets.chat(*app::Core(), contact);
}
