// The set files found on the device: every icon, smiley or skin file one
// level below the program folder's "Icons", "Smilies" or "Skin" folder, for
// the screen that lets the user choose among them.
#pragma once

#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace skin {

// One set file: its own folder's name, its file name and its full path.
struct SetFile {
    WideString subfolder;
    WideString fileName;
    WideString path;
};

// The kinds of set files, with the folder below the program folder and the
// ending of their file names.
struct SetKind {
    std::u16string_view folder;
    std::u16string_view suffix;
};
inline constexpr SetKind kIconSets{u"Icons", u".Icons.xml"};
inline constexpr SetKind kSmileySets{u"Smilies", u".Smilies.xml"};
inline constexpr SetKind kSkinSets{u"Skin", u".Skin.xml"};

// Every regular file whose name ends with the kind's suffix (in any letter
// case), in each subfolder of programFolder + kind's folder, subfolders and
// files in the order the file system lists them. For skins, the override
// files ("Override.<name>") are left out: they are not skins of their own.
std::vector<SetFile> ListSetFiles(const WideString& programFolder, const SetKind& kind);

// True for the file name of a skin's override file.
bool IsOverrideFileName(std::u16string_view fileName);

}  // namespace skin
