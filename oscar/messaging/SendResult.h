// What became of a request to send a message.
#pragma once

namespace oscar {

enum class SendResult {
    Sent,           // on its way; event 42 or 44 follows
    NotSignedOn,    // not sent; the text is kept as the contact's unsent text
    Busy,           // an earlier message to the contact waits for its confirmation
    NothingToSend,  // no text, or no such contact
    BadRecipient,   // not a UIN
    TooLong,        // the text does not fit in one message; it was not taken
};

}  // namespace oscar
