// A home-screen scheme: the layout file that lists the rows of the home
// screen, top to bottom.
//
//   <home>
//     <title>Home</title>                       names the screen (the first one counts)
//     <default><format font-size="14" .../></default>   row format handed to plug-ins
//     <datetime height="24"/>                   built-in row: the date and the time
//     <operator name="Sim Mobile" height="22"/> built-in row: the network operator's name
//     <plugin clsid="{...}" name="..." height="25" autoheight="False" show-b-border="1"/>
//   </home>
//
// Other elements under `home` are ignored. A scheme that cannot be read
// (missing, too large, ill-formed, no `home` element) reads as the built-in
// default scheme, with the reason kept in `error`.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/Com.h"
#include "platform/xml/XmlDocument.h"

namespace homescreen {

// Larger scheme files are refused unread; a phone's layout is a few KB.
inline constexpr std::size_t kMaxSchemeBytes = 256u * 1024u;
// Rows beyond this count are ignored (each plug-in row loads a library).
inline constexpr std::size_t kMaxRows = 32;
// Heights are bounded so one row cannot push the others off any screen.
inline constexpr int kMaxRowHeight = 320;
inline constexpr int kDefaultRowHeight = 22;

enum class RowKind { DateTime, Operator, Plugin };

struct SchemeRow {
    RowKind kind = RowKind::DateTime;
    platform::xml::XmlNode node;  // the row's element in Scheme::document
    int height = kDefaultRowHeight;
    WideString name;              // operator name, or the plug-in's name
    std::optional<CLSID> clsid;   // plug-in rows; none when the attribute is not a class id
};

struct Scheme {
    std::unique_ptr<platform::xml::XmlDocument> document = std::make_unique<platform::xml::XmlDocument>();
    WideString title = u"Home";
    platform::xml::XmlNode defaultFormat;  // /home/default/format, or null
    std::vector<SchemeRow> rows;
    std::string error;  // empty when the file itself was shown
};

// The scheme of a file; the built-in default when the file cannot be used.
Scheme ReadScheme(const WideString& path);
// The built-in default scheme: the date and time, and the operator's name.
Scheme DefaultScheme();
// Its text, as written to a fresh device's Home folder.
std::u16string_view DefaultSchemeText();

}  // namespace homescreen
