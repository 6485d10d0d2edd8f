// The phone's home screen: one full-screen window that shows the rows of the
// current scheme top to bottom, with the scheme's title in the title strip.
// Plug-in rows are objects made from the device registry and driven through
// the home-screen plug-in interface; the date-and-time and operator rows are
// drawn here. Up and Down move the selection between selectable rows (the
// rows scroll to keep it on the screen); Action, Left and Right go to the
// selected plug-in. Once a second (device time) the current scheme is asked
// of the configuration manager, and a scheme that changed (another path, or
// the file rewritten) is loaded again.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/homescreen/PluginSite.h"
#include "tools/homescreen/RowLook.h"
#include "tools/homescreen/Scheme.h"

namespace homescreen {

class HomeScreen {
public:
    static constexpr UINT kPollMilliseconds = 1000;

    HomeScreen();
    ~HomeScreen();
    HomeScreen(const HomeScreen&) = delete;
    HomeScreen& operator=(const HomeScreen&) = delete;

    // Creates and shows the window and starts the poll; false when the
    // window cannot be made.
    bool Open();
    HWND Window() const { return m_window; }

    // Loads the current scheme when it is not the one shown (or always).
    enum class Reload { IfChanged, Always };
    void LoadCurrent(Reload reload);

private:
    struct Row {
        SchemeRow scheme;
        IHomePlugin* plugin = nullptr;  // owned reference; null for own rows and failed plug-ins
        int Height() const;
        bool Selectable() const;
    };
    // What identifies a loaded scheme file's version.
    struct Version {
        WideString path;
        std::filesystem::file_time_type written{};
        std::uintmax_t size = 0;
        bool operator==(const Version&) const = default;
    };

    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Show(Scheme scheme, Version version);
    void ReleaseRows();
    void MakePlugin(Row& row, DWORD handle);
    void Paint();
    int ScrollOffset(int visibleHeight) const;
    void OnKey(UINT key);
    void MoveSelection(int step);
    void Tell(std::size_t row, const HomePluginEvent* event);
    void OnTimer();
    static Version VersionOf(const WideString& path);

    HWND m_window = nullptr;
    PluginSite m_site;
    Scheme m_scheme;
    Version m_version;
    bool m_loaded = false;
    RowLook m_look;
    std::vector<Row> m_rows;
    int m_selected = -1;
    WideString m_shownTime;
};

}  // namespace homescreen
