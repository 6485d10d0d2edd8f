// Arbitrary bytes as a contact-list cache file: reading must never crash,
// and whatever it reads must save and read back to the same file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/ContactListCache.h"

namespace {

bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// A cached text of white space only is the one thing a save cannot carry:
// the reader drops text nodes that hold nothing but white space. Such texts
// are cleared (with the mark they raised) before comparing.
void ClearBlankCachedTexts(ContactStore& store)
{
    for (const RefPtr<Contact>& contact : store.Contacts()) {
        const WideString& text = contact->cachedText;
        if (!text.empty() && std::all_of(text.begin(), text.end(), IsXmlSpace)) {
            contact->cachedText.clear();
            store.SetMark(contact, false, 0);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto store = MakeRef<ContactStore>();
    store::DecodeContactListCache(*store, std::string_view(reinterpret_cast<const char*>(data), size));
    ClearBlankCachedTexts(*store);
    std::string saved = store::EncodeContactListCache(*store);
    auto again = MakeRef<ContactStore>();
    if (!store::DecodeContactListCache(*again, saved))
        std::abort();
    if (store::EncodeContactListCache(*again) != saved)
        std::abort();
    return 0;
}
