#include "oscar/meta/MetaReply.h"

#include "oscar/codec/CommandTable.h"
#include "oscar/codec/TlvBlock.h"

namespace oscar {
namespace {

constexpr std::uint16_t kItemMetaData = 0x0001;

struct KindRow {
    std::uint16_t type;
    std::uint16_t subtype;  // 0 for types without a subtype
    MetaReplyKind kind;
};

constexpr KindRow kKinds[] = {
    {kMetaReplyOfflineMessage, 0, MetaReplyKind::OfflineMessage},
    {kMetaReplyOfflineEnd, 0, MetaReplyKind::OfflineEnd},
    {kMetaReplyDirectory, 0x00C8, MetaReplyKind::BasicInfo},
    {kMetaReplyDirectory, 0x00D2, MetaReplyKind::WorkInfo},
    {kMetaReplyDirectory, 0x00DC, MetaReplyKind::MoreInfo},
    {kMetaReplyDirectory, 0x00E6, MetaReplyKind::Notes},
    {kMetaReplyDirectory, 0x00EB, MetaReplyKind::Emails},
    {kMetaReplyDirectory, 0x00F0, MetaReplyKind::Interests},
    {kMetaReplyDirectory, 0x00FA, MetaReplyKind::Affiliations},
    {kMetaReplyDirectory, 0x010E, MetaReplyKind::FurtherInfo},
    {kMetaReplyDirectory, 0x01A4, MetaReplyKind::SearchResult},
    {kMetaReplyDirectory, 0x01AE, MetaReplyKind::LastSearchResult},
};

RefPtr<SnacCommand> MakeMetaReply() { return MakeRef<MetaReply>(); }

}  // namespace

std::optional<MetaHeader> ReadMetaHeader(std::span<const std::uint8_t> data)
{
    std::optional<TlvView> item = FindTlv(ReadTlvBlock(data), kItemMetaData);
    if (!item)
        return std::nullopt;
    ByteReader reader(item->value);
    MetaHeader header;
    std::uint16_t declaredLength = 0;
    if (!reader.ReadU16LE(declaredLength) || !reader.ReadU32LE(header.ownUin) || !reader.ReadU16LE(header.type) ||
        !reader.ReadU16LE(header.sequence))
        return std::nullopt;
    if (header.type == kMetaReplyDirectory && !reader.ReadU16LE(header.subtype))
        return std::nullopt;
    header.bodyOffset = static_cast<std::size_t>(item->value.data() - data.data()) + reader.Position();
    header.bodySize = reader.Remaining();
    return header;
}

MetaReplyKind MetaKindOf(std::uint16_t type, std::uint16_t subtype)
{
    for (const KindRow& row : kKinds) {
        if (row.type == type && (row.type != kMetaReplyDirectory || row.subtype == subtype))
            return row.kind;
    }
    return MetaReplyKind::None;
}

MetaReply::MetaReply() : SnacCommand(CommandNumber::MetaReply) {}

RefPtr<SnacCommand> MetaReply::Decode(const ByteBuffer& data)
{
    std::span<const std::uint8_t> bytes = data.Bytes();
    if (m_header) {
        // The offsets were read from this same data by the first step.
        if (m_header->bodyOffset + m_header->bodySize > bytes.size())
            return nullptr;
        ByteReader body(bytes.subspan(m_header->bodyOffset, m_header->bodySize));
        DecodeBody(body);
        return nullptr;
    }
    m_header = ReadMetaHeader(bytes);
    if (!m_header)
        return nullptr;
    RefPtr<MetaReply> specific = CreateMetaReplyKind(MetaKindOf(m_header->type, m_header->subtype));
    if (!specific)
        return nullptr;
    specific->m_header = m_header;
    return specific;
}

void MetaReply::DecodeBody(ByteReader&) {}

void RegisterMetaDecoders() { RegisterSnacDecoder(CommandNumber::MetaReply, &MakeMetaReply); }

}  // namespace oscar
