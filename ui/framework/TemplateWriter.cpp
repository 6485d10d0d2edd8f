#include "ui/framework/TemplateWriter.h"

#include <cstring>

#include "ui/framework/CreationBlock.h"
#include "ui/framework/LayoutItem.h"
#include "ui/framework/WindowBase.h"

namespace uifw {
namespace {

constexpr DWORD kSetFont = 0x0040;
constexpr short kItemX = 0;
constexpr short kItemY = 0;
constexpr short kItemWidth = 20;
constexpr short kItemHeight = 10;

class Writer {
public:
    template <typename T>
    void Put(T value)
    {
        std::size_t at = m_bytes.size();
        m_bytes.resize(at + sizeof value);
        std::memcpy(m_bytes.data() + at, &value, sizeof value);
    }
    void String(const WideString& text)
    {
        for (char16_t unit : text)
            Put(static_cast<WORD>(unit));
        Put(WORD{0});
    }
    void Bytes(const std::vector<BYTE>& bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void AlignTo4()
    {
        while (m_bytes.size() % 4 != 0)
            m_bytes.push_back(0);
    }
    std::vector<BYTE> Take() { return std::move(m_bytes); }

private:
    std::vector<BYTE> m_bytes;
};

// The creation data must be one count word and exactly that many bytes.
bool WellFormedData(const std::vector<BYTE>& data)
{
    if (data.empty())
        return true;
    if (data.size() < sizeof(WORD))
        return false;
    WORD count = 0;
    std::memcpy(&count, data.data(), sizeof count);
    return data.size() == sizeof count + count;
}

}  // namespace

TemplateControl ControlTemplate(const ControlItem& item, WindowBase& object)
{
    TemplateControl control;
    control.style = item.Style();
    control.id = static_cast<WORD>(item.Id());
    control.atom = object.TemplateAtom();
    control.className = object.ClassName();
    control.caption = item.Caption();
    CreationBlock block = MakeCreationBlock(&object);
    control.creationData.assign(block.begin(), block.end());
    return control;
}

std::optional<std::vector<BYTE>> WriteDialogTemplate(const TemplateHeader& header,
                                                     const std::vector<TemplateControl>& controls)
{
    if (controls.size() > 0xFFFF)
        return std::nullopt;
    Writer out;
    out.Put(static_cast<DWORD>(header.style | kSetFont));
    out.Put(DWORD{0});
    out.Put(static_cast<WORD>(controls.size()));
    out.Put(short{0});
    out.Put(short{0});
    out.Put(header.cx);
    out.Put(header.cy);
    out.Put(WORD{0});  // no menu
    if (header.className.empty())
        out.Put(WORD{0});
    else
        out.String(header.className);
    out.String(header.title);
    out.Put(header.pointSize);
    out.String(header.faceName);
    for (const TemplateControl& control : controls) {
        if (!WellFormedData(control.creationData))
            return std::nullopt;
        out.AlignTo4();
        out.Put(control.style);
        out.Put(DWORD{0});
        out.Put(kItemX);
        out.Put(kItemY);
        out.Put(kItemWidth);
        out.Put(kItemHeight);
        out.Put(control.id);
        if (control.atom != 0 && control.atom != 0xFFFF) {
            out.Put(WORD{0xFFFF});
            out.Put(control.atom);
        } else {
            out.String(control.className);
        }
        out.String(control.caption);
        if (control.creationData.empty())
            out.Put(WORD{0});
        else
            out.Bytes(control.creationData);
    }
    return out.Take();
}

}  // namespace uifw
