// The commands that change the server-stored list and ask for or grant
// authorisation. Every change is sent as a bracket: start of changes
// (0x13/0x11), the add, update or delete commands, end of changes (0x13/0x12).
#pragma once

#include <vector>

#include "oscar/Contact.h"
#include "oscar/ServerListItem.h"
#include "oscar/codec/CommandNumber.h"
#include "oscar/codec/FlapFrame.h"

namespace oscar {

// The item of a contact: type 0, name = UIN, its group and item id, 0x0066
// when not authorised, 0x0131 = nickname when it has one.
ServerListItem ContactItem(const Contact& contact);

// The item of a group: type 1, item id 0, the name, 0x00C8 = the item ids of
// its contacts in list order.
ServerListItem GroupItem(const ContactGroup& group);

// 0x13/0x08, 0x13/0x09 or 0x13/0x0A with the items.
RefPtr<FlapFrame> BuildListItems(CommandNumber command, const std::vector<ServerListItem>& items,
                                 std::uint32_t requestId = 0);
RefPtr<FlapFrame> BuildChangesBegin();
RefPtr<FlapFrame> BuildChangesEnd();

// 0x13/0x18: UIN, reason length, reason in the code page, 16-bit 0.
RefPtr<FlapFrame> BuildAuthorisationRequest(const WideString& uin, const WideString& reason, UINT codePage);
// 0x13/0x1A: UIN, 1 (granted), reason length, reason in the code page.
RefPtr<FlapFrame> BuildAuthorisationGrant(const WideString& uin, const WideString& reason, UINT codePage);

}  // namespace oscar
