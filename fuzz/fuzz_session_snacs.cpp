// Arbitrary bytes as the small received commands and frames of sign-on and of
// the signed-on session that the other targets do not decode. The first byte
// picks the decoder; the rest is its input:
//   0  error command data (0x01/0x01, 0x15/0x01): the error text
//   1  a channel-4 frame body: the login reply and the server's order to
//      disconnect
//   2  rate information data (0x01/0x07): the class ids and the
//      acknowledgement built from them
//   3  typing notification data (0x04/0x14), through the messenger
//   4  server acknowledgement data (0x04/0x0C), through the messenger
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "app/AppCore.h"
#include "app/InterfaceStage.h"
#include "oscar/ContactStore.h"
#include "oscar/ProtocolErrors.h"
#include "oscar/SignOnCommands.h"
#include "oscar/codec/FrameParser.h"
#include "oscar/messaging/Messenger.h"

namespace {

// The contact the messenger tests know, and the cookie of the message that
// waits for the server's acknowledgement.
constexpr char16_t kContactUin[] = u"1";
constexpr std::uint64_t kPendingCookie = 0x0102030405060708;

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool StartsWith(const WideString& text, const WideString& start)
{
    return text.compare(0, start.size(), start) == 0;
}

void ErrorText(std::span<const std::uint8_t> data)
{
    Check(!oscar::ErrorSnacText(data).empty());
}

void ChannelFour(std::span<const std::uint8_t> data)
{
    RefPtr<oscar::FlapFrame> frame =
        oscar::BuildReceivedFrame(oscar::kChannelSignOff, 0, oscar::ByteBuffer::CopyOf(data));
    oscar::LoginReply reply = oscar::ReadLoginReply(*frame);
    if (reply.accepted) {
        Check(reply.cookie != nullptr);
        Check(!reply.port.empty());
        Check(reply.host.size() + reply.port.size() <= data.size());
    } else {
        Check(reply.cookie == nullptr);
    }
    Check(StartsWith(oscar::DisconnectText(*frame), u"You have been disconnected by ICQ server"));
}

void RateInformation(std::span<const std::uint8_t> data)
{
    std::vector<std::uint16_t> ids = oscar::ReadRateClassIds(data);
    if (ids.empty())
        return;
    // Every id read has its parameter block and its group header in the data.
    Check(2 + ids.size() * 39 <= data.size());
    Check(oscar::BuildRateAck(ids)->Serialise() != nullptr);
}

void ThroughMessenger(bool typing, std::span<const std::uint8_t> data)
{
    auto core = MakeRef<AppCore>(nullptr, AppCoreParts{});
    auto store = MakeRef<ContactStore>();
    RefPtr<Contact> contact = store->AddContact(MakeRef<Contact>(kContactUin));
    store->SetStatus(contact, 0);
    contact->cachedText = u"waiting";
    store->Pending().AddByCookie(kPendingCookie, kContactUin);
    auto messenger = MakeRef<Messenger>(*core, store, u"1000", 1000);
    auto snac = MakeRef<oscar::SnacCommand>(typing ? oscar::CommandNumber::TypingNotification
                                                   : oscar::CommandNumber::ServerMessageAck);
    snac->SetData(oscar::ByteBuffer::CopyOf(data));
    if (typing) {
        messenger->OnTyping(*snac);
        // Cookie (8), channel (2), UIN "1" as length byte and digit, then the
        // notification: only 2 (started) marks the contact as typing.
        bool forContact = data.size() >= 14 && data[10] == 1 && data[11] == '1';
        bool started = forContact && data[12] == 0 && data[13] == 2;
        Check(contact->typing == started);
        return;
    }
    messenger->OnServerAcknowledgement(*snac);
    // Only the pending message's own cookie confirms it, and confirming it
    // empties the contact's unsent text.
    std::uint64_t cookie = 0;
    for (std::size_t i = 0; i < 8 && i < data.size(); ++i)
        cookie = cookie << 8 | data[i];
    bool confirmed = data.size() >= 8 && cookie == kPendingCookie;
    Check(store->Pending().Count() == (confirmed ? 0u : 1u));
    Check(contact->cachedText.empty() == confirmed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    switch (data[0] % 5) {
    case 0:
        ErrorText(rest);
        break;
    case 1:
        ChannelFour(rest);
        break;
    case 2:
        RateInformation(rest);
        break;
    case 3:
        ThroughMessenger(true, rest);
        break;
    default:
        ThroughMessenger(false, rest);
        break;
    }
    // Events for the windows wait in a process-wide list that a dispatcher
    // window would empty; there is none here, so they are dropped now.
    app::DeliverPendingEvents();
    return 0;
}
