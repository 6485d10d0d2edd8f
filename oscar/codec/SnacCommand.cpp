#include "oscar/codec/SnacCommand.h"

#include <utility>

#include "oscar/codec/CommandTable.h"

namespace oscar {

SnacCommand::SnacCommand(std::uint16_t family, std::uint16_t subtype) : m_family(family), m_subtype(subtype) {}

SnacCommand::SnacCommand(CommandNumber number) : m_number(number)
{
    if (std::optional<CommandInfo> row = FindCommand(number)) {
        m_family = row->family;
        m_subtype = row->subtype;
    }
}

void SnacCommand::SetData(RefPtr<ByteBuffer> data)
{
    m_data = data ? std::move(data) : MakeRef<ByteBuffer>();
}

RefPtr<ByteBuffer> SnacCommand::Serialise() const
{
    std::int64_t size = SerialisedSize();
    if (size > INT32_MAX)
        return nullptr;
    RefPtr<ByteBuffer> out = ByteBuffer::WithCapacity(static_cast<std::int32_t>(size));
    out->SetWipeOnRelease(true);
    if (!WriteTo(*out))
        return nullptr;
    return out;
}

std::int64_t SnacCommand::SerialisedSize() const { return static_cast<std::int64_t>(m_data->Size()) + kSnacHeaderSize; }

bool SnacCommand::WriteTo(ByteBuffer& out) const
{
    return out.AppendU16(m_family) && out.AppendU16(m_subtype) && out.AppendU16(m_flags) &&
           out.AppendU32(m_requestId) && out.Append(m_data->Bytes());
}

RefPtr<SnacCommand> SnacCommand::Decode(const ByteBuffer& data)
{
    (void)data;
    return nullptr;
}

}  // namespace oscar
