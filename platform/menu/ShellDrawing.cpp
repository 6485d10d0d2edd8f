// Drawing helpers of the shell's own windows.
#include "platform/menu/ShellDrawing.h"

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/display/Display.h"

namespace platform::menu {

void FillColour(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

HFONT ShellFont(LONG weight)
{
    static std::mutex lock;
    static std::map<LONG, HFONT> fonts;
    std::lock_guard guard(lock);
    HFONT& font = fonts[weight];
    if (font == nullptr) {
        LOGFONTW description;
        description.lfHeight = -display::Layout().stripFontPixels;
        description.lfWeight = weight;
        std::u16string_view face = u"DejaVu Sans";
        face.copy(description.lfFaceName, face.size());
        font = CreateFontIndirectW(&description);
    }
    return font;
}

void RegisterShellClass(const WCHAR* name, WNDPROC procedure)
{
    static std::mutex lock;
    static std::set<std::u16string> registered;
    std::lock_guard guard(lock);
    if (!registered.insert(name).second)
        return;
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

}  // namespace platform::menu
