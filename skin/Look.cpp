#include "skin/Look.h"

#include "app/AppGlobals.h"
#include "skin/ResourceFolder.h"

namespace skin {

void LoadLook(AppCore& core)
{
    RefPtr<Skin> skin = MakeRef<Skin>();
    RefPtr<IconSet> icons = MakeRef<IconSet>();
    RefPtr<Settings> settings = core.GetSettings();
    WideString programFolder = app::AppFolder();

    WideString skinFile = settings->SkinSource();
    skin->Load(FindSetFolder(programFolder, u"Skin", skinFile), skinFile);
    WideString iconFile = settings->IconsSource();
    icons->Load(FindSetFolder(programFolder, u"Icons", iconFile), iconFile);
    core.SetLook(RefPtr<RefCounted>(skin), RefPtr<RefCounted>(icons));
}

RefPtr<Skin> CurrentSkin(AppCore& core)
{
    RefPtr<RefCounted> held = core.SkinObject();
    return RefPtr<Skin>(dynamic_cast<Skin*>(held.Get()));
}

RefPtr<IconSet> CurrentIconSet(AppCore& core)
{
    RefPtr<RefCounted> held = core.IconSetObject();
    return RefPtr<IconSet>(dynamic_cast<IconSet*>(held.Get()));
}

void ReplaceSkin(AppCore& core, const RefPtr<Skin>& skin) { core.SetSkinObject(RefPtr<RefCounted>(skin)); }

}  // namespace skin
