// The command table: family and subtype of every CommandNumber, the reverse
// lookup, and the factory of each row's decoding class.
//
// Every row starts with a factory that makes a plain SnacCommand of its
// number, which keeps the data undecoded. Modules that decode a command call
// RegisterSnacDecoder once at start-up to install their class; registration
// and lookups are thread-safe.
#pragma once

#include <cstdint>
#include <optional>

#include "app/RefCounted.h"
#include "oscar/codec/CommandNumber.h"

namespace oscar {

class SnacCommand;

enum class CommandDirection : std::uint8_t {
    None,     // in the table only; never built
    Send,     // the program builds and sends it
    Receive,  // arrives from the server
    Both,
};

struct CommandInfo {
    std::uint16_t family = 0;
    std::uint16_t subtype = 0;
    CommandDirection direction = CommandDirection::None;
};

// The row of a number; nothing for numbers outside 1..55.
std::optional<CommandInfo> FindCommand(CommandNumber number);

// The number of a (family, subtype) pair; CommandNumber::Unknown when the
// table has no such row. The map behind it is built once, on first use.
CommandNumber LookupCommand(std::uint16_t family, std::uint16_t subtype);

// Makes an empty object of a row's decoding class.
using SnacFactory = RefPtr<SnacCommand> (*)();

// Installs the decoding class of a row; a null factory restores the row's
// plain SnacCommand. False for a number outside 1..55.
bool RegisterSnacDecoder(CommandNumber number, SnacFactory factory);

// A new object of the row's decoding class (null for numbers outside 1..55).
RefPtr<SnacCommand> CreateSnacDecoder(CommandNumber number);

}  // namespace oscar
