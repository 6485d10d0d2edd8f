#include "ui/KeyActions.h"

namespace keyactions {

const std::array<const WCHAR*, KeyAction::Count>& DisplayTexts()
{
    static const std::array<const WCHAR*, KeyAction::Count> texts = {
        u"None", u"Quit", u"Show/Hide Off", u"Sound", u"Vibro", u"Scrolling", u"Chat", u"Info", u"Find", u"Settings",
    };
    return texts;
}

std::optional<skin::ToolbarSlot> ToolbarSlotOf(std::int32_t action, const Settings& settings)
{
    using skin::ToolbarSlot;
    switch (action) {
    case KeyAction::Quit:
        return ToolbarSlot::Quit;
    case KeyAction::ShowOffline:
        return settings.showOffline ? ToolbarSlot::ShowOffline : ToolbarSlot::HideOffline;
    case KeyAction::Sound:
        return settings.sound ? ToolbarSlot::SoundOn : ToolbarSlot::SoundOff;
    case KeyAction::Vibro:
        return settings.vibro ? ToolbarSlot::VibroOn : ToolbarSlot::VibroOff;
    case KeyAction::Scrolling:
        return settings.scrolling ? ToolbarSlot::ScrollingOn : ToolbarSlot::ScrollingOff;
    case KeyAction::Chat:
        return ToolbarSlot::Chat;
    case KeyAction::Info:
        return ToolbarSlot::Info;
    case KeyAction::Find:
        return ToolbarSlot::Find;
    case KeyAction::Settings:
        return ToolbarSlot::Settings;
    default:
        return std::nullopt;
    }
}

skin::ToolbarSlot DigitSlot(int key) { return static_cast<skin::ToolbarSlot>(static_cast<int>(skin::ToolbarSlot::B0) + key); }

WideString LeftSoftKeyLabel(std::int32_t action, bool showOffline)
{
    if (!IsAction(action))
        return u"QUIT";
    if (action == KeyAction::ShowOffline)
        return showOffline ? u"Hide Offline" : u"Show Offline";
    return WideString(DisplayTexts()[static_cast<std::size_t>(action)]).substr(0, 32);
}

}  // namespace keyactions
