// The contact list as the XML text of the cache file, and back.
//
//   <ContactList ModDate="-123" ItemCount="7">
//     <Group ID="1" Name="Friends">
//       <Contact ID="101" UIN="123456" Name="Ann" NotAuth="1"><Cache>unsent text</Cache></Contact>
//     </Group>
//     <Contact ID="0" UIN="654321"/>             (contacts outside every group)
//   </ContactList>
//
// Reading is tolerant, for files edited by hand: element names in any letter
// case, "HName" (the name as hexadecimal UTF-16 units) where "Name" is empty
// or missing, missing attributes taken per item. The root's own name is not
// checked.
#pragma once

#include <cstdint>
#include <string_view>

#include "oscar/ContactStore.h"
#include "platform/base/Types.h"

namespace store {

// The document text (no XML declaration) for the store's list date, list
// count, groups with their contacts, then the contacts outside every group.
// Takes the store's lock while it reads the store.
WideString ContactListToXml(ContactStore& store);

// Adds the groups and contacts of the document text to the store and sets
// the list date and count from the root's attributes. Text that does not
// parse adds nothing (false). The caller holds the store's lock and has
// emptied it.
bool ContactListFromXml(ContactStore& store, std::u16string_view text);

// Decimal attribute values: leading blanks, an optional sign, then digits;
// anything after the digits is ignored, no digits give 0, and values beyond
// 32 bits saturate. Fields narrower than 32 bits keep the low bits.
std::int32_t ParseDecimal(std::u16string_view text);

// The "HName" form of a name: four hexadecimal digits (either case) per
// UTF-16 unit, high digit first. Other characters are skipped, the name ends
// at a decoded zero unit, and trailing digits short of a unit are dropped.
WideString DecodeHexName(std::u16string_view hex);

}  // namespace store
