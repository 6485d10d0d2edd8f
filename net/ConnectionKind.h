// The two kinds of server connection a session holds: the login connection
// that authorises the account, and the BOS connection that serves it once
// signed on. A connection reports its kind back to its owner.
#pragma once

namespace net {

enum class ConnectionKind { Login, Bos };

}  // namespace net
