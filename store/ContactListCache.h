// The contact-list cache: one file per account in the program folder, named
// after the owner's UIN ("123456.xml"), holding the list as XML text in
// UTF-16 little-endian after the byte-order mark FF FE. It lets the list show
// before (or without) a download and lets the sign-on tell the server which
// version of the list the program already holds.
//
// Both operations open the file without sharing. A file that another handle
// holds is retried every 100 ms, at most kCacheOpenAttempts times; every
// other failure is quiet.
#pragma once

#include <string>
#include <string_view>

#include "oscar/ContactStore.h"
#include "oscar/IcqAccount.h"
#include "platform/base/Types.h"

namespace store {

// Attempts to open a cache file that another handle holds (about 5 s of
// device time): a load or save holds it only while it copies the bytes, so a
// longer wait means the holder is stuck.
constexpr int kCacheOpenAttempts = 50;
constexpr DWORD kCacheRetryMilliseconds = 100;

// A cache file larger than this is not a cache this program wrote (a list of
// thousands of contacts takes a few megabytes); it is read as no file.
constexpr std::size_t kMaxCacheBytes = 64u << 20;

// folder (with its trailing separator) + owner UIN + ".xml".
WideString ContactListCachePath(const WideString& folder, const WideString& ownerUin);

// The whole file: FF FE and the document text, two bytes per character.
std::string EncodeContactListCache(ContactStore& store);

// Replaces the store's groups and contacts with those of the file bytes and
// sets the list date and count from them. Bytes of 2 or fewer, or text that
// does not parse, leave the store empty. The byte-order mark is skipped
// unchecked; the text ends at its first zero character; an odd last byte is
// ignored. Holds the store's lock throughout. False when nothing was read.
bool DecodeContactListCache(ContactStore& store, std::string_view bytes);

// Writes the cache file from the store. The new text is written to a
// temporary file that is renamed over the old one, so a save that fails half
// way leaves the previous cache whole. False when the file could not be
// written (callers drop the save silently).
bool SaveContactListCache(ContactStore& store, const WideString& folder, const WideString& ownerUin);

// Fills the store from the cache file, holding the store's lock throughout.
// A missing file is created empty; a missing, short, unreadable or broken
// file leaves the store without groups and contacts. False in those cases.
bool LoadContactListCache(ContactStore& store, const WideString& folder, const WideString& ownerUin);

// The cache operations as the account object calls them, on files in the
// program folder (app::AppFolder() at the time of the call).
IcqAccount::CacheFile ProgramFolderCacheFile();

}  // namespace store
