#include "oscar/meta/MetaRequest.h"

#include <atomic>
#include <limits>

#include "oscar/SignOnCommands.h"
#include "oscar/codec/TextCodec.h"
#include "oscar/codec/Tlv.h"

namespace oscar {
namespace {

constexpr std::uint16_t kItemMetaData = 0x0001;
constexpr std::uint16_t kItemSearchUin = 0x0136;
constexpr std::uint16_t kItemCity = 0x0190;
constexpr std::uint16_t kItemAgeRange = 0x0168;
constexpr std::uint16_t kItemGender = 0x017C;
constexpr std::uint16_t kItemFirstName = 0x0140;
constexpr std::uint16_t kItemLastName = 0x014A;
constexpr std::uint16_t kItemNickname = 0x0154;
constexpr std::uint16_t kItemEmail = 0x015E;

// Envelope bytes after the leading length: UIN, type, sequence.
constexpr std::size_t kEnvelopeRest = 8;
constexpr std::size_t kMaxU16 = std::numeric_limits<std::uint16_t>::max();

constexpr AgeRange kAgeRanges[kAgeChoiceCount] = {{0, 0},   {18, 22}, {23, 29},   {30, 39},
                                                  {40, 49}, {50, 59}, {60, 10000}};
constexpr const char16_t* kAgeTexts[kAgeChoiceCount] = {u"",      u"18-22", u"23-29",   u"30-39",
                                                        u"40-49", u"50-59", u"60-above"};

// Appends a little-endian item header; false when the value is too long.
bool AppendItemHeader(ByteBuffer& out, std::uint16_t type, std::size_t valueSize)
{
    if (valueSize > kMaxU16)
        return false;
    return out.AppendU16LE(type) && out.AppendU16LE(static_cast<std::uint16_t>(valueSize));
}

// A string item: the item's value is the counted string (length with the
// zero, bytes, zero). Empty text sends nothing.
bool AppendStringItem(ByteBuffer& out, std::uint16_t type, const WideString& text, UINT codePage)
{
    if (text.empty())
        return true;
    RefPtr<ByteBuffer> bytes = WideToBytes(text, codePage);
    std::size_t counted = static_cast<std::size_t>(bytes->Size()) + 1;
    if (counted > kMaxU16 || !AppendItemHeader(out, type, counted + 2))
        return false;
    return out.AppendU16LE(static_cast<std::uint16_t>(counted)) && out.Append(bytes->Bytes()) && out.AppendU8(0);
}

RefPtr<FlapFrame> BuildDirectoryRequest(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t sequence,
                                        std::uint16_t subtype, std::span<const std::uint8_t> fields)
{
    auto body = MakeRef<ByteBuffer>();
    if (!body->AppendU16LE(subtype) || !body->Append(fields))
        return nullptr;
    return BuildMetaRequestFrame(requestId, ownUin, kMetaRequestDirectory, sequence, body->Bytes());
}

}  // namespace

std::uint16_t NextMetaSequence()
{
    static std::atomic<std::uint16_t> sequence{0};
    return ++sequence;
}

RefPtr<ByteBuffer> BuildMetaRequestData(std::uint32_t ownUin, std::uint16_t type, std::uint16_t sequence,
                                        std::span<const std::uint8_t> body)
{
    // The value (leading length included) is one item, so it fits 16 bits.
    if (body.size() > kMaxU16 - kEnvelopeRest - 2)
        return nullptr;
    auto value = MakeRef<ByteBuffer>();
    value->AppendU16LE(static_cast<std::uint16_t>(kEnvelopeRest + body.size()));
    value->AppendU32LE(ownUin);
    value->AppendU16LE(type);
    value->AppendU16LE(sequence);
    value->Append(body);
    RefPtr<ByteBuffer> item = Tlv::FromBuffer(kItemMetaData, value)->Serialise();
    return item ? ByteBuffer::CopyOf(item->Bytes()) : nullptr;
}

RefPtr<FlapFrame> BuildMetaRequestFrame(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t type,
                                        std::uint16_t sequence, std::span<const std::uint8_t> body)
{
    RefPtr<ByteBuffer> data = BuildMetaRequestData(ownUin, type, sequence, body);
    return data ? BuildSnacFrame(CommandNumber::MetaRequest, requestId, data) : nullptr;
}

RefPtr<FlapFrame> BuildFullInfoRequest(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t sequence,
                                       std::uint32_t targetUin)
{
    ByteBuffer fields;
    fields.AppendU32LE(targetUin);
    return BuildDirectoryRequest(requestId, ownUin, sequence, kDirectoryFullInfo, fields.Bytes());
}

RefPtr<FlapFrame> BuildSearchByUinRequest(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t sequence,
                                          std::uint32_t targetUin)
{
    ByteBuffer fields;
    AppendItemHeader(fields, kItemSearchUin, 4);
    fields.AppendU32LE(targetUin);
    return BuildDirectoryRequest(requestId, ownUin, sequence, kDirectorySearchUin, fields.Bytes());
}

AgeRange AgeRangeOfChoice(int index)
{
    return index >= 0 && index < kAgeChoiceCount ? kAgeRanges[index] : AgeRange{};
}

const char16_t* AgeChoiceText(int index)
{
    return index >= 0 && index < kAgeChoiceCount ? kAgeTexts[index] : u"";
}

RefPtr<FlapFrame> BuildSearchByDetailsRequest(std::uint32_t requestId, std::uint32_t ownUin, std::uint16_t sequence,
                                              const SearchCriteria& criteria, UINT codePage)
{
    ByteBuffer fields;
    bool ok = AppendStringItem(fields, kItemCity, criteria.city, codePage);
    if (ok && criteria.age.minimum > 0) {
        ok = AppendItemHeader(fields, kItemAgeRange, 4) && fields.AppendU16LE(criteria.age.minimum) &&
             fields.AppendU16LE(criteria.age.maximum);
    }
    if (ok && criteria.gender > 0)
        ok = AppendItemHeader(fields, kItemGender, 1) && fields.AppendU8(criteria.gender);
    ok = ok && AppendStringItem(fields, kItemFirstName, criteria.firstName, codePage) &&
         AppendStringItem(fields, kItemLastName, criteria.lastName, codePage) &&
         AppendStringItem(fields, kItemNickname, criteria.nickname, codePage) &&
         AppendStringItem(fields, kItemEmail, criteria.email, codePage);
    if (!ok)
        return nullptr;
    return BuildDirectoryRequest(requestId, ownUin, sequence, kDirectorySearchDetails, fields.Bytes());
}

}  // namespace oscar
