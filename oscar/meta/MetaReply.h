// ICQ meta replies (SNAC 0x15/0x03): the little-endian envelope and the
// start of their decode chain.
//
// The SNAC data holds item 0x0001 (big-endian type and length, like every
// item); its value is little-endian throughout: the length of the rest (16),
// the owner's UIN (32), the reply type (16) and the request's sequence
// number (16). Directory replies (type 0x07DA) go on with a 16-bit subtype.
// The registered decoder of CommandNumber::MetaReply is a MetaReply; its
// Decode reads the envelope and hands over to the class of the reply's kind,
// whose Decode reads the body. A reply whose envelope is cut short, or whose
// type or subtype has no kind, stays a plain MetaReply (Kind() tells which).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "oscar/codec/ByteReader.h"
#include "oscar/codec/SnacCommand.h"

namespace oscar {

constexpr std::uint16_t kMetaReplyOfflineMessage = 0x0041;
constexpr std::uint16_t kMetaReplyOfflineEnd = 0x0042;
constexpr std::uint16_t kMetaReplyDirectory = 0x07DA;

// The kinds the decode chain tells apart.
enum class MetaReplyKind : std::uint8_t {
    None,              // envelope unreadable, or a type/subtype without a kind
    OfflineMessage,    // 0x0041
    OfflineEnd,        // 0x0042
    BasicInfo,         // 0x07DA / 0x00C8
    WorkInfo,          // 0x07DA / 0x00D2
    MoreInfo,          // 0x07DA / 0x00DC
    Notes,             // 0x07DA / 0x00E6
    Emails,            // 0x07DA / 0x00EB
    Interests,         // 0x07DA / 0x00F0
    Affiliations,      // 0x07DA / 0x00FA
    FurtherInfo,       // 0x07DA / 0x010E
    SearchResult,      // 0x07DA / 0x01A4
    LastSearchResult,  // 0x07DA / 0x01AE
};

// The envelope of a reply and where its body lies in the SNAC data.
struct MetaHeader {
    std::uint32_t ownUin = 0;
    std::uint16_t type = 0;
    std::uint16_t sequence = 0;
    std::uint16_t subtype = 0;  // directory replies only
    // The body: after the subtype for directory replies, after the sequence
    // otherwise; it ends with item 0x0001.
    std::size_t bodyOffset = 0;
    std::size_t bodySize = 0;
};

// Reads the envelope from SNAC data; nothing when item 0x0001 or a header
// field is missing. The length field at the start of the value is not used
// for bounds: the item's own length is.
std::optional<MetaHeader> ReadMetaHeader(std::span<const std::uint8_t> data);

// The kind of a (type, subtype) pair; None for pairs outside the table.
MetaReplyKind MetaKindOf(std::uint16_t type, std::uint16_t subtype);

class MetaReply : public SnacCommand {
public:
    MetaReply();

    // Nothing until the envelope was read.
    const std::optional<MetaHeader>& Header() const { return m_header; }
    MetaReplyKind Kind() const { return m_kind; }

    // First call (the row's decoder): reads the envelope and returns the
    // object of the reply's kind, or null when it has none. On that object:
    // reads the body through DecodeBody and returns null.
    RefPtr<SnacCommand> Decode(const ByteBuffer& data) override;

protected:
    explicit MetaReply(MetaReplyKind kind) : MetaReply() { m_kind = kind; }

    // Reads the kind's body; the reader is bounded to it. The base reads
    // nothing.
    virtual void DecodeBody(ByteReader& body);

private:
    std::optional<MetaHeader> m_header;
    MetaReplyKind m_kind = MetaReplyKind::None;
};

// A new, empty object of a kind's class (null for None).
RefPtr<MetaReply> CreateMetaReplyKind(MetaReplyKind kind);

// Installs MetaReply as the decoder of CommandNumber::MetaReply. Called once
// at start-up; calling it again does no harm.
void RegisterMetaDecoders();

}  // namespace oscar
