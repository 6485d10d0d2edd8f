// The main window's commands: soft keys, menu items and the actions of the
// number keys.
#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "oscar/SessionEvents.h"
#include "platform/win/MessageBox.h"
#include "ui/KeyActions.h"
#include "ui/MainSession.h"
#include "ui/MainWindow.h"

namespace {

// The presence each "ICQ Status" item asks for, by command order.
constexpr std::int32_t kStatusValues[] = {
    OnlineStatus::Online,           OnlineStatus::Away,        OnlineStatus::ChoiceNotAvailable,
    OnlineStatus::ChoiceOccupied,   OnlineStatus::ChoiceDoNotDisturb, OnlineStatus::FreeForChat,
    OnlineStatus::Invisible,        OnlineStatus::Offline,
};

void Post(AppCore& core, std::int32_t type) { core.Post(MakeRef<AppEvent>(type)); }

}  // namespace

int MainWindow::AskOnScreen(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type)
{
    return MessageBoxW(owner, text, caption, type);
}

LRESULT MainWindow::OnCommand(WORD notifyCode, WORD commandId, HWND)
{
    if (notifyCode == 0 && app::Core() != nullptr)
        RunCommand(commandId);
    return 0;
}

void MainWindow::RunCommand(WORD commandId)
{
    AppCore& core = *app::Core();
    HWND owner = Window();
    switch (commandId) {
    case maincommand::kLeftSoftKey: {
        RefPtr<Settings> settings = core.GetSettings();
        RunKeyAction(settings->leftSoftKeyAction);
        return;
    }
    case maincommand::kChat:
        ActivateSelection();
        return;
    case maincommand::kFindUser:
        if (mainsession::LoggedIn(core) && m_outlets.search)
            m_outlets.search(core, owner);
        return;
    case maincommand::kAccount:
        if (m_outlets.account)
            m_outlets.account(core, owner);
        return;
    case maincommand::kSettings:
        if (m_outlets.settings && m_outlets.settings(core, owner) == 1) {
            Post(core, EventType::SettingsChanged);
            app::SetProcessCodePage(core.GetSettings()->codePage);
        }
        return;
    case maincommand::kLook:
        if (m_outlets.look)
            m_outlets.look(core, owner);
        return;
    case maincommand::kToolbar:
        if (m_outlets.keyConfig)
            m_outlets.keyConfig(core, owner);
        return;
    case maincommand::kHomeSetup:
        if (m_outlets.homeSetup)
            m_outlets.homeSetup(core, owner);
        return;
    case maincommand::kDeleteScheme:
        if (m_outlets.deleteScheme)
            m_outlets.deleteScheme(core, owner);
        return;
    case maincommand::kAbout:
        if (m_outlets.about)
            m_outlets.about(core, owner);
        return;
    default:
        break;
    }
    if (commandId >= maincommand::kStatusFirst && commandId <= maincommand::kStatusLast) {
        core.Post(MakeRef<oscar::StatusCodeEvent>(EventType::PresenceChosen,
                                                  kStatusValues[commandId - maincommand::kStatusFirst]));
        return;
    }
    RunContactCommand(commandId);
}

void MainWindow::RunContactCommand(WORD commandId)
{
    AppCore& core = *app::Core();
    RefPtr<Contact> contact = m_list ? m_list->SelectedContact() : RefPtr<Contact>();
    RefPtr<IcqAccount> account = mainsession::Account(core);
    if (!contact || !account)
        return;
    bool loggedIn = mainsession::LoggedIn(core);
    switch (commandId) {
    case maincommand::kInfo:
        if (m_outlets.userInfo && m_outlets.userInfo(core, Window(), contact) == 1)
            Post(core, EventType::ViewRefresh);
        return;
    case maincommand::kRequestAuth:
        if (loggedIn)
            account->RequestAuthorisation(contact->uin, u"");
        return;
    case maincommand::kAuthorize:
        if (loggedIn && contact->authorisationRequested) {
            account->GrantAuthorisation(contact->uin);
            account->Store().SetAuthorisationRequested(contact, false);
            Post(core, EventType::ViewRefresh);
        }
        return;
    case maincommand::kDelete:
        if (loggedIn) {
            account->DeleteContact(contact->uin);
            Post(core, EventType::ViewRefresh);
        }
        return;
    case maincommand::kAddToList:
        if (loggedIn)
            account->AddToList(contact->uin);
        return;
    default:
        break;
    }
    if (commandId >= maincommand::kGroupFirst && commandId <= maincommand::kGroupLast && loggedIn) {
        std::size_t index = commandId - maincommand::kGroupFirst;
        std::vector<RefPtr<ContactGroup>> groups = account->Store().Groups();
        if (index >= groups.size())
            return;
        std::uint16_t groupId = groups[index]->id;
        if (contact->itemId != 0)
            account->MoveContact(contact->uin, groupId);
        else
            account->AddContact(contact->uin, contact->nickname.empty() ? contact->uin : contact->nickname, groupId,
                                false);
        Post(core, EventType::ViewRefresh);
    }
}

void MainWindow::RunKeyAction(std::int32_t action)
{
    AppCore* core = app::Core();
    if (core == nullptr)
        return;
    switch (action) {
    case KeyAction::Quit:
        ConfirmQuit();
        break;
    case KeyAction::ShowOffline:
        ToggleSetting(&Settings::showOffline, true);
        break;
    case KeyAction::Sound:
        ToggleSetting(&Settings::sound, false);
        break;
    case KeyAction::Vibro:
        ToggleSetting(&Settings::vibro, false);
        break;
    case KeyAction::Scrolling:
        ToggleSetting(&Settings::scrolling, false);
        break;
    case KeyAction::Chat:
        ActivateSelection();
        break;
    case KeyAction::Info:
        RunCommand(maincommand::kInfo);
        break;
    case KeyAction::Find:
        RunCommand(maincommand::kFindUser);
        break;
    case KeyAction::Settings:
        RunCommand(maincommand::kSettings);
        break;
    default:
        break;  // NONE, or a value outside the vocabulary
    }
}

void MainWindow::ToggleSetting(bool Settings::*field, bool refreshList)
{
    AppCore& core = *app::Core();
    RefPtr<Settings> settings = core.GetSettings();
    settings->EnsureLoaded();
    Settings& values = *settings;
    values.*field = !(values.*field);
    settings->Save();
    Post(core, EventType::SettingsChanged);
    if (refreshList)
        Post(core, EventType::ViewRefresh);
    Invalidate();
}

void MainWindow::ConfirmQuit()
{
    if (!m_outlets.ask || m_outlets.ask(Window(), u"Quit?", kMainWindowTitle, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    m_quitting = true;
    if (m_outlets.quit) {
        m_outlets.quit();
        return;
    }
    AppCore* core = app::Core();
    if (core != nullptr)
        core->ShutDownAccount();
    Close();
    if (core != nullptr)
        core->StopWorker();
    PostQuitMessage(0);
}
