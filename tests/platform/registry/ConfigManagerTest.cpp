// The configuration manager: provisioning documents that set and query the
// home screen's scheme, and documents it must refuse.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/base/WideString.h"
#include "platform/config/ConfigManager.h"
#include "platform/registry/Registry.h"
#include "tests/common/TestSupport.h"

namespace {

class ConfigManagerTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("CORVANE_DEVICE", m_device.Path().c_str(), 1); }

    // The answer to `document` as UTF-8, or "error" with the result.
    static std::string Process(const std::string& document)
    {
        WideString in = platform::Utf8ToWide(document);
        LPWSTR out = nullptr;
        HRESULT result = DMProcessConfigXML(in.c_str(), CFGFLAG_PROCESS, &out);
        if (FAILED(result))
            return "error " + std::to_string(static_cast<unsigned long>(result));
        std::unique_ptr<WCHAR[]> answer(out);
        return platform::WideToUtf8(answer.get());
    }

    testsupport::TempFolder m_device{"corvane-config"};
};

const char* const kQuery =
    "<wap-provisioningdoc><characteristic type=\"Home\"><characteristic type=\"HKCU\\ControlPanel\\Home\">"
    "<parm-query name=\"Scheme\" /></characteristic></characteristic></wap-provisioningdoc>";

TEST_F(ConfigManagerTest, SchemeIsSetThenAnsweredAndKeptInTheRegistry)
{
    // Nothing set yet: the answer has the parm without a value.
    std::string first = Process(kQuery);
    EXPECT_NE(first.find("<parm name=\"Scheme\"/>"), std::string::npos) << first;

    std::string set =
        "<wap-provisioningdoc><characteristic type=\"Home\"><characteristic type=\"HKCU\\ControlPanel\\Home\">"
        "<parm name=\"Scheme\" value=\"/d/Application Data/Home/Corvane.tahoma.xml\"/>"
        "</characteristic></characteristic></wap-provisioningdoc>";
    EXPECT_EQ(Process(set).rfind("error", 0), std::string::npos);
    std::string answer = Process(kQuery);
    EXPECT_NE(answer.find("value=\"/d/Application Data/Home/Corvane.tahoma.xml\""), std::string::npos) << answer;
    EXPECT_EQ(platform::registry::ReadString(HKEY_CURRENT_USER, u"ControlPanel\\Home", u"Scheme"),
              u"/d/Application Data/Home/Corvane.tahoma.xml");
}

TEST_F(ConfigManagerTest, BadDocumentsAndArgumentsAreRefused)
{
    LPWSTR out = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(DMProcessConfigXML(u"<wap-provisioningdoc>", CFGFLAG_PROCESS, &out), CONFIG_E_BAD_XML);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DMProcessConfigXML(u"<other/>", CFGFLAG_PROCESS, &out), CONFIG_E_BAD_XML);
    EXPECT_EQ(DMProcessConfigXML(nullptr, CFGFLAG_PROCESS, &out), E_INVALIDARG);
    EXPECT_EQ(DMProcessConfigXML(u"<wap-provisioningdoc/>", CFGFLAG_PROCESS, nullptr), E_INVALIDARG);

    WCHAR path[MAX_PATH];
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, CSIDL_APPDATA, FALSE));  // not laid out yet
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_APPDATA, TRUE));
    EXPECT_EQ(platform::WideToUtf8(path), m_device.Path() + "/Application Data");
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, 0x7F, TRUE));
}

}  // namespace
