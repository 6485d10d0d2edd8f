#include "oscar/meta/DirectoryReplies.h"

#include <algorithm>

#include "app/AppGlobals.h"
#include "platform/text/CodePage.h"

namespace oscar {
namespace {

// Reads a meta string and decodes it with the process-wide code page.
bool ReadText(ByteReader& reader, WideString& out)
{
    std::string bytes;
    if (!ReadMetaString(reader, bytes))
        return false;
    out = platform::BytesToWide(bytes, static_cast<UINT>(app::ProcessCodePage()));
    return true;
}

bool ReadTexts(ByteReader& reader, std::initializer_list<WideString*> fields)
{
    return std::all_of(fields.begin(), fields.end(), [&reader](WideString* field) { return ReadText(reader, *field); });
}

}  // namespace

bool ReadMetaString(ByteReader& reader, std::string& out)
{
    std::uint16_t length = 0;
    std::span<const std::uint8_t> bytes;
    if (!reader.ReadU16LE(length) || !reader.ReadBytes(length, bytes))
        return false;
    if (length == 0) {
        out.clear();
        return true;
    }
    if (bytes.back() != 0)
        return false;
    auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    out.assign(bytes.begin(), end);
    return true;
}

void DirectoryReply::DecodeBody(ByteReader& body)
{
    if (!body.ReadU8(m_result) || m_result != kDirectoryResultSuccess)
        return;
    m_success = DecodeFields(body) && body.Ok();
}

bool BasicInfoReply::DecodeFields(ByteReader& reader)
{
    BasicInfo info;
    if (!ReadTexts(reader, {&info.nickname, &info.firstName, &info.lastName, &info.email, &info.city, &info.state,
                            &info.phone, &info.fax, &info.street, &info.mobile, &info.zip}))
        return false;
    std::uint8_t authorisation = 0;
    if (!reader.ReadU16LE(info.country) || !reader.ReadU8(info.timeZone) || !reader.ReadU8(authorisation))
        return false;
    info.authorisationRequired = authorisation == 1;
    // The three publishing flags are not used by any window; a reply that
    // ends before them keeps its data, and the flags missing stay 0.
    ByteReader flags(reader.Rest());
    for (std::uint8_t* flag : {&info.webAware, &info.directConnection, &info.publishEmail}) {
        if (!flags.ReadU8(*flag))
            break;
    }
    m_info = std::move(info);
    return true;
}

bool MoreInfoReply::DecodeFields(ByteReader& reader)
{
    MoreInfo info;
    if (!reader.ReadU16LE(info.age) || !reader.ReadU8(info.gender) || !ReadText(reader, info.homepage) ||
        !reader.ReadU16LE(info.birthYear) || !reader.ReadU8(info.birthMonth) || !reader.ReadU8(info.birthDay))
        return false;
    m_info = std::move(info);
    return true;
}

bool NotesReply::DecodeFields(ByteReader& reader)
{
    WideString notes;
    if (!ReadText(reader, notes))
        return false;
    m_notes = std::move(notes);
    return true;
}

bool SearchResultReply::DecodeFields(ByteReader& reader)
{
    SearchHit hit;
    std::uint16_t recordLength = 0;  // not used: the fields are read one by one
    std::uint8_t authorisation = 0;
    std::uint16_t online = 0;
    if (!reader.ReadU16LE(recordLength) || !reader.ReadU32LE(hit.uin) ||
        !ReadTexts(reader, {&hit.nickname, &hit.firstName, &hit.lastName, &hit.email}) ||
        !reader.ReadU8(authorisation) || !reader.ReadU16LE(online) || !reader.ReadU8(hit.gender) ||
        !reader.ReadU16LE(hit.age))
        return false;
    hit.authorisationRequired = authorisation == 1;
    hit.online = online == 1;
    m_hit = std::move(hit);
    return true;
}

}  // namespace oscar
