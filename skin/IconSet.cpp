#include "skin/IconSet.h"

#include "oscar/OnlineStatus.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlText.h"
#include "skin/ResourceFolder.h"

namespace skin {

std::u16string_view IconSlotName(IconSlot slot)
{
    static constexpr std::u16string_view kNames[kIconSlotCount] = {
        u"away", u"dnd", u"free4chat", u"invisible", u"na", u"occupied", u"offline", u"online"};
    return kNames[static_cast<std::size_t>(slot)];
}

IconSlot SlotForPresence(std::int32_t presence)
{
    switch (presence) {
    case OnlineStatus::Offline:
        return IconSlot::Offline;
    case OnlineStatus::Away:
        return IconSlot::Away;
    case OnlineStatus::DoNotDisturb:
        return IconSlot::Dnd;
    case OnlineStatus::NotAvailable:
        return IconSlot::NotAvailable;
    case OnlineStatus::Occupied:
        return IconSlot::Occupied;
    case OnlineStatus::FreeForChat:
        return IconSlot::FreeForChat;
    case OnlineStatus::Invisible:
        return IconSlot::Invisible;
    default:
        return IconSlot::Online;
    }
}

bool IconSet::Load(const WideString& folder, const WideString& fileName)
{
    m_folder = folder;
    m_fileName = fileName;
    WideString path = JoinPath(folder, fileName);
    if (path.empty())
        return false;
    platform::xml::XmlDocument document;
    if (FileSizeOf(path) > kMaxSetFileBytes || !document.LoadFile(path))
        return true;
    platform::xml::XmlNode root = document.SelectSingleNode(u"/icons");
    if (root.IsNull())
        return true;
    if (auto description = platform::xml::ChildTextValue(root, u"desc"))
        m_description = *description;
    for (std::size_t i = 0; i < kIconSlotCount; ++i) {
        m_slots[i] = nullptr;
        auto name = platform::xml::ChildTextValue(root, IconSlotName(static_cast<IconSlot>(i)));
        if (name && !name->empty())
            m_slots[i] = MakeRef<SkinImage>(m_folder, *name);
    }
    return true;
}

}  // namespace skin
