#include "app/main/Entry.h"

#include "app/AppGlobals.h"
#include "app/main/PluginReporter.h"
#include "app/main/Quit.h"
#include "app/main/UIDispatcherWnd.h"
#include "home/PluginLink.h"
#include "home/SchemeInstaller.h"
#include "net/DataLink.h"
#include "oscar/IcqAccount.h"
#include "oscar/ProtocolHandler.h"
#include "oscar/meta/MetaReply.h"
#include "skin/Look.h"
#include "store/ContactListCache.h"
#include "store/HistoryBook.h"
#include "ui/MainWindow.h"
#include "ui/framework/Resources.h"
#include "ui/notify/NotifyIncoming.h"

bool AnotherInstanceRuns()
{
    HWND running = FindWindowW(kMainWindowClass, kMainWindowTitle);
    if (running == nullptr)
        return false;
    // The lowest bit asks for the window's owned pop-ups to come forward too.
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(running) | 1));
    return true;
}

void RegisterPluginClassAtStart() { home::RegisterPluginClass(app::AppFolder()); }

void ConnectMessageOutlets(AppCore& core, IcqAccount& account)
{
    auto histories = MakeRef<store::HistoryBook>(account.Uin());
    Messenger::Outlets outlets;
    outlets.appendHistory = [histories](const WideString& uin, bool sentByUser, const SYSTEMTIME& time,
                                        const WideString& text) { histories->Append(uin, sentByUser, time, text); };
    outlets.notifyIncoming = [&core] { NotifyIncoming(core); };
    // The outlets live in the messenger, which the session's threads may keep
    // after the account is gone: they hold the store and the save, not the
    // account.
    outlets.modelChanged = [save = store::ProgramFolderCacheFile().save, contacts = RefPtr<ContactStore>(&account.Store()),
                            uin = account.Uin()] { save(*contacts, uin); };
    account.Messaging()->SetOutlets(std::move(outlets));
}

AppCoreParts BuildAppCoreParts()
{
    oscar::RegisterMetaDecoders();
    AppCoreParts parts;
    parts.loadLook = [](AppCore& core) { skin::LoadLook(core); };
    parts.createConnectionLink = [](AppCore& core) { ConnMgrLink::Install(core); };
    parts.createProtocolHandler = [](AppCore& core) { return RefPtr<EventHandler>(MakeRef<oscar::ProtocolHandler>(core)); };
    parts.createAccount = [](AppCore& core, const WideString& uin) {
        RefPtr<IcqAccount> account = MakeRef<IcqAccount>(core, uin);
        account->SetCacheFile(store::ProgramFolderCacheFile());
        ConnectMessageOutlets(core, *account);
        return RefPtr<Account>(account);
    };
    return parts;
}

namespace {

int RunMessageLoop()
{
    MSG message{};
    for (;;) {
        BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0 || result == -1)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int CorvaneMain(HINSTANCE instance, int showCommand)
{
    app::SetInstance(instance);
    if (AnotherInstanceRuns())
        return 0;

    // COM, the common controls and the socket library need no start-up on
    // this platform; their calls join here when those services exist.
    app::SetAppFolder(app::AppFolderFromModulePath());
    resources::RegisterProgramResources(instance);
    RegisterPluginClassAtStart();

    RefPtr<UIDispatcherWnd> dispatcher = MakeRef<UIDispatcherWnd>();
    dispatcher->CreateDispatcher();
    MainWindow::Outlets outlets = MainWindow::DefaultOutlets();
    outlets.quit = &RunConfirmedQuit;
    outlets.homeSetup = &home::RunPluginSetup;
    outlets.deleteScheme = &home::RemovePluginScheme;
    RefPtr<MainWindow> mainWindow = MakeRef<MainWindow>(std::move(outlets));
    PluginReporter pluginReporter;

    RefPtr<AppCore> core = MakeRef<AppCore>(mainWindow.Get(), BuildAppCoreParts());
    // Deletes the scheme files that "Home Screen" commands replaced.
    core->AddHandler(MakeRef<home::SchemeFileRemover>());
    app::SetCore(core.Get());
    core->Start();

    if (mainWindow->CreateMainWindow() != nullptr) {
        mainWindow->Show(showCommand);
        mainWindow->Update();
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(mainWindow->Window()) | 1));
    }

    int exitCode = RunMessageLoop();
    DrainLiveSessions();
    return exitCode;
}
