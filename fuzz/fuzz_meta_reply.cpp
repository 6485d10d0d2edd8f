// Arbitrary bytes as the data of an ICQ meta reply (0x15/0x03): the decode
// chain into every reply kind, and the texts the windows build from them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "oscar/codec/SnacDecoding.h"
#include "oscar/meta/DirectoryEvents.h"
#include "oscar/meta/DirectoryText.h"
#include "oscar/meta/OfflineReplies.h"

namespace {

// The first input byte picks the reply type and subtype so that every kind
// is reached often; the rest is the reply body.
std::vector<std::uint8_t> ReplyData(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::uint16_t kSubtypes[] = {0x00C8, 0x00D2, 0x00DC, 0x00E6, 0x00EB, 0x00F0,
                                                  0x00FA, 0x010E, 0x01A4, 0x01AE, 0x0123};
    std::uint8_t pick = data[0];
    std::vector<std::uint8_t> value = {0, 0, 0xA1, 0x86, 0x01, 0x00};
    if (pick < 16) {
        value.push_back(pick % 2 == 0 ? 0x41 : 0x42);
        value.push_back(0);
        value.insert(value.end(), {7, 0});
    } else {
        std::uint16_t subtype = kSubtypes[pick % std::size(kSubtypes)];
        value.insert(value.end(), {0xDA, 0x07, 7, 0, static_cast<std::uint8_t>(subtype),
                                   static_cast<std::uint8_t>(subtype >> 8)});
    }
    value.insert(value.end(), data + 1, data + size);
    std::vector<std::uint8_t> body = {0x00, 0x15, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x2A};
    if (pick & 0x80) {
        // The raw bytes as the whole SNAC data, envelope included.
        body.insert(body.end(), data + 1, data + size);
        return body;
    }
    std::size_t length = value.size() > 0xFFFF ? 0xFFFF : value.size();
    body.insert(body.end(), {0x00, 0x01, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    body.insert(body.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(length));
    return body;
}

void Present(const oscar::SnacCommand& command)
{
    oscar::UserInfoSheet sheet(u"1", u"");
    if (const auto* basic = dynamic_cast<const oscar::BasicInfoReply*>(&command))
        sheet.Apply(oscar::UserInfoBasicEvent(1, basic->Success(), basic->Info()));
    if (const auto* more = dynamic_cast<const oscar::MoreInfoReply*>(&command))
        sheet.Apply(oscar::UserInfoMoreEvent(1, more->Success(), more->Info()));
    if (const auto* notes = dynamic_cast<const oscar::NotesReply*>(&command))
        sheet.Apply(oscar::UserInfoNotesEvent(1, notes->Success(), notes->Notes()));
    if (const auto* hit = dynamic_cast<const oscar::SearchResultReply*>(&command))
        oscar::SearchRowText(hit->Hit());
    if (const auto* offline = dynamic_cast<const oscar::OfflineMessageReply*>(&command)) {
        if (offline->Valid() && offline->Message().text.size() > 0xFFFF)
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    oscar::RegisterMetaDecoders();
    std::vector<std::uint8_t> body = ReplyData(data, size);
    RefPtr<oscar::SnacCommand> command = oscar::DecodeSnac(body);
    if (command)
        Present(*command);
    return 0;
}
