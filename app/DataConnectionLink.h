// The device's data connection as the core sees it. The transport provides
// the implementation (the link to the connection manager) and AppCore holds
// it, so that the protocol can ask for the connection without knowing the
// transport's window.
#pragma once

#include "app/RefCounted.h"

class DataConnectionLink : public virtual RefCounted {
public:
    // Asks for the data connection. Called under the AppCore lock; a failure
    // is not reported here, the connection's statuses tell the user.
    virtual void RequestDataConnection() = 0;

protected:
    ~DataConnectionLink() override = default;
};
