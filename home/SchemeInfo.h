// The current home-screen scheme as the installer sees it: the file that the
// device's configuration manager names as the current scheme, that file's
// document, and what the document says about the plug-in's row.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"
#include "platform/xml/XmlDocument.h"

namespace home {

// The plug-in's COM class, as the scheme's `plugin` elements name it.
inline constexpr const WCHAR* kPluginClassId = u"{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}";
// A scheme is a few rows of XML; a larger file is not taken for one.
inline constexpr std::int64_t kMaxSchemeBytes = 1 << 20;

// The error texts of the installer, shown in a message box titled "Error".
namespace errors {
inline constexpr const WCHAR* kCreateDocument = u"Can't create XmlDocument object";
inline constexpr const WCHAR* kQuery = u"Can't query metadata";
inline constexpr const WCHAR* kLoadAnswer = u"Can't load metadata";
inline constexpr const WCHAR* kBadAnswer = u"Bad metadata";
inline constexpr const WCHAR* kEmptyPath = u"Empty schema filename";
inline constexpr const WCHAR* kLoadScheme = u"Can't load current schema document";
inline constexpr const WCHAR* kAppFolder = u"Can't get app folder path";
inline constexpr const WCHAR* kSaveScheme = u"Can't save schema file";
inline constexpr const WCHAR* kApply = u"Can't change home screen layout";
inline constexpr const WCHAR* kNotOwn = u"Can't delete current scheme";
inline constexpr const WCHAR* kNoOldScheme = u"Previous scheme name is unknown. Please select another scheme";
}  // namespace errors

struct SchemeInfo {
    WideString path;
    std::unique_ptr<platform::xml::XmlDocument> document;
    // The file is one this program wrote: its name starts with "Corvane".
    bool isOwn = false;
    // The number after "Corvane" in an own file's name (0 without one).
    std::int32_t number = -1;
    // The names of the other plug-ins' rows, top to bottom.
    std::vector<WideString> otherPlugins;
    // Index of the plug-in's row among all `plugin` elements, -1 without one.
    std::int32_t ownPosition = -1;
    bool autoHeight = true;
    WideString height = u"25";
    std::int32_t borderMode = 0;
    // The scheme that was current before this program's first install.
    WideString oldScheme;
};

// The current scheme, or the error text that stops a flow.
struct SchemeReading {
    SchemeInfo info;
    WideString error;

    bool Ok() const { return error.empty(); }
};

// Asks the configuration manager for the current scheme and loads it.
SchemeReading ReadCurrentScheme();

// The scheme path in the configuration manager's answer to the query; empty
// with `error` set when the answer does not carry a usable one.
WideString SchemePathFromAnswer(std::u16string_view answer, WideString& error);

// Loads the scheme file at `path` into `info` and reads the plug-in's row
// from it. False with `error` set for a missing, oversized or ill-formed
// file, and for one whose document element is not `home`.
bool LoadScheme(const WideString& path, SchemeInfo& info, WideString& error);

// Fills `info` from its loaded document and path (the fields LoadScheme
// reads); false when the document element is not `home`.
bool ReadScheme(SchemeInfo& info);

// The file name of a path: what follows its last '/' or '\'.
WideString FileNameOf(const WideString& path);

}  // namespace home
