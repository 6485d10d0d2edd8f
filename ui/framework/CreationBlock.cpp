#include "ui/framework/CreationBlock.h"

#include <cstring>

namespace uifw {

CreationBlock MakeCreationBlock(WindowBase* object)
{
    CreationBlock block{};
    auto count = static_cast<WORD>(sizeof object);
    std::memcpy(block.data(), &count, sizeof count);
    std::memcpy(block.data() + sizeof count, &object, sizeof object);
    return block;
}

WindowBase* ObjectFromCreationBlock(const CREATESTRUCTW* create)
{
    if (create == nullptr || create->lpCreateParams == nullptr)
        return nullptr;
    const auto* bytes = static_cast<const BYTE*>(create->lpCreateParams);
    WORD count = 0;
    std::memcpy(&count, bytes, sizeof count);
    if (count != sizeof(WindowBase*))
        return nullptr;
    WindowBase* object = nullptr;
    std::memcpy(&object, bytes + sizeof count, sizeof object);
    return object;
}

}  // namespace uifw
