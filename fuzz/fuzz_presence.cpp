// Arbitrary bytes as presence and authorisation notices, through the handler
// that applies them to a contact store.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/AppCore.h"
#include "app/InterfaceStage.h"
#include "oscar/ContactStore.h"
#include "oscar/OnlineHandler.h"
#include "oscar/UserInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    auto core = MakeRef<AppCore>(nullptr, AppCoreParts{});
    auto store = MakeRef<ContactStore>();
    auto handler = MakeRef<oscar::OnlineHandler>(*core, store, nullptr);
    auto snac = MakeRef<oscar::SnacCommand>(oscar::CommandNumber::ContactOnline);
    snac->SetData(oscar::ByteBuffer::CopyOf(std::span(data + 1, size - 1)));
    switch (data[0] % 5) {
    case 0:
        handler->OnPresence(*snac);
        break;
    case 1:
        handler->OnOffline(*snac);
        break;
    case 2:
        handler->OnAuthorisationRequest(*snac);
        break;
    case 3:
        handler->OnAuthorisationReply(*snac);
        break;
    default:
        handler->OnAddedYou(*snac);
        break;
    }
    if (std::optional<oscar::UserInfo> info = oscar::ReadUserInfo(snac->Data()->Bytes())) {
        info->Status();
        info->Capabilities();
    }
    // The exact rule must never report more bytes than there are.
    std::size_t consumed = 0;
    if (oscar::ReadUserInfo(snac->Data()->Bytes(), oscar::UserInfoItems::Exact, &consumed) &&
        consumed > snac->Data()->Bytes().size())
        std::abort();
    // The handler's refresh events wait in a process-wide list that a
    // dispatcher window would empty; there is none here, so they are dropped
    // now rather than piling up over the run.
    app::DeliverPendingEvents();
    return 0;
}
