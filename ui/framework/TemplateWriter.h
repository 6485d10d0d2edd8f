// Writes an in-memory dialog template (the layout platform/win/Dialog.h
// describes) from a header and a list of controls.
#pragma once

#include <optional>
#include <vector>

#include "platform/win/Window.h"

class ControlItem;
class WindowBase;

namespace uifw {

struct TemplateHeader {
    DWORD style = 0;  // DS_SETFONT is always added
    short cx = 0;     // dialog units
    short cy = 0;
    WideString className;
    WideString title;
    WORD pointSize = 0;
    WideString faceName;
};

struct TemplateControl {
    DWORD style = 0;
    WORD id = 0;
    WORD atom = 0;  // a predefined class atom, or 0 / 0xFFFF to write className
    WideString className;
    WideString caption;
    std::vector<BYTE> creationData;  // starts with its own 16-bit count, or empty
};

// A control's entry: its item's style, id and caption, its object's class
// (atom or name) and the creation block that leads to the object.
TemplateControl ControlTemplate(const ControlItem& item, WindowBase& object);

// The template bytes; nothing when a count or size does not fit its field.
// Each control's creationData is written as it is: it must start with its
// own 16-bit count (as the creation block does).
std::optional<std::vector<BYTE>> WriteDialogTemplate(const TemplateHeader& header,
                                                     const std::vector<TemplateControl>& controls);

}  // namespace uifw
