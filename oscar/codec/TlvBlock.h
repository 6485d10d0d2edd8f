// Reading a run of TLV items out of received bytes (SNAC data, list items,
// user information) without copying them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "oscar/codec/Tlv.h"

namespace oscar {

class ByteReader;

struct TlvView {
    std::uint16_t type = 0;
    std::span<const std::uint8_t> value;
};

// Reads one item (type, length, value) at the reader's position. False, with
// the reader failed, when the header or the value runs past the end.
bool ReadTlv(ByteReader& reader, TlvView& item);

// Items read from the front of the bytes until they end or an item does not
// fit; the items read so far are kept.
std::vector<TlvView> ReadTlvBlock(std::span<const std::uint8_t> bytes);

// The first item of that type, if any.
std::optional<TlvView> FindTlv(const std::vector<TlvView>& items, std::uint16_t type);

// The first item of that type among a frame's items, if any.
RefPtr<Tlv> FindTlv(const std::vector<RefPtr<Tlv>>& items, std::uint16_t type);

// The first 16 bits of a value, big-endian; nullopt when shorter.
std::optional<std::uint16_t> FirstU16(std::span<const std::uint8_t> value);

}  // namespace oscar
