#include "oscar/codec/CommandTable.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

#include "oscar/codec/SnacCommand.h"

namespace oscar {
namespace {

using D = CommandDirection;

// Indexed by CommandNumber; row 0 is unused.
constexpr std::array<CommandInfo, kLastCommandNumber + 1> kTable = {{
    {0, 0, D::None},
    {0x01, 0x01, D::Receive}, {0x01, 0x02, D::Send},    {0x01, 0x03, D::Receive}, {0x01, 0x04, D::Receive},
    {0x01, 0x06, D::Send},    {0x01, 0x07, D::Receive}, {0x01, 0x08, D::Send},    {0x01, 0x0E, D::Receive},
    {0x01, 0x0F, D::Receive}, {0x01, 0x11, D::None},    {0x01, 0x13, D::Receive}, {0x01, 0x17, D::Send},
    {0x01, 0x18, D::Receive}, {0x01, 0x1E, D::Send},    {0x02, 0x02, D::Send},    {0x02, 0x03, D::Receive},
    {0x02, 0x04, D::Send},    {0x03, 0x02, D::Send},    {0x03, 0x03, D::Receive}, {0x03, 0x04, D::Send},
    {0x03, 0x0B, D::Receive}, {0x03, 0x0C, D::Receive}, {0x04, 0x02, D::Send},    {0x04, 0x04, D::Send},
    {0x04, 0x05, D::Receive}, {0x04, 0x06, D::Send},    {0x04, 0x07, D::Receive}, {0x04, 0x0B, D::Receive},
    {0x04, 0x0C, D::Receive}, {0x04, 0x14, D::Both},    {0x07, 0x02, D::Receive}, {0x07, 0x03, D::Receive},
    {0x09, 0x02, D::Send},    {0x09, 0x03, D::Receive}, {0x0B, 0x02, D::Receive}, {0x13, 0x02, D::Send},
    {0x13, 0x03, D::Receive}, {0x13, 0x05, D::Send},    {0x13, 0x06, D::Receive}, {0x13, 0x07, D::Send},
    {0x13, 0x08, D::Both},    {0x13, 0x09, D::Both},    {0x13, 0x0A, D::Both},    {0x13, 0x0E, D::Receive},
    {0x13, 0x0F, D::Receive}, {0x13, 0x11, D::Receive}, {0x13, 0x12, D::Receive}, {0x13, 0x18, D::Send},
    {0x13, 0x19, D::Receive}, {0x13, 0x1A, D::Send},    {0x13, 0x1B, D::Receive}, {0x13, 0x1C, D::Receive},
    {0x15, 0x01, D::Receive}, {0x15, 0x02, D::Send},    {0x15, 0x03, D::Receive},
}};

bool InRange(CommandNumber number)
{
    auto value = static_cast<std::int32_t>(number);
    return value >= kFirstCommandNumber && value <= kLastCommandNumber;
}

std::uint32_t Key(std::uint16_t family, std::uint16_t subtype)
{
    return (std::uint32_t{family} << 16) | subtype;
}

struct ReverseEntry {
    std::uint32_t key;
    CommandNumber number;
};

// Sorted by key; built once (thread-safe static initialisation). When two
// rows share a key the later row wins.
const std::vector<ReverseEntry>& ReverseMap()
{
    static const std::vector<ReverseEntry> map = [] {
        std::vector<ReverseEntry> entries;
        for (std::int32_t n = kFirstCommandNumber; n <= kLastCommandNumber; ++n) {
            const CommandInfo& row = kTable[static_cast<std::size_t>(n)];
            entries.push_back({Key(row.family, row.subtype), static_cast<CommandNumber>(n)});
        }
        std::stable_sort(entries.begin(), entries.end(),
                         [](const ReverseEntry& a, const ReverseEntry& b) { return a.key < b.key; });
        std::vector<ReverseEntry> unique;
        for (const ReverseEntry& entry : entries) {
            if (!unique.empty() && unique.back().key == entry.key)
                unique.back() = entry;
            else
                unique.push_back(entry);
        }
        return unique;
    }();
    return map;
}

RefPtr<SnacCommand> MakeGeneric(CommandNumber number)
{
    return MakeRef<SnacCommand>(number);
}

// Registered factories; null means the generic class of the row.
std::array<std::atomic<SnacFactory>, kLastCommandNumber + 1>& Factories()
{
    static std::array<std::atomic<SnacFactory>, kLastCommandNumber + 1> factories{};
    return factories;
}

}  // namespace

std::optional<CommandInfo> FindCommand(CommandNumber number)
{
    if (!InRange(number))
        return std::nullopt;
    return kTable[static_cast<std::size_t>(number)];
}

CommandNumber LookupCommand(std::uint16_t family, std::uint16_t subtype)
{
    const std::vector<ReverseEntry>& map = ReverseMap();
    std::uint32_t key = Key(family, subtype);
    auto it = std::lower_bound(map.begin(), map.end(), key,
                               [](const ReverseEntry& entry, std::uint32_t k) { return entry.key < k; });
    return it != map.end() && it->key == key ? it->number : CommandNumber::Unknown;
}

bool RegisterSnacDecoder(CommandNumber number, SnacFactory factory)
{
    if (!InRange(number))
        return false;
    Factories()[static_cast<std::size_t>(number)].store(factory, std::memory_order_release);
    return true;
}

RefPtr<SnacCommand> CreateSnacDecoder(CommandNumber number)
{
    if (!InRange(number))
        return nullptr;
    SnacFactory factory = Factories()[static_cast<std::size_t>(number)].load(std::memory_order_acquire);
    return factory != nullptr ? factory() : MakeGeneric(number);
}

}  // namespace oscar
