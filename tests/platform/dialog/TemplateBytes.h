// A small writer of dialog-template bytes for the tests, able to write what
// the program's own writer never does (ordinal titles, atoms of every kind,
// broken fields).
#pragma once

#include <cstring>
#include <vector>

#include "platform/win/Dialog.h"

namespace dialogtest {

class TemplateBytes {
public:
    template <typename T>
    TemplateBytes& Put(T value)
    {
        std::size_t at = bytes.size();
        bytes.resize(at + sizeof value);
        std::memcpy(bytes.data() + at, &value, sizeof value);
        return *this;
    }
    TemplateBytes& String(std::u16string_view text)
    {
        for (char16_t unit : text)
            Put(static_cast<WORD>(unit));
        return Put(WORD{0});
    }
    TemplateBytes& Align()
    {
        while (bytes.size() % 4 != 0)
            bytes.push_back(0);
        return *this;
    }
    // Header: style, no extended style, count, position 0,0 and size.
    TemplateBytes& Header(DWORD style, WORD count, short cx, short cy)
    {
        return Put(style).Put(DWORD{0}).Put(count).Put(short{0}).Put(short{0}).Put(cx).Put(cy);
    }
    // An item's fixed part (on its 4-byte boundary).
    TemplateBytes& Item(DWORD style, WORD id, short x, short y, short cx, short cy)
    {
        return Align().Put(style).Put(DWORD{0}).Put(x).Put(y).Put(cx).Put(cy).Put(id);
    }
    TemplateBytes& Data(std::vector<BYTE> data)
    {
        Put(static_cast<WORD>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }

    std::vector<BYTE> bytes;
};

}  // namespace dialogtest
