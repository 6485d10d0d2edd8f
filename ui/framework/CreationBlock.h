// The creation block every framework object hands to its window: a 16-bit
// count of the bytes that follow, then the object pointer, unaligned. Create
// passes it as the CreateWindowExW parameter; a dialog template carries it
// as each control's creation data.
#pragma once

#include <array>

#include "platform/win/Window.h"

class WindowBase;

namespace uifw {

using CreationBlock = std::array<BYTE, 2 + sizeof(void*)>;

CreationBlock MakeCreationBlock(WindowBase* object);

// The object in the block a CREATESTRUCTW points at, or null when there is
// no block or its count does not match a pointer.
WindowBase* ObjectFromCreationBlock(const CREATESTRUCTW* create);

}  // namespace uifw
