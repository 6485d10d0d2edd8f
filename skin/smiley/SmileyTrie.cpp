#include "skin/smiley/SmileyTrie.h"

#include <algorithm>

namespace skin {
namespace {

bool ByCharacter(const std::pair<char16_t, std::uint32_t>& entry, char16_t c) { return entry.first < c; }

}  // namespace

SmileyTrie::SmileyTrie() : m_nodes(1) {}

std::uint32_t SmileyTrie::Child(std::uint32_t index, char16_t c) const
{
    const auto& children = m_nodes[index].children;
    auto it = std::lower_bound(children.begin(), children.end(), c, ByCharacter);
    return it != children.end() && it->first == c ? it->second : kNone;
}

std::size_t SmileyTrie::NewNodesFor(std::u16string_view code) const
{
    std::uint32_t node = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        node = Child(node, code[i]);
        if (node == kNone)
            return code.size() - i;
    }
    return 0;
}

bool SmileyTrie::Insert(std::u16string_view code, std::uint32_t smiley)
{
    if (code.empty() || code.size() > kMaxSmileyCodeLength)
        return false;
    if (m_nodes.size() + NewNodesFor(code) > kMaxSmileyTrieNodes)
        return false;
    std::uint32_t node = 0;
    for (char16_t c : code) {
        std::uint32_t next = Child(node, c);
        if (next == kNone) {
            next = static_cast<std::uint32_t>(m_nodes.size());
            m_nodes.emplace_back();
            auto& children = m_nodes[node].children;
            children.insert(std::lower_bound(children.begin(), children.end(), c, ByCharacter), {c, next});
        }
        node = next;
    }
    m_nodes[node].smiley = smiley;
    return true;
}

SmileyTrie::Walk SmileyTrie::Match(std::u16string_view text, std::size_t position) const
{
    Walk walk;
    std::uint32_t node = 0;
    while (position < text.size()) {
        std::uint32_t next = Child(node, text[position]);
        if (next == kNone)
            break;
        node = next;
        ++walk.walked;
        ++position;
    }
    walk.smiley = m_nodes[node].smiley;
    return walk;
}

}  // namespace skin
