#include "tools/mutate-files/Mutants.h"

#include <algorithm>

namespace mutate {

namespace {

// Ranges that are duplicated or deleted are short: long enough to cut an
// element or a record in two, short enough to keep the rest intact.
constexpr std::size_t kLongestRange = 64;
constexpr std::size_t kMostBitFlips = 8;

std::pair<std::size_t, std::size_t> PickRange(const std::string& bytes, Random& random)
{
    std::size_t start = random.Below(bytes.size());
    std::size_t length = 1 + random.Below(std::min(kLongestRange, bytes.size() - start));
    return {start, length};
}

}  // namespace

std::uint64_t Random::Next()
{
    // xorshift64*
    m_state ^= m_state >> 12;
    m_state ^= m_state << 25;
    m_state ^= m_state >> 27;
    return m_state * 0x2545F4914F6CDD1DULL;
}

Mutant MakeMutant(const std::string& original, std::size_t index, Random& random)
{
    Mutant mutant{original, {}};
    if (original.empty())
        return mutant;
    switch (index % 4) {
    case 0: {
        std::size_t keep = random.Below(original.size());
        mutant.bytes.resize(keep);
        mutant.how = "truncated to " + std::to_string(keep);
        break;
    }
    case 1: {
        std::size_t flips = 1 + random.Below(kMostBitFlips);
        mutant.how = "bits flipped at";
        for (std::size_t i = 0; i < flips; ++i) {
            std::size_t at = random.Below(original.size());
            mutant.bytes[at] = static_cast<char>(mutant.bytes[at] ^ (1 << random.Below(8)));
            mutant.how += " " + std::to_string(at);
        }
        break;
    }
    case 2: {
        auto [start, length] = PickRange(original, random);
        std::size_t at = random.Below(original.size() + 1);
        mutant.bytes.insert(at, original, start, length);
        mutant.how = "bytes " + std::to_string(start) + "+" + std::to_string(length) + " copied to " + std::to_string(at);
        break;
    }
    default: {
        auto [start, length] = PickRange(original, random);
        mutant.bytes.erase(start, length);
        mutant.how = "bytes " + std::to_string(start) + "+" + std::to_string(length) + " deleted";
        break;
    }
    }
    return mutant;
}

}  // namespace mutate
