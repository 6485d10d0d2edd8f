// The dialog-template reader: a cursor over a bounded buffer whose every
// read checks the bytes left first.
#include "platform/dialog/DialogTemplate.h"

#include <cstring>

#include "platform/win/Dialog.h"

namespace platform::dialog {
namespace {

constexpr DWORD kSetFont = 0x0040;

class Cursor {
public:
    Cursor(const BYTE* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Word(WORD& value) { return Bytes(&value, sizeof value); }
    bool Dword(DWORD& value) { return Bytes(&value, sizeof value); }
    bool Short(short& value) { return Bytes(&value, sizeof value); }

    bool Bytes(void* out, std::size_t count)
    {
        if (count > m_size - m_offset)
            return false;
        if (count != 0)
            std::memcpy(out, m_data + m_offset, count);
        m_offset += count;
        return true;
    }

    // A zero-terminated UTF-16 string; false when no terminator comes
    // before the end.
    bool String(WideString& out)
    {
        out.clear();
        for (;;) {
            WORD unit = 0;
            if (!Word(unit))
                return false;
            if (unit == 0)
                return true;
            out.push_back(static_cast<WCHAR>(unit));
        }
    }

    // 0x0000 (nothing), 0xFFFF and an ordinal, or a string.
    bool NameOrOrdinal(WORD& ordinal, WideString& name)
    {
        ordinal = 0;
        name.clear();
        WORD first = 0;
        if (!Peek(first))
            return false;
        if (first == 0x0000) {
            m_offset += 2;
            return true;
        }
        if (first == 0xFFFF) {
            m_offset += 2;
            return Word(ordinal);
        }
        return String(name);
    }

    bool AlignTo4()
    {
        std::size_t aligned = (m_offset + 3) & ~static_cast<std::size_t>(3);
        if (aligned > m_size)
            return false;
        m_offset = aligned;
        return true;
    }

private:
    bool Peek(WORD& value) const
    {
        if (sizeof value > m_size - m_offset)
            return false;
        std::memcpy(&value, m_data + m_offset, sizeof value);
        return true;
    }

    const BYTE* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

bool ReadItem(Cursor& in, TemplateItem& item)
{
    if (!in.AlignTo4() || !in.Dword(item.style) || !in.Dword(item.exStyle) || !in.Short(item.x) ||
        !in.Short(item.y) || !in.Short(item.cx) || !in.Short(item.cy) || !in.Word(item.id))
        return false;
    WORD atom = 0;
    if (!in.NameOrOrdinal(atom, item.className))
        return false;
    if (atom != 0) {
        const WCHAR* name = PredefinedClassName(atom);
        if (name == nullptr)
            return false;
        item.className = name;
    }
    if (item.className.empty())
        return false;
    WORD titleOrdinal = 0;
    if (!in.NameOrOrdinal(titleOrdinal, item.title))
        return false;
    WORD dataCount = 0;
    if (!in.Word(dataCount))
        return false;
    if (dataCount == 0)
        return true;
    item.creationData.resize(sizeof dataCount + dataCount);
    std::memcpy(item.creationData.data(), &dataCount, sizeof dataCount);
    return in.Bytes(item.creationData.data() + sizeof dataCount, dataCount);
}

}  // namespace

const WCHAR* PredefinedClassName(WORD atom)
{
    switch (atom) {
    case 0x0080:
        return u"BUTTON";
    case 0x0081:
        return u"EDIT";
    case 0x0082:
        return u"STATIC";
    case 0x0083:
        return u"LISTBOX";
    case 0x0084:
        return u"SCROLLBAR";
    case 0x0085:
        return u"COMBOBOX";
    default:
        return nullptr;
    }
}

std::optional<DialogTemplate> ReadDialogTemplate(const BYTE* data, std::size_t size)
{
    if (data == nullptr)
        return std::nullopt;
    Cursor in(data, size);
    DialogTemplate result;
    WORD count = 0;
    if (!in.Dword(result.style) || !in.Dword(result.exStyle) || !in.Word(count) || !in.Short(result.x) ||
        !in.Short(result.y) || !in.Short(result.cx) || !in.Short(result.cy))
        return std::nullopt;
    if (!in.NameOrOrdinal(result.menuOrdinal, result.menuName) ||
        !in.NameOrOrdinal(result.classAtom, result.className))
        return std::nullopt;
    WORD titleOrdinal = 0;
    if (!in.NameOrOrdinal(titleOrdinal, result.title))
        return std::nullopt;
    if ((result.style & kSetFont) != 0 && (!in.Word(result.pointSize) || !in.String(result.faceName)))
        return std::nullopt;
    // Each item takes at least its fixed part; a count the buffer cannot
    // hold fails before anything is reserved for it.
    if (count > size / sizeof(DLGITEMTEMPLATE))
        return std::nullopt;
    result.items.resize(count);
    for (TemplateItem& item : result.items) {
        if (!ReadItem(in, item))
            return std::nullopt;
    }
    return result;
}

}  // namespace platform::dialog
