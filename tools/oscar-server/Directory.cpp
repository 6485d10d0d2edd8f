// Directory: the ICQ white pages behind meta request 0x07D0.
//
// Replies have type 0x07DA: a 16-bit subtype, a success byte (0x0A; any other
// value ends the reply) and the subtype's fields. Strings are ICQ meta
// strings (16-bit little-endian length including a terminating zero).
// Full information (0x04B2) answers with eight replies in the order 0x00C8
// basic, 0x00D2 work, 0x00DC more, 0x00E6 notes, 0x00EB e-mail, 0x00F0
// interests, 0x00FA affiliations, 0x010E further; the newer full request
// (0x04D0) with the same eight in the order 0x00C8, 0x00DC, 0x00EB, 0x010E,
// 0x00D2, 0x00E6, 0x00F0, 0x00FA; short information (0x04BA) with one
// 0x0104. A UIN nobody holds gets the first reply with failure byte 0x32. Searches answer 0x01A4 per hit and 0x01AE
// for the last one (followed by the number of hits left out), or one 0x01AE
// with failure byte 0x32 when nothing matches.
#include <algorithm>
#include <cctype>
#include <span>

#include "tools/oscar-server/Meta.h"
#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

constexpr std::uint16_t kReplyDirectory = 0x07DA;
constexpr std::uint8_t kSuccess = 0x0A;
constexpr std::uint8_t kNoData = 0x32;
constexpr std::size_t kMaxSearchHits = 40;

enum Subtype : std::uint16_t {
    kRequestFullInformation = 0x04B2,
    kRequestShortInformation = 0x04BA,
    kRequestFullInformation2 = 0x04D0,
    kSearchDetails = 0x055F,
    kSearchUin = 0x0569,
    kBasic = 0x00C8,
    kWork = 0x00D2,
    kMore = 0x00DC,
    kNotes = 0x00E6,
    kEmails = 0x00EB,
    kInterests = 0x00F0,
    kAffiliations = 0x00FA,
    kShort = 0x0104,
    kFurther = 0x010E,
    kFound = 0x01A4,
    kLastFound = 0x01AE,
};

void Reply(Server& server, Connection& connection, const MetaRequest& request, std::uint16_t subtype,
           const Writer& fields, bool more)
{
    Writer body;
    body.U16LE(subtype).Append(fields.Data());
    SendMetaReply(server, connection, request, kReplyDirectory, body.Data(), more);
}

Writer Failure()
{
    Writer fields;
    fields.U8(kNoData);
    return fields;
}

Writer Basic(const Account& a)
{
    static const std::string kEmpty;
    Writer basic;
    basic.U8(kSuccess);
    // nickname, first, last, e-mail, city, state, phone, fax, street, mobile, zip
    for (const std::string* text : {&a.nickname, &a.firstName, &a.lastName, &a.email, &a.city, &a.state,
                                    &a.phone, &kEmpty, &kEmpty, &a.mobile, &kEmpty})
        basic.MetaString(*text);
    basic.U16LE(a.country).U8(0).U8(a.authRequired ? 1 : 0).U8(0).U8(0).U8(0);
    return basic;
}

Writer Work(const Account&)
{
    Writer work;
    work.U8(kSuccess);
    for (int i = 0; i < 6; ++i)
        work.MetaString("");  // city, state, phone, fax, address, zip
    work.U16LE(0).MetaString("").MetaString("").MetaString("").U16LE(0).MetaString("");
    return work;
}

Writer More(const Account& a)
{
    Writer more;
    more.U8(kSuccess).U16LE(a.age).U8(a.gender).MetaString(a.homepage);
    more.U16LE(a.birthYear).U8(a.birthMonth).U8(a.birthDay).U8(0).U8(0).U8(0);
    return more;
}

Writer Notes(const Account& a)
{
    Writer notes;
    notes.U8(kSuccess).MetaString(a.notes);
    return notes;
}

// No further addresses, interests, affiliations or further fields: counts 0.
Writer Emails(const Account&) { return std::move(Writer().U8(kSuccess).U8(0)); }
Writer Interests(const Account&) { return std::move(Writer().U8(kSuccess).U8(0)); }
Writer Affiliations(const Account&) { return std::move(Writer().U8(kSuccess).U8(0).U8(0)); }
Writer Further(const Account&) { return std::move(Writer().U8(kSuccess).U16LE(0)); }

// Nickname, first and last name, e-mail, authorisation flag, a zero byte and
// the gender.
Writer Short(const Account& a)
{
    Writer fields;
    fields.U8(kSuccess).MetaString(a.nickname).MetaString(a.firstName).MetaString(a.lastName);
    fields.MetaString(a.email).U8(a.authRequired ? 1 : 0).U8(0).U8(a.gender);
    return fields;
}

struct Part {
    std::uint16_t subtype;
    Writer (*build)(const Account&);
};

// 0x04B2 answers in subtype order; 0x04D0 in the order the servers of the
// time used. The last reply of each run ends it.
constexpr Part kFullInformation[] = {
    {kBasic, Basic}, {kWork, Work}, {kMore, More}, {kNotes, Notes},
    {kEmails, Emails}, {kInterests, Interests}, {kAffiliations, Affiliations}, {kFurther, Further},
};
constexpr Part kFullInformation2[] = {
    {kBasic, Basic}, {kMore, More}, {kEmails, Emails}, {kFurther, Further},
    {kWork, Work}, {kNotes, Notes}, {kInterests, Interests}, {kAffiliations, Affiliations},
};
constexpr Part kShortInformation[] = {{kShort, Short}};

// The body is the UIN asked about; a UIN nobody holds gets the first reply
// type of the run with failure byte 0x32.
void OnInformation(Server& server, Connection& connection, const MetaRequest& request, std::span<const Part> parts)
{
    Reader reader(request.body);
    std::uint32_t uin = 0;
    if (!reader.U32LE(uin)) {
        server.SendError(connection, 0x0015, request.requestId, 0x000E);
        return;
    }
    const Account* account = server.Accounts().Find(uin);
    if (account == nullptr) {
        Reply(server, connection, request, parts.front().subtype, Failure(), false);
        return;
    }
    for (std::size_t i = 0; i < parts.size(); ++i)
        Reply(server, connection, request, parts[i].subtype, parts[i].build(*account), i + 1 < parts.size());
}

Writer Hit(Server& server, Connection& connection, const Account& a)
{
    Writer record;
    record.U32LE(a.uin).MetaString(a.nickname).MetaString(a.firstName).MetaString(a.lastName).MetaString(a.email);
    Connection* session = server.OnlineSession(a.uin);
    const bool online = session != nullptr && VisibleTo(server, *session, connection.uin);
    record.U8(a.authRequired ? 1 : 0).U16LE(online ? 1 : 0).U8(a.gender).U16LE(a.age);
    Writer fields;
    fields.U8(kSuccess).U16LE(static_cast<std::uint16_t>(record.Size())).Append(record.Data());
    return fields;
}

void SendHits(Server& server, Connection& connection, const MetaRequest& request,
              const std::vector<const Account*>& hits)
{
    if (hits.empty()) {
        Reply(server, connection, request, kLastFound, Failure(), false);
        return;
    }
    const std::size_t shown = std::min(hits.size(), kMaxSearchHits);
    for (std::size_t i = 0; i < shown; ++i) {
        Writer fields = Hit(server, connection, *hits[i]);
        const bool last = i + 1 == shown;
        if (last)
            fields.U32LE(static_cast<std::uint32_t>(hits.size() - shown));
        Reply(server, connection, request, last ? kLastFound : kFound, fields, !last);
    }
}

// Little-endian items: 16-bit type, 16-bit length, value.
bool ReadLeItems(ByteView body, std::vector<Tlv>& out)
{
    Reader reader(body);
    while (!reader.AtEnd()) {
        Tlv item;
        std::uint16_t length = 0;
        if (!reader.U16LE(item.type) || !reader.U16LE(length) || !reader.Take(length, item.value))
            return false;
        out.push_back(item);
    }
    return true;
}

void OnSearchUin(Server& server, Connection& connection, const MetaRequest& request)
{
    std::vector<Tlv> items;
    const Tlv* uinItem = ReadLeItems(request.body, items) ? FindTlv(items, 0x0136) : nullptr;
    Reader reader(uinItem == nullptr ? ByteView() : uinItem->value);
    std::uint32_t uin = 0;
    if (!reader.U32LE(uin)) {
        server.SendError(connection, 0x0015, request.requestId, 0x000E);
        return;
    }
    std::vector<const Account*> hits;
    if (const Account* account = server.Accounts().Find(uin); account != nullptr)
        hits.push_back(account);
    SendHits(server, connection, request, hits);
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// A string criterion: 16-bit little-endian length with the zero, the bytes.
// Empty criteria match everyone; others match case-insensitively as a prefix.
bool ReadCriterion(ByteView value, std::string& out)
{
    Reader reader(value);
    std::uint16_t length = 0;
    ByteView text;
    if (!reader.U16LE(length) || !reader.Take(length, text))
        return false;
    const std::string raw = Text(text);
    out = Lower(raw.substr(0, raw.find('\0')));
    return true;
}

struct Criteria {
    std::vector<std::pair<std::uint16_t, std::string>> texts;
    std::uint16_t minAge = 0;
    std::uint16_t maxAge = 0;
    std::uint8_t gender = 0;
};

const std::string& Field(const Account& a, std::uint16_t type)
{
    static const std::string kNone;
    switch (type) {
    case 0x0190: return a.city;
    case 0x0140: return a.firstName;
    case 0x014A: return a.lastName;
    case 0x0154: return a.nickname;
    case 0x015E: return a.email;
    default: return kNone;
    }
}

bool IsTextCriterion(std::uint16_t type)
{
    return type == 0x0190 || type == 0x0140 || type == 0x014A || type == 0x0154 || type == 0x015E;
}

bool Matches(const Account& a, const Criteria& criteria)
{
    for (const auto& [type, text] : criteria.texts) {
        if (Lower(Field(a, type)).rfind(text, 0) != 0)
            return false;
    }
    if (criteria.maxAge != 0 && (a.age < criteria.minAge || a.age > criteria.maxAge))
        return false;
    return criteria.gender == 0 || a.gender == criteria.gender;
}

bool ReadCriteria(ByteView body, Criteria& criteria)
{
    std::vector<Tlv> items;
    if (!ReadLeItems(body, items))
        return false;
    for (const Tlv& item : items) {
        Reader reader(item.value);
        std::string text;
        if (item.type == 0x0168 && (!reader.U16LE(criteria.minAge) || !reader.U16LE(criteria.maxAge)))
            return false;
        if (item.type == 0x017C && !reader.U8(criteria.gender))
            return false;
        if (IsTextCriterion(item.type)) {
            if (!ReadCriterion(item.value, text))
                return false;
            if (!text.empty())
                criteria.texts.emplace_back(item.type, text);
        }
    }
    return true;
}

void OnSearchDetails(Server& server, Connection& connection, const MetaRequest& request)
{
    Criteria criteria;
    if (!ReadCriteria(request.body, criteria)) {
        server.SendError(connection, 0x0015, request.requestId, 0x000E);
        return;
    }
    std::vector<const Account*> hits;
    for (const auto& [uin, account] : server.Accounts().All()) {
        if (Matches(account, criteria))
            hits.push_back(&account);
    }
    SendHits(server, connection, request, hits);
}

}  // namespace

void HandleDirectoryRequest(Server& server, Connection& connection, const MetaRequest& request)
{
    Reader reader(request.body);
    std::uint16_t subtype = 0;
    if (!reader.U16LE(subtype)) {
        server.SendError(connection, 0x0015, request.requestId, 0x000E);
        return;
    }
    MetaRequest inner = request;
    inner.body = reader.Rest();
    switch (subtype) {
    case kRequestFullInformation:
        OnInformation(server, connection, inner, kFullInformation);
        return;
    case kRequestFullInformation2:
        OnInformation(server, connection, inner, kFullInformation2);
        return;
    case kRequestShortInformation:
        OnInformation(server, connection, inner, kShortInformation);
        return;
    case kSearchUin:
        OnSearchUin(server, connection, inner);
        return;
    case kSearchDetails:
        OnSearchDetails(server, connection, inner);
        return;
    default:
        server.SendError(connection, 0x0015, request.requestId, 0x0008);
        return;
    }
}

}  // namespace oscarserver
