// Window classes: one table per process. The instance handle is accepted and
// stored but not part of a class's identity (the device program registers
// everything from one module).
#include <algorithm>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/win/Controls.h"
#include "platform/win/WindowState.h"

constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;

namespace platform::win {

namespace {

// The predefined atoms of dialog templates name the standard classes.
LPCWSTR PredefinedClassName(std::uintptr_t atom)
{
    switch (atom) {
    case kAtomButton:
        return u"BUTTON";
    case kAtomEdit:
        return u"EDIT";
    case kAtomStatic:
        return u"STATIC";
    case kAtomListBox:
        return u"LISTBOX";
    case kAtomScrollBar:
        return u"SCROLLBAR";
    default:
        return nullptr;
    }
}

}  // namespace

// A class name argument is either a string or an atom (a value below 0x10000).
std::shared_ptr<ClassRecord> FindClassLocked(LPCWSTR className)
{
    if (className == nullptr)
        return nullptr;
    if (LPCWSTR predefined = PredefinedClassName(reinterpret_cast<std::uintptr_t>(className)))
        className = predefined;
    auto value = reinterpret_cast<std::uintptr_t>(className);
    auto& classes = State().classes;
    auto it = std::find_if(classes.begin(), classes.end(), [&](const std::shared_ptr<ClassRecord>& c) {
        if (value < 0x10000)
            return c->atom == value;
        return SameClassName(c->name, std::u16string_view(className, WideLength(className)));
    });
    return it == classes.end() ? nullptr : *it;
}

}  // namespace platform::win

HINSTANCE GetModuleHandleW(LPCWSTR moduleName)
{
    // One module per process on the simulated device: any name gives it.
    (void)moduleName;
    static int processModule = 0;
    return reinterpret_cast<HINSTANCE>(&processModule);
}

ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    using namespace platform::win;
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        reinterpret_cast<std::uintptr_t>(windowClass->lpszClassName) < 0x10000 ||
        windowClass->lpszClassName[0] == 0 || windowClass->cbWndExtra < 0 || windowClass->cbWndExtra > 4096 ||
        windowClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WinState& state = State();
    std::lock_guard guard(state.lock);
    if (FindClassLocked(windowClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    if (state.nextAtom == 0xFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto record = std::make_shared<ClassRecord>();
    record->info = *windowClass;
    record->name = WideString(windowClass->lpszClassName, platform::WideLength(windowClass->lpszClassName));
    record->info.lpszClassName = record->name.c_str();
    record->atom = state.nextAtom++;
    state.classes.push_back(record);
    return record->atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance)
{
    using namespace platform::win;
    (void)instance;
    WinState& state = State();
    std::lock_guard guard(state.lock);
    std::shared_ptr<ClassRecord> record = FindClassLocked(className);
    if (!record) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (record->windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    std::erase(state.classes, record);
    return TRUE;
}

// The returned lpszClassName points at the registered name and stays valid
// while the class is registered.
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* windowClass)
{
    using namespace platform::win;
    (void)instance;
    platform::RegisterStandardControls();
    if (windowClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(State().lock);
    std::shared_ptr<ClassRecord> record = FindClassLocked(className);
    if (!record) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *windowClass = record->info;
    return TRUE;
}
