// Reading an in-memory dialog template (layout in platform/win/Dialog.h)
// into plain data. Every field is checked against the buffer size: a count,
// string or length that runs past the end, an unterminated string or an
// unknown predefined class makes the whole template invalid, and nothing
// outside the buffer is read.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/base/Types.h"

namespace platform::dialog {

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    WORD id = 0;
    WideString className;  // predefined atoms become their class names
    WideString title;      // a resource ordinal title reads as empty
    // The creation data with its 16-bit count first; empty when the count
    // is 0.
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    WORD menuOrdinal = 0;      // a menu named by ordinal
    WideString menuName;       // or by name
    WORD classAtom = 0;        // the dialog's class by atom (0: by name or default)
    WideString className;      // empty with classAtom 0: the default dialog class
    WideString title;
    WORD pointSize = 0;        // with DS_SETFONT
    WideString faceName;
    std::vector<TemplateItem> items;
};

// The class name of a predefined control atom (0x0080-0x0085), or null.
const WCHAR* PredefinedClassName(WORD atom);

// The template in data[0, size), or nothing when it is malformed.
std::optional<DialogTemplate> ReadDialogTemplate(const BYTE* data, std::size_t size);

}  // namespace platform::dialog
