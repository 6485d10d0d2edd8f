// SmileySet: the smilies of a "*.Smilies.xml" file, in file order, and the
// trie of all their codes. The set is read on its first use (any accessor
// below but Match) and only once, even when that fails: a missing or broken
// file leaves an empty set, which pickers and message layout treat as "no
// smilies".
//
// The file lies in a subfolder of the program folder's "Smilies" folder,
// found by the resource folder search; the pictures it names are files of
// that subfolder. Its form:
//
//   <smilies>
//     <desc>set description</desc>
//     <smile file="smile.bmp" desc="Smile"><text>:)</text><text>:-)</text></smile>
//     ...
//   </smilies>
//
// Interface thread only.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "app/RefCounted.h"
#include "platform/base/Types.h"
#include "platform/xml/XmlNode.h"
#include "skin/smiley/Smiley.h"
#include "skin/smiley/SmileyTrie.h"

namespace skin {

// The file a set with an empty file name reads.
inline constexpr std::u16string_view kDefaultSmileyFile = u"Default.Smilies.xml";
// Most smilies one set holds; later ones in the file are left out.
constexpr std::size_t kMaxSmilies = 8192;

struct SmileyMatch {
    RefPtr<Smiley> smiley;   // null when no smiley starts at the position
    std::size_t walked = 0;  // characters the walk took, also when it found none
};

class SmileySet : public virtual RefCounted {
public:
    // `programFolder` empty: the program's own folder, taken when the set
    // is read.
    explicit SmileySet(WideString fileName, WideString programFolder = {});

    // Reads the file unless that was tried before.
    void Load();
    // Reads a document already in memory instead of the file, the pictures
    // named relative to `folder`. Only on a set that has not been read.
    void LoadText(std::u16string_view xml, const WideString& folder);
    bool Loaded() const { return m_loaded; }

    // Each reads the set first when needed.
    std::size_t Count();
    // Null when i is out of range.
    RefPtr<Smiley> At(std::size_t i);
    // True while no smiley names a picture: codes in messages stay text and
    // the text picker is used.
    bool TextOnly();
    bool HasDescriptions();
    const WideString& Description();

    // The smiley whose code starts at `position` of `text` (see SmileyTrie
    // for the walk). Does not read the set: the caller loads it first.
    SmileyMatch Match(std::u16string_view text, std::size_t position) const;

    const WideString& FileName() const { return m_fileName; }
    // The set's folder once read; empty when the file was not found.
    const WideString& Folder() const { return m_folder; }
    std::size_t TrieNodes() const { return m_trie.NodeCount(); }

protected:
    ~SmileySet() override = default;

private:
    void ReadRoot(const platform::xml::XmlNode& root);
    void ReadSmile(const platform::xml::XmlNode& smile);

    WideString m_fileName;
    WideString m_programFolder;
    WideString m_folder;
    bool m_loaded = false;
    WideString m_description;
    std::vector<RefPtr<Smiley>> m_smilies;
    SmileyTrie m_trie;
    bool m_textOnly = true;
    bool m_hasDescriptions = false;
};

}  // namespace skin
