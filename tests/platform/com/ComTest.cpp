// Class identifiers as text, and creating objects of classes that are not
// (properly) registered.
#include <gtest/gtest.h>

#include "platform/base/WideString.h"
#include "platform/com/Com.h"
#include "platform/registry/Registry.h"
#include "tests/common/TestSupport.h"

namespace {

constexpr CLSID kClass = {0xFCCE0008, 0xC09E, 0x4FE2, {0x8B, 0x57, 0x6D, 0x75, 0x3D, 0x21, 0x27, 0xAD}};

TEST(Guid, TextRoundTripsAndRejectsMalformedForms)
{
    EXPECT_EQ(GuidToString(kClass), u"{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}");
    EXPECT_EQ(GuidFromString(u"{fcce0008-c09e-4fe2-8b57-6d753d2127ad}"), kClass);
    for (const char16_t* bad : {u"FCCE0008-C09E-4FE2-8B57-6D753D2127AD", u"{FCCE0008-C09E-4FE2-8B57-6D753D2127A}",
                                u"{FCCE0008+C09E-4FE2-8B57-6D753D2127AD}", u"{FCCE0008-C09E-4FE2-8B57-6D753D2127AG}"})
        EXPECT_FALSE(GuidFromString(bad).has_value()) << platform::WideToUtf8(bad);
}

TEST(CoCreateInstance, ReportsWhyAClassCannotBeMade)
{
    testsupport::TempFolder device("corvane-com");
    setenv("CORVANE_DEVICE", device.Path().c_str(), 1);
    void* object = &object;
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, (u"CLSID\\" + GuidToString(kClass) + u"\\InprocServer32").c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    WideString missing = platform::Utf8ToWide(device / "Missing.so");
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(missing.c_str()),
                   static_cast<DWORD>(missing.size() * 2));
    RegCloseKey(key);
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), CO_E_DLLNOTFOUND);
}

}  // namespace
