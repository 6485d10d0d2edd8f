#include "oscar/codec/SnacDecoding.h"

#include "oscar/codec/ByteReader.h"
#include "oscar/codec/CommandTable.h"

namespace oscar {
namespace {

struct SnacHeader {
    std::uint16_t family = 0;
    std::uint16_t subtype = 0;
    std::uint16_t flags = 0;
    std::uint32_t requestId = 0;
};

// Where the command data begins: after the header, and after the extra
// header when the flags announce one.
std::span<const std::uint8_t> CommandData(const SnacHeader& header, ByteReader& reader)
{
    if ((header.flags & kSnacFlagExtraHeader) != 0) {
        std::uint16_t extraLength = 0;
        if (!reader.ReadU16BE(extraLength) || !reader.Skip(extraLength))
            return {};
    }
    return reader.Rest();
}

// Runs the decode chain from the row's decoding class. A decoder returning
// itself ends the chain; a chain longer than kMaxDecodeSteps gives null.
RefPtr<SnacCommand> RunDecodeChain(CommandNumber number, const ByteBuffer& data)
{
    RefPtr<SnacCommand> current = CreateSnacDecoder(number);
    for (int step = 0; current && step < kMaxDecodeSteps; ++step) {
        RefPtr<SnacCommand> next = current->Decode(data);
        if (!next || next == current)
            return current;
        current = next;
    }
    return nullptr;
}

}  // namespace

RefPtr<SnacCommand> DecodeSnac(std::span<const std::uint8_t> body)
{
    ByteReader reader(body);
    SnacHeader header;
    if (!reader.ReadU16BE(header.family) || !reader.ReadU16BE(header.subtype) || !reader.ReadU16BE(header.flags) ||
        !reader.ReadU32BE(header.requestId))
        return nullptr;
    RefPtr<ByteBuffer> data = ByteBuffer::CopyOf(CommandData(header, reader));

    RefPtr<SnacCommand> command;
    CommandNumber number = LookupCommand(header.family, header.subtype);
    if (number != CommandNumber::Unknown)
        command = RunDecodeChain(number, *data);
    if (!command)
        command = MakeRef<SnacCommand>(header.family, header.subtype);
    command->SetFlags(header.flags);
    command->SetRequestId(header.requestId);
    command->SetData(data);
    return command;
}

}  // namespace oscar
