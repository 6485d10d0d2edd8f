#include "ui/SettingsSave.h"

#include "ui/ScreenMessage.h"

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
    ShowProblem(owner, title,
                u"The settings could not be saved: the program folder cannot be written. Nothing was changed.", true);
    return nullptr;
}

}  // namespace ui
