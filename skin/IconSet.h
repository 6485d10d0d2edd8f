// IconSet: the presence icons of an "*.Icons.xml" file, one bitmap per
// presence, shown beside names in the contact list and the status bar.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/RefCounted.h"
#include "platform/base/Types.h"
#include "skin/SkinImage.h"

namespace skin {

// The eight slots in file order; each is named by its element.
enum class IconSlot { Away, Dnd, FreeForChat, Invisible, NotAvailable, Occupied, Offline, Online };
constexpr std::size_t kIconSlotCount = 8;
std::u16string_view IconSlotName(IconSlot slot);

// The slot that shows a presence (OnlineStatus values); any value without a
// slot of its own shows as online.
IconSlot SlotForPresence(std::int32_t presence);

class IconSet : public virtual RefCounted {
public:
    IconSet() = default;

    // Reads the icon file folder + fileName. False only when the two do not
    // join to a path; a file that does not load leaves every slot empty.
    bool Load(const WideString& folder, const WideString& fileName);

    const WideString& Folder() const { return m_folder; }
    const WideString& FileName() const { return m_fileName; }
    const WideString& Description() const { return m_description; }

    // May be null.
    RefPtr<SkinImage> Icon(IconSlot slot) const { return m_slots[static_cast<std::size_t>(slot)]; }
    RefPtr<SkinImage> IconForPresence(std::int32_t presence) const { return Icon(SlotForPresence(presence)); }

private:
    WideString m_folder;
    WideString m_fileName;
    WideString m_description = u"Default Icons";
    std::array<RefPtr<SkinImage>, kIconSlotCount> m_slots;
};

}  // namespace skin
