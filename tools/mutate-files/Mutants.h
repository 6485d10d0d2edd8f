// Deterministic damage to a file's bytes: each mutant is a truncation, a few
// flipped bits, a duplicated range or a deleted range of the original.
#pragma once

#include <cstdint>
#include <string>

namespace mutate {

// A small generator with a fixed sequence for a seed, the same on every
// machine and build.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed * 2 + 1) {}
    std::uint64_t Next();
    // A number in [0, bound); 0 when bound is 0.
    std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : static_cast<std::size_t>(Next() % bound); }

private:
    std::uint64_t m_state;
};

struct Mutant {
    std::string bytes;
    std::string how;  // e.g. "truncated to 120", for the failure report
};

// The index-th mutant: the kind of damage goes round with the index.
Mutant MakeMutant(const std::string& original, std::size_t index, Random& random);

}  // namespace mutate
