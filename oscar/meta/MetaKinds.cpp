// The class of each meta reply kind, for the decode chain.
#include "oscar/meta/DirectoryReplies.h"
#include "oscar/meta/MetaReply.h"
#include "oscar/meta/OfflineReplies.h"

namespace oscar {

RefPtr<MetaReply> CreateMetaReplyKind(MetaReplyKind kind)
{
    switch (kind) {
    case MetaReplyKind::None:
        return nullptr;
    case MetaReplyKind::OfflineMessage:
        return MakeRef<OfflineMessageReply>();
    case MetaReplyKind::OfflineEnd:
        return MakeRef<OfflineEndReply>();
    case MetaReplyKind::BasicInfo:
        return MakeRef<BasicInfoReply>();
    case MetaReplyKind::MoreInfo:
        return MakeRef<MoreInfoReply>();
    case MetaReplyKind::Notes:
        return MakeRef<NotesReply>();
    case MetaReplyKind::SearchResult:
        return MakeRef<SearchResultReply>(false);
    case MetaReplyKind::LastSearchResult:
        return MakeRef<SearchResultReply>(true);
    case MetaReplyKind::WorkInfo:
    case MetaReplyKind::Emails:
    case MetaReplyKind::Interests:
    case MetaReplyKind::Affiliations:
    case MetaReplyKind::FurtherInfo:
        return MakeRef<DirectoryReply>(kind);
    }
    return nullptr;
}

}  // namespace oscar
