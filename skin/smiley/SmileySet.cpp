#include "skin/smiley/SmileySet.h"

#include "app/AppGlobals.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlText.h"
#include "skin/ResourceFolder.h"

namespace skin {

SmileySet::SmileySet(WideString fileName, WideString programFolder)
    : m_fileName(std::move(fileName)), m_programFolder(std::move(programFolder))
{
}

void SmileySet::Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    WideString fileName = m_fileName.empty() ? WideString(kDefaultSmileyFile) : m_fileName;
    WideString programFolder = m_programFolder.empty() ? app::AppFolder() : m_programFolder;
    m_folder = FindSetFolder(programFolder, u"Smilies", fileName);
    WideString path = JoinPath(m_folder, fileName);
    if (path.empty() || FileSizeOf(path) > kMaxSetFileBytes)
        return;
    platform::xml::XmlDocument document;
    if (document.LoadFile(path))
        ReadRoot(document.SelectSingleNode(u"/smilies"));
}

void SmileySet::LoadText(std::u16string_view xml, const WideString& folder)
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_folder = folder;
    platform::xml::XmlDocument document;
    if (document.LoadText(xml))
        ReadRoot(document.SelectSingleNode(u"/smilies"));
}

void SmileySet::ReadRoot(const platform::xml::XmlNode& root)
{
    if (root.IsNull())
        return;
    if (auto description = platform::xml::ChildTextValue(root, u"desc"))
        m_description = *description;
    for (platform::xml::XmlNode child = root.FirstChild(); !child.IsNull(); child = child.NextSibling()) {
        if (child.Kind() == platform::xml::NodeKind::Element && child.Name() == u"smile")
            ReadSmile(child);
    }
}

// One smile element: its attributes count for the set's two flags even when
// it adds no smiley. Empty codes (and codes the trie refuses) are passed
// over, so the smiley's code is its first code that can be typed.
void SmileySet::ReadSmile(const platform::xml::XmlNode& smile)
{
    WideString file = smile.Attribute(u"file").value_or(WideString());
    WideString description = smile.Attribute(u"desc").value_or(WideString());
    if (!file.empty())
        m_textOnly = false;
    if (!description.empty())
        m_hasDescriptions = true;
    if (m_smilies.size() >= kMaxSmilies)
        return;
    auto index = static_cast<std::uint32_t>(m_smilies.size());
    WideString firstCode;
    for (platform::xml::XmlNode text = smile.FirstChild(); !text.IsNull(); text = text.NextSibling()) {
        if (text.Kind() != platform::xml::NodeKind::Element || text.Name() != u"text")
            continue;
        WideString code = text.Text();
        if (m_trie.Insert(code, index) && firstCode.empty())
            firstCode = std::move(code);
    }
    if (!firstCode.empty())
        m_smilies.push_back(MakeRef<Smiley>(std::move(firstCode), std::move(description), m_folder, file));
}

std::size_t SmileySet::Count()
{
    Load();
    return m_smilies.size();
}

RefPtr<Smiley> SmileySet::At(std::size_t i)
{
    Load();
    return i < m_smilies.size() ? m_smilies[i] : RefPtr<Smiley>();
}

bool SmileySet::TextOnly()
{
    Load();
    return m_textOnly;
}

bool SmileySet::HasDescriptions()
{
    Load();
    return m_hasDescriptions;
}

const WideString& SmileySet::Description()
{
    Load();
    return m_description;
}

SmileyMatch SmileySet::Match(std::u16string_view text, std::size_t position) const
{
    SmileyTrie::Walk walk = m_trie.Match(text, position);
    SmileyMatch match;
    match.walked = walk.walked;
    if (walk.smiley < m_smilies.size())
        match.smiley = m_smilies[walk.smiley];
    return match;
}

}  // namespace skin
