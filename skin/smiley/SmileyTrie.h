// SmileyTrie: the codes of a smiley set, one character (UTF-16 code unit)
// per step, so that finding the smiley that starts at a position of a text
// costs one look-up per character walked, whatever the number of smilies.
//
// A node's children are kept sorted by character. The root never carries a
// smiley, so an empty code is refused. The walk of Match never steps back:
// it follows the text as far as the trie has children and answers the
// smiley of the node where it stopped, if any.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace skin {

// Longest code that is stored, and the most nodes a trie grows to; a code
// beyond either limit is not inserted (the rest of the set stays usable).
constexpr std::size_t kMaxSmileyCodeLength = 256;
constexpr std::size_t kMaxSmileyTrieNodes = 1u << 17;

class SmileyTrie {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Walk {
        std::uint32_t smiley = kNone;  // what the caller inserted, or kNone
        std::size_t walked = 0;        // characters walked from the position
    };

    SmileyTrie();

    // Makes the node at the end of `code` lead to `smiley`, replacing what an
    // earlier code of the same text led to. False (nothing changed) for an
    // empty or over-long code or when the node limit would be passed.
    bool Insert(std::u16string_view code, std::uint32_t smiley);

    // The walk from `position` of `text` (a position at or past the end walks
    // nothing).
    Walk Match(std::u16string_view text, std::size_t position) const;

    std::size_t NodeCount() const { return m_nodes.size(); }

private:
    struct Node {
        std::vector<std::pair<char16_t, std::uint32_t>> children;  // sorted by character
        std::uint32_t smiley = kNone;
    };

    // The child of node `index` for `c`, or kNone.
    std::uint32_t Child(std::uint32_t index, char16_t c) const;
    std::size_t NewNodesFor(std::u16string_view code) const;

    std::vector<Node> m_nodes;  // m_nodes[0] is the root
};

}  // namespace skin
