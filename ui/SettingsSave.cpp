#include "ui/SettingsSave.h"

#include "platform/win/MessageBox.h"

namespace ui {

RefPtr<Settings> ReadSettings()
{
    RefPtr<Settings> settings = MakeRef<Settings>();
    settings->EnsureLoaded();
    return settings;
}

RefPtr<Settings> SaveChanges(HWND owner, const WCHAR* title, const std::function<void(Settings&)>& apply)
{
    RefPtr<Settings> settings = ReadSettings();
    apply(*settings);
    if (settings->Save())
        return settings;
    MessageBoxW(owner, u"The settings could not be saved: the program folder cannot be written. Nothing was changed.",
                title, MB_OK | MB_ICONERROR);
    return nullptr;
}

}  // namespace ui
