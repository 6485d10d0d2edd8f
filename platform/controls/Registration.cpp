// The standard control classes, registered once per process before the first
// class lookup.
#include <mutex>

#include "platform/controls/ControlState.h"
#include "platform/controls/Procedures.h"

void platform::RegisterStandardControls()
{
    using namespace platform::controls;
    static std::once_flag once;
    std::call_once(once, [] {
        struct Entry {
            LPCWSTR name;
            WNDPROC procedure;
        };
        const Entry entries[] = {
            {u"EDIT", EditProcedure},           {u"LISTBOX", ListBoxProcedure},
            {u"BUTTON", ButtonProcedure},       {u"STATIC", StaticProcedure},
            {u"SCROLLBAR", ScrollBarProcedure}, {u"msctls_updown32", UpDownProcedure},
        };
        for (const Entry& entry : entries) {
            WNDCLASSW windowClass;
            windowClass.style = CS_HREDRAW | CS_VREDRAW;
            windowClass.lpfnWndProc = entry.procedure;
            windowClass.cbWndExtra = kStateBytes;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = entry.name;
            RegisterClassW(&windowClass);
        }
    });
}
