// The new scheme: the current scheme's document with the plug-in's row put
// where the user placed it, saved under a file name of its own in the
// device's Home folder, and made the current scheme through the
// configuration manager.
#pragma once

#include <cstdint>

#include "home/SchemeInfo.h"

namespace home {

// What the setup dialogs decide about the plug-in's row.
struct PluginPlacement {
    // Index among the other plug-ins' rows; their count (or more) means last.
    std::int32_t position = 0;
    bool autoHeight = true;
    WideString height = u"25";
    // 0 "Default", 1 "On", 2 "Off".
    std::int32_t borderMode = 0;
};

// "Corvane", the next scheme number, and the rest of the name: tahoma.xml
// gives Corvane.tahoma.xml, which gives Corvane1.tahoma.xml.
WideString NewSchemeFileName(const SchemeInfo& info);

// Puts the plug-in's row into the scheme's `home` element: every title is
// marked as this program's, any earlier row of the plug-in goes, and the new
// row goes in at the placement's position, recording `oldScheme`.
void PlacePlugin(platform::xml::XmlDocument& document, const PluginPlacement& placement,
                 const WideString& oldScheme);

// Places the row in `info`'s document and saves it in the Home folder of the
// application-data folder. The new file's path, or empty with `error` set.
// The file is written whole or not at all.
WideString SaveNewScheme(SchemeInfo& info, const PluginPlacement& placement, const WideString& oldScheme,
                         WideString& error);

// Makes the scheme at `path` the current one; the error text, or empty.
WideString ApplyScheme(const WideString& path);

// The provisioning document that sets the current scheme.
WideString SetSchemeDocument(const WideString& path);

}  // namespace home
