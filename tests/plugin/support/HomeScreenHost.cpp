// A home screen for the plug-in's tests: it creates the plug-in's object
// from the device registry as the phone's home screen does, hands it a site,
// initialises it from a layout file, round-trips its saved record, and shows
// its row on the screen. Keys: Enter selects the row, Up and Down move the
// selection on and off it, Left and Right go to the plug-in as keys.
//
//   plugin_support LAYOUT.xml [--reregister]
//
// prints "ready" once the row is shown. --reregister first has the loaded
// library remove its registry entries and write them again, and prints the
// two results ("unregister 0x00000000 register 0x00000000").
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "platform/base/WideString.h"
#include "platform/com/HomeScreen.h"
#include "platform/display/Display.h"
#include "platform/registry/Registry.h"
#include "platform/xml/XmlDocument.h"
#include "tools/homescreen/PluginSite.h"

namespace {

constexpr CLSID kPluginClass = {0xFCCE0008, 0xC09E, 0x4FE2, {0x8B, 0x57, 0x6D, 0x75, 0x3D, 0x21, 0x27, 0xAD}};
constexpr UINT kDataChanged = WM_APP + 1;
constexpr DWORD kPluginHandle = 7;
constexpr int kRowTop = 24;

HWND g_window = nullptr;
IHomePlugin* g_plugin = nullptr;
bool g_selected = true;

// The site: redraw requests repaint the window; the scheme's colours are
// the home screen's palette.
homescreen::PluginSite g_site([](DWORD) { InvalidateRect(g_window, nullptr, TRUE); });

int RowHeight()
{
    int height = 0;
    g_plugin->GetHeight(&height);
    return height;
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BOOL selectable = FALSE;
    g_plugin->GetSelectability(&selectable);
    HomePluginPaintEvent event;
    event.dc = dc;
    event.selected = g_selected && selectable;
    event.rect = RECT{0, kRowTop, client.right, kRowTop + RowHeight()};
    if (event.rect.bottom > event.rect.top)
        g_plugin->OnEvent(reinterpret_cast<const HomePluginEvent*>(&event));
    EndPaint(window, &paint);
}

void Key(WPARAM key)
{
    if (key == platform::display::VK_ACTION) {
        HomePluginEvent action{HPE_ACTION};
        g_plugin->OnEvent(&action);
    } else if (key == platform::display::VK_UP_KEY || key == platform::display::VK_DOWN_KEY) {
        g_selected = key == platform::display::VK_DOWN_KEY;
        HomePluginEvent focus{HPE_FOCUSCHANGED};
        g_plugin->OnEvent(&focus);
    } else {
        HomePluginKeyEvent event;
        event.key = static_cast<WORD>(key);
        g_plugin->OnEvent(reinterpret_cast<const HomePluginEvent*>(&event));
    }
}

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_KEYDOWN:
        Key(wParam);
        return 0;
    case kDataChanged:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The plug-in's object, set up as the home screen sets up each plug-in of
// its layout.
IHomePlugin* CreatePlugin(const platform::xml::XmlDocument& layout)
{
    platform::xml::XmlNode pluginNode = layout.SelectSingleNode(u"/home/plugin");
    platform::xml::XmlNode formatNode = layout.SelectSingleNode(u"/home/default/format");
    HRESULT result = S_OK;
    IHomePlugin* plugin =
        homescreen::CreateHomePlugin(kPluginClass, g_site, kPluginHandle, &pluginNode, &formatNode, &result);
    if (plugin == nullptr) {
        std::fprintf(stderr, "CoCreateInstance failed: 0x%08X\n", static_cast<unsigned>(result));
        return nullptr;
    }
    return plugin;
}

}  // namespace

// The library's own registration calls, through the loaded library.
void Reregister()
{
    std::string path = platform::WideToUtf8(platform::registry::ReadString(
        HKEY_CLASSES_ROOT, u"CLSID\\{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}\\InprocServer32"));
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr)
        return;
    auto unregister = reinterpret_cast<DllRegisterServerFunction>(::dlsym(library, "DllUnregisterServer"));
    auto reregister = reinterpret_cast<DllRegisterServerFunction>(::dlsym(library, "DllRegisterServer"));
    HRESULT removed = unregister();
    HRESULT again = unregister();
    HRESULT written = reregister();
    std::printf("unregister 0x%08X again 0x%08X register 0x%08X\n", static_cast<unsigned>(removed),
                static_cast<unsigned>(again), static_cast<unsigned>(written));
    ::dlclose(library);
}

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 3 && std::strcmp(argv[2], "--reregister") == 0)) {
        std::fprintf(stderr, "usage: plugin_support LAYOUT.xml [--reregister]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    platform::xml::XmlDocument layout;
    std::string path = argv[1];
    if (!layout.LoadFile(platform::Utf8ToWide(path))) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    g_plugin = CreatePlugin(layout);
    if (g_plugin == nullptr)
        return 1;
    if (argc == 3)
        Reregister();

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = u"HomeScreen";
    RegisterClassW(&windowClass);
    g_window = CreateWindowExW(0, u"HomeScreen", u"Home", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    platform::com::SetPluginDataChangeReceiver([](const CLSID&) { PostMessageW(g_window, kDataChanged, 0, 0); });
    SetFocus(g_window);
    std::printf("ready\n");
    std::fflush(stdout);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    platform::com::SetPluginDataChangeReceiver({});
    g_plugin->SetSite(nullptr);
    g_plugin->Release();
    CoFreeUnusedLibraries();
    return 0;
}
