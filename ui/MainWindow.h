// MainWindow: the program's visible top-level window (class
// "B46A692A-BC3B-40e7-A3E8-5058053677A5", title "Corvane"). Its class name and
// title are what a second instance looks for.
//
// It draws, double-buffered, the skin's background, the contact list, the
// status bar and the tool bar in the order the skin's layout code gives;
// follows the core's events (status texts, presence, refreshes); runs the
// number keys' and the left soft key's actions; and owns the "Menu" tree of
// its soft-key bar, whose "Menu" and "User" pop-ups are rebuilt each time
// they open.
#pragma once

#include <functional>
#include <memory>

#include "app/AppEvent.h"
#include "app/ProgramWindow.h"
#include "app/Settings.h"
#include "oscar/Contact.h"
#include "ui/ContactListView.h"
#include "ui/framework/ControlWindows.h"
#include "ui/framework/WindowBase.h"

inline constexpr const WCHAR* kMainWindowClass = u"B46A692A-BC3B-40e7-A3E8-5058053677A5";
inline constexpr const WCHAR* kMainWindowTitle = u"Corvane";

// Command numbers of the main window's soft keys and menus.
namespace maincommand {
constexpr WORD kLeftSoftKey = 2000;
constexpr WORD kChat = 41001;
constexpr WORD kInfo = 41002;
constexpr WORD kRequestAuth = 41004;
constexpr WORD kAuthorize = 41005;
constexpr WORD kDelete = 41006;
constexpr WORD kAddToList = 41008;
constexpr WORD kFindUser = 41011;
constexpr WORD kGroupFirst = 41050;  // + index of the group in store order
constexpr WORD kGroupLast = 41099;
constexpr WORD kAccount = 41101;
constexpr WORD kSettings = 41103;
constexpr WORD kLook = 41104;
constexpr WORD kToolbar = 41105;
constexpr WORD kHomeSetup = 41201;
constexpr WORD kDeleteScheme = 41202;
constexpr WORD kStatusFirst = 41301;  // "ICQ Status": Online ... Offline
constexpr WORD kStatusLast = 41308;
constexpr WORD kAbout = 41406;
}  // namespace maincommand

class MainWindow : public WindowBase, public ProgramWindow, public EventListener {
public:
    // What the window opens or runs beyond its own files: the screens of
    // the other parts of the interface, the confirmed quit and the question
    // before it. Each defaults to the program's own; tests replace them.
    struct Outlets {
        std::function<int(AppCore&, HWND, const RefPtr<Contact>&)> userInfo;
        std::function<int(AppCore&, HWND)> search;
        std::function<int(AppCore&, HWND)> account;
        std::function<int(AppCore&, HWND)> settings;
        std::function<int(AppCore&, HWND)> look;
        std::function<int(AppCore&, HWND)> keyConfig;
        std::function<void(AppCore&, HWND)> about;
        std::function<void(AppCore&, const RefPtr<Contact>&)> chat;
        // "Home Screen" -> "Setup" and "Delete Scheme": the home-screen
        // scheme installer, which lives above the interface; unset, the
        // commands do nothing. The program's entry fills them in.
        std::function<void(AppCore&, HWND)> homeSetup;
        std::function<void(AppCore&, HWND)> deleteScheme;
        std::function<int(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type)> ask;
        // After "Quit?" was confirmed. Default: shut the account down, close
        // the window, stop the worker and end the message loop.
        std::function<void()> quit;
    };
    static Outlets DefaultOutlets();
    // The device's message box.
    static int AskOnScreen(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type);

    // Registers the class (once per process); creates no window.
    MainWindow();
    explicit MainWindow(Outlets outlets);

    const WCHAR* ClassName() const override { return kMainWindowClass; }
    const WCHAR* SystemClassName() const override { return nullptr; }
    WNDPROC BaseClassProc() const override { return nullptr; }
    UINT MenuBarId() const override { return 1532; }

    // Creates the window with the title "Corvane".
    HWND CreateMainWindow();

    HWND ProgramWindowHandle() const override { return Window(); }

    void OnEvent(const RefPtr<AppEvent>& event) override;

    // State the screen shows (also read by tests).
    const WideString& StatusText() const { return m_statusText; }
    const WideString& PluginText() const { return m_pluginText; }
    ContactListView* List() { return m_list.get(); }
    HWND ScrollBar() const { return m_scrollBar ? m_scrollBar->Window() : nullptr; }
    HMENU MenuPopup() const { return m_menuPopup; }
    HMENU UserPopup() const { return m_userPopup; }
    // True once a Quit was confirmed.
    bool Quitting() const { return m_quitting; }

    // Runs an action of the vocabulary (a number key, the left soft key).
    void RunKeyAction(std::int32_t action);
    // Opens the selected row: the contact's chat window, or the warning
    // popup for the program row; a view refresh follows either way.
    void ActivateSelection();

protected:
    ~MainWindow() override = default;

    void OnCreated() override;
    void OnDestroy() override;
    void OnWindowPosChanged(WINDOWPOS* position, bool& handled) override;
    void OnDraw(HDC dc, const RECT& client) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM keyData, bool& handled) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;
    // WM_COPYDATA is the home-screen plug-in announcing itself: a view
    // refresh follows, which sends the plug-in the program's state.
    // WM_INITMENUPOPUP rebuilds the "Menu" and "User" pop-ups.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void SetStatus(const WideString& text, bool alsoPlugin);
    void RefreshLeftSoftKey();
    void DropMemorySurface();
    void PlaceScrollBar();
    void DrawInto(HDC dc, const RECT& client);
    void DrawStatusBar(HDC dc, const RECT& area);
    void DrawToolbar(HDC dc, const RECT& area);
    void RebuildMenuPopup();
    void RebuildUserPopup();
    void ConfirmQuit();
    void ToggleSetting(bool Settings::*field, bool refreshList);
    void RunCommand(WORD commandId);
    void RunContactCommand(WORD commandId);
    void OpenChatFor(const RefPtr<Contact>& contact);

    Outlets m_outlets;
    WideString m_statusText = u"Offline";
    WideString m_pluginText;
    std::unique_ptr<ContactListView> m_list;
    RefPtr<ScrollBarWindow> m_scrollBar;
    HMENU m_menuPopup = nullptr;
    HMENU m_userPopup = nullptr;
    HMENU m_groupPopup = nullptr;
    HDC m_memoryDC = nullptr;
    HBITMAP m_memoryBitmap = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
    bool m_quitting = false;
    bool m_listening = false;
};
