// The program's resource tables. A bar's first button is the left soft key,
// the second the right one; a menu button (style 24) opens the pop-up at its
// index in the same-numbered menu, whose first item stands for the left key.
#include "ui/framework/Resources.h"

namespace resources {
namespace {

using platform::resources::Bar;
using platform::resources::BarButton;
using platform::resources::kButtonPlain;
using platform::resources::kButtonPopup;
using platform::resources::Menu;
using platform::resources::MenuEntry;

constexpr BYTE kEnabled = 0x04;

BarButton Plain(int command, UINT stringId) { return BarButton{command, kEnabled, kButtonPlain, stringId, -1}; }
BarButton MenuKey() { return BarButton{0, kEnabled, kButtonPopup, kStringMenu, 1}; }

platform::resources::ResourceSet Build()
{
    platform::resources::ResourceSet set;
    set.strings = {
        {kStringQuit, u"Quit"},         {kStringMenu, u"Menu"},     {kStringBack, u"Back"},
        {kStringOk, u"OK"},             {kStringCancel, u"Cancel"}, {kStringSave, u"Save"},
        {kStringHide, u"Hide"},         {kStringInsert, u"Insert"}, {kStringPrevious, u"Previous"},
        {kStringNext, u"Next"},         {kStringDone, u"Done"},     {kStringFind, u"Find"},
    };
    set.bars = {
        Bar{kBarMain, {Plain(2000, kStringQuit), MenuKey()}},
        Bar{kBarChat, {Plain(2001, kStringBack), MenuKey()}},
        Bar{kBarUserInfo, {Plain(2004, kStringSave), MenuKey()}},
        Bar{kBarOkCancel, {Plain(2002, kStringOk), Plain(2003, kStringCancel)}},
        Bar{kBarWarning, {Plain(2002, kStringOk), Plain(2005, kStringHide)}},
        Bar{kBarInsertCancel, {Plain(41407, kStringInsert), Plain(41403, kStringCancel)}},
        Bar{kBarSetupStep1, {Plain(2003, kStringCancel), Plain(41408, kStringNext)}},
        Bar{kBarSetupStep2, {Plain(41409, kStringPrevious), Plain(41410, kStringDone)}},
        Bar{kBarSearch, {Plain(41411, kStringFind), Plain(41403, kStringCancel)}},
        Bar{kBarSettings, {Plain(2002, kStringOk), MenuKey()}},
        Bar{kBarDone, {Plain(41410, kStringDone)}},
    };
    set.menus = {
        Menu{kBarMain,
             {
                 MenuEntry{0, u"Quit", 2000},
                 MenuEntry{0, u"Menu", 0, MF_POPUP},
                 MenuEntry{1, u"User", 0, MF_POPUP},
                 MenuEntry{2, u"Chat", 41001},
                 MenuEntry{2, u"Info", 41002},
                 MenuEntry{1, u"Configuration", 0, MF_POPUP},
                 MenuEntry{2, u"Account", 41101},
                 MenuEntry{2, u"Settings", 41103},
                 MenuEntry{2, u"Icons/Smilies/Skin", 41104},
                 MenuEntry{2, u"Toolbar", 41105},
                 MenuEntry{2, u"Home Screen", 0, MF_POPUP},
                 MenuEntry{3, u"Setup", 41201},
                 MenuEntry{3, u"Delete Scheme", 41202},
                 MenuEntry{1, u"About...", 41406},
             }},
        Menu{kBarChat,
             {
                 MenuEntry{0, u"Back", 2001},
                 MenuEntry{0, u"Menu", 0, MF_POPUP},
                 MenuEntry{1, u"Smile", 41404},
                 MenuEntry{1, u"Close", 41405},
             }},
        Menu{kBarUserInfo,
             {
                 MenuEntry{0, u"Save", 2004},
                 MenuEntry{0, u"Menu", 0, MF_POPUP},
                 MenuEntry{1, u"Refresh", 41401},
                 MenuEntry{1, u"Add to group", 0, MF_POPUP},
                 MenuEntry{2, u"Temporary", 41402},
                 MenuEntry{1, u"Cancel", 41403},
             }},
        Menu{kBarSettings,
             {
                 MenuEntry{0, u"OK", 2002},
                 MenuEntry{0, u"Menu", 0, MF_POPUP},
                 MenuEntry{1, u"Advanced", 41415},
                 MenuEntry{1, u"Cancel", 2003},
             }},
    };
    return set;
}

}  // namespace

const platform::resources::ResourceSet& ProgramResources()
{
    static const platform::resources::ResourceSet set = Build();
    return set;
}

bool RegisterProgramResources(HINSTANCE instance) { return platform::resources::Register(instance, ProgramResources()); }

}  // namespace resources
