// The class factory of HomePlugin.
#pragma once

#include <atomic>

#include "platform/com/Com.h"

namespace plugin {

class ClassFactory final : public IClassFactory {
public:
    // A new factory with one reference.
    static ClassFactory* Create();

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

private:
    ClassFactory() = default;
    ~ClassFactory() = default;

    std::atomic<ULONG> m_references{1};
};

}  // namespace plugin
