// The device registry: keys and values, and writers in two processes at once.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/base/WideString.h"
#include "platform/file/File.h"
#include "platform/registry/Registry.h"
#include "tests/common/TestSupport.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("CORVANE_DEVICE", m_device.Path().c_str(), 1); }
    testsupport::TempFolder m_device{"corvane-registry"};
};

LONG SetString(HKEY key, const WCHAR* name, const WideString& text)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * 2));
}

TEST_F(RegistryTest, KeysAndValuesPersistAndCompareWithoutCase)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"CLSID\\{AB}\\InprocServer32", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(SetString(key, nullptr, u"/a/b/Plugin.so"), ERROR_SUCCESS);
    DWORD number = 0x01020304;
    EXPECT_EQ(RegSetValueExW(key, u"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"Bad", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 3),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);

    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, u"clsid\\{ab}\\inprocserver32"), u"/a/b/Plugin.so");
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"CLSID/{AB}/InprocServer32", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD read = 0;
    DWORD size = 2;
    EXPECT_EQ(RegQueryValueExW(key, u"count", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegQueryValueExW(key, u"count", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(read, number);
    // A string comes back terminated.
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 30u);
    RegCloseKey(key);

    // Keys with subkeys stay; the other hive is separate.
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"CLSID\\{AB}"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"CLSID", 0, KEY_QUERY_VALUE, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"CLSID\\{AB}\\InprocServer32"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"CLSID\\{AB}"), ERROR_SUCCESS);
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, u"CLSID\\{AB}\\InprocServer32"), u"");
}

// A registry file that does not read is taken as empty; the first change
// writes a new file, and the old bytes are kept beside it.
TEST_F(RegistryTest, ABrokenFileIsKeptWhenAChangeReplacesIt)
{
    const std::string path = m_device.Path() + "/registry.xml";
    const std::string broken = "<registry><key name=\"HKEY_CURRENT_USER\"><key name=\"Software";
    std::ofstream(path, std::ios::binary) << broken;
    EXPECT_TRUE(platform::registry::ReadString(HKEY_CURRENT_USER, u"Software", u"X").empty());
    std::string bytes;
    EXPECT_FALSE(platform::ReadWholeFile(path + ".damaged", platform::FileShare::Read, bytes, 1 << 20));

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, u"X", u"y"), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(platform::registry::ReadString(HKEY_CURRENT_USER, u"Software", u"X"), u"y");
    ASSERT_TRUE(platform::ReadWholeFile(path + ".damaged", platform::FileShare::Read, bytes, 1 << 20));
    EXPECT_EQ(bytes, broken);
}

TEST_F(RegistryTest, WritersInTwoProcessesKeepEachOthersKeys)
{
    constexpr int kKeys = 40;
    auto writeKeys = [](const std::string& prefix) {
        for (int i = 0; i < kKeys; ++i) {
            HKEY key = nullptr;
            WideString name = platform::Utf8ToWide(prefix + std::to_string(i));
            if (RegCreateKeyExW(HKEY_CURRENT_USER, (u"Test\\" + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr) != ERROR_SUCCESS)
                return false;
            bool ok = SetString(key, nullptr, name) == ERROR_SUCCESS;
            RegCloseKey(key);
            if (!ok)
                return false;
        }
        return true;
    };
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(writeKeys("child") ? 0 : 1);
    EXPECT_TRUE(writeKeys("parent"));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const char* prefix : {"parent", "child"}) {
        for (int i = 0; i < kKeys; ++i) {
            WideString name = platform::Utf8ToWide(prefix + std::to_string(i));
            EXPECT_EQ(platform::registry::ReadString(HKEY_CURRENT_USER, u"Test\\" + name), name);
        }
    }
}

}  // namespace
