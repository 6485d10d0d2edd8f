// The display order of contacts, shared by the contact store and the
// contact-list view: contacts that need attention first, online before
// offline, then the display name (an empty one first) and the UIN by the
// user's locale.
#pragma once

#include "oscar/Contact.h"

namespace oscar {

// A raised mark, unread messages, a typing notice or an unanswered request
// for authorisation.
bool NeedsAttention(const Contact& contact);

// The nickname, or the UIN when there is none.
const WideString& DisplayName(const Contact& contact);

// True when a sorts before b. Reads the contacts' fields: call under the
// store's lock.
bool SortsBefore(const Contact& a, const Contact& b);

}  // namespace oscar
