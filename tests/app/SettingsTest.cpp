#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/AppGlobals.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "tests/common/TestSupport.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        app::SetAppFolder(platform::Utf8ToWide(m_folder + "/"));
        app::SetProcessCodePage(0);
    }
    void TearDown() override
    {
        chmod(m_folder.c_str(), 0755);
    }

    void WriteFile(const std::string& bytes)
    {
        std::ofstream out(Settings::FilePath(), std::ios::binary);
        out << bytes;
    }
    std::string ReadFile()
    {
        std::ifstream in(Settings::FilePath(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    RefPtr<Settings> Load(const std::string& bytes)
    {
        WriteFile(bytes);
        auto settings = MakeRef<Settings>();
        settings->EnsureLoaded();
        return settings;
    }

    testsupport::TempFolder m_temp{"corvane-settings"};
    const std::string m_folder = m_temp.Path();
};

TEST_F(SettingsTest, MissingFileKeepsEveryDefault)
{
    auto s = MakeRef<Settings>();
    s->EnsureLoaded();
    EXPECT_FALSE(s->icqEnabled);
    EXPECT_TRUE(s->Uin().empty());
    EXPECT_EQ(s->loginHosts, DefaultLoginHosts());
    EXPECT_EQ(s->loginHosts.size(), 3u);
    EXPECT_TRUE(s->sound);
    EXPECT_EQ(s->vibroCount, 5);
    EXPECT_EQ(s->icqPingPeriod, 120);
    EXPECT_EQ(s->SkinSource(), u"Default.Skin.xml");
    EXPECT_EQ(s->leftSoftKeyAction, KeyAction::ShowOffline);
    const std::int32_t keys[] = {1, 2, 3, 4, 6, 7, 8, 9, 5, 0};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(s->KeyActionOf(k), keys[k]) << "KEY" << k;
}

TEST_F(SettingsTest, IcqEnabledFollowsTheUin)
{
    EXPECT_TRUE(Load("UIN=123456\r\n")->icqEnabled);
    EXPECT_FALSE(Load("ICQ_ENABLED=True\r\nUIN=\r\n")->icqEnabled);
    EXPECT_FALSE(Load("ICQ_ENABLED=False\r\nUIN=123456\r\n")->icqEnabled);
    EXPECT_FALSE(Load("MSN_ENABLED=True\r\n")->msnEnabled);
}

TEST_F(SettingsTest, KeysAreCaseInsensitiveValuesKeepTheirCase)
{
    auto s = Load("sound = true\nvibro=TRUE\rSHOW_DT=yes\r\nshow_names = FaLsE\nSkin_Source = My.Skin.xml\n");
    EXPECT_TRUE(s->sound);
    EXPECT_TRUE(s->vibro);
    EXPECT_FALSE(s->showDateTime);  // anything but true is false
    EXPECT_FALSE(s->showNames);
    EXPECT_EQ(s->SkinSource(), u"My.Skin.xml");
}

TEST_F(SettingsTest, HostListParsing)
{
    struct Case {
        const char* name;
        const char* value;
        std::vector<LoginHost> expected;
    } cases[] = {
        {"host alone and host with port", "a.example,b.example:443", {{"a.example", "5190"}, {"b.example", "443"}}},
        {"empty value", "", {}},
        {"empty items skipped", ",,a:1,,b,", {{"a", "1"}, {"b", "5190"}}},
        {"port kept unchecked", "h:notaport", {{"h", "notaport"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseHostList(c.value), c.expected) << c.name;
    EXPECT_TRUE(Load("LOGINHOSTS=\r\n")->loginHosts.empty());
    EXPECT_EQ(FormatHostList({{"a", "1"}, {"b", "5190"}}), "a:1,b:5190");
}

TEST_F(SettingsTest, KeyActionsMatchNamesExactly)
{
    auto s = Load("KEY1=chat\r\nKEY2=CHAT\r\nLSOFTKEY=QUIT\r\nKEY3=\r\n");
    EXPECT_EQ(s->KeyActionOf(1), KeyAction::ShowOffline);  // lower case keeps the default
    EXPECT_EQ(s->KeyActionOf(2), KeyAction::Chat);
    EXPECT_EQ(s->KeyActionOf(3), KeyAction::Vibro);
    EXPECT_EQ(s->leftSoftKeyAction, KeyAction::Quit);
    EXPECT_EQ(s->KeyActionOf(10), KeyAction::None);
    EXPECT_EQ(s->KeyActionOf(-1), KeyAction::None);
}

TEST_F(SettingsTest, EmptyFileNamesKeepTheirDefaults)
{
    auto s = Load("SKIN_SOURCE=\r\nICONS_SOURCE=  \r\nSMILE_SOURCE=Mine.Smilies.xml\r\n");
    EXPECT_EQ(s->SkinSource(), u"Default.Skin.xml");
    EXPECT_EQ(s->IconsSource(), u"Default.Icons.xml");
    EXPECT_EQ(s->SmileSource(), u"Mine.Smilies.xml");
}

TEST_F(SettingsTest, PasswordsRoundTripAndPlainPasswordsAreUsedAsTyped)
{
    for (const char16_t* secret : {u"", u"a", u"correct horse", u"p@ss=word;###", u"\u00e9t\u00e9"}) {
        auto s = MakeRef<Settings>();
        s->EnsureLoaded();
        s->password = secret;
        s->msnPassword = secret;
        ASSERT_TRUE(s->Save());
        auto back = MakeRef<Settings>();
        EXPECT_EQ(back->Password(), secret);
        EXPECT_EQ(back->msnPassword, secret);
    }
    EXPECT_EQ(Load("PASSWORD=plain###\r\n")->Password(), u"plain###");
    EXPECT_EQ(ScramblePassword(""), "###");
    // Files written earlier must stay readable: the scrambled form is fixed.
    EXPECT_EQ(ScramblePassword("demo"), "###8FEDD0CD");
    EXPECT_EQ(ScramblePassword("Secret 9!"), "###B0EDC6C83200B18F6A");
    EXPECT_EQ(Load("PASSWORD=###B0EDC6C83200B18F6A\r\n")->Password(), u"Secret 9!");
    // Digits of either case; other characters skipped.
    std::string hex = ScramblePassword("secret").substr(3);
    std::string mixed;
    for (char c : hex)
        mixed += static_cast<char>(std::tolower(static_cast<unsigned char>(c))), mixed += '-';
    EXPECT_EQ(UnscramblePassword(mixed), "secret");
}

TEST_F(SettingsTest, ShortOrOddMsnPasswordsDoNotFail)
{
    EXPECT_TRUE(Load("MSN_PASSWORD=#\r\n")->msnPassword.empty());
    Load("MSN_PASSWORD=abc1\r\n");
    Load("MSN_PASSWORD=###A\r\n");
}

TEST_F(SettingsTest, SaveWritesEveryKeyInOrder)
{
    auto s = MakeRef<Settings>();
    s->uin = u"42";
    s->SetKeyActionOf(9, KeyAction::Find);
    ASSERT_TRUE(s->Save());
    std::string text = ReadFile();
    const char* order[] = {"ICQ_ENABLED=False\r\n", "UIN=42\r\n", "PASSWORD=###\r\n", "MSN_ENABLED=",
                           "MSN_EMAIL=", "MSN_PASSWORD=###\r\n", "LOGINHOSTS=", "SOUND=True\r\n", "VIBRO=",
                           "VIBRO_COUNT=5\r\n", "USER_ONLINE_SOUND=", "SHOW_OFFLINE=", "SHOW_DT=", "SHOW_NAMES=",
                           "SENDING_ACK=", "CODE_PAGE=0\r\n", "TYPING_NOTIFICATIONS=", "SCROLLING=", "JRIGHT_CHAT=",
                           "ICQ_PING_PERIOD=120\r\n", "MSN_PING_PERIOD=", "ICQ_SUPPORT_CH2=", "SMILE_SOURCE=",
                           "MSN_SMILE_SOURCE=", "SKIN_SOURCE=", "ICONS_SOURCE=", "LSOFTKEY=SHOWOFFLINE\r\n",
                           "KEY0=QUIT\r\n", "KEY8=SCROLLING\r\n", "KEY9=FIND\r\n"};
    std::size_t at = 0;
    for (const char* piece : order) {
        std::size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece;
        at = found + 1;
    }
    // What was saved reads back to the same fields.
    auto back = MakeRef<Settings>();
    back->EnsureLoaded();
    EXPECT_EQ(back->Format(), s->Format());
}

TEST_F(SettingsTest, SaveNeverReplacesAnUnreadFileWithDefaults)
{
    WriteFile("UIN=777\r\nSOUND=False\r\n");
    auto s = MakeRef<Settings>();
    ASSERT_TRUE(s->Save());  // loads first
    auto back = MakeRef<Settings>();
    EXPECT_EQ(back->Uin(), u"777");
    EXPECT_FALSE(back->sound);
}

TEST_F(SettingsTest, BadInputLeavesDefaults)
{
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"binary garbage", std::string("\x01\xff\xfe\x80=\x00\x02zz\xc3", 11)},
        {"empty keys", "=\r\n==\r\n=True\r\n"},
        {"out-of-range numbers",
         "VIBRO_COUNT=99999999999999999999\r\nICQ_PING_PERIOD=-5\r\nCODE_PAGE=12345\r\n"
         "MSN_PING_PERIOD=-99999999999\r\n"},
        {"unknown keys", "FOO=BAR\r\nKEY10=QUIT\r\n"},
    };
    auto defaults = MakeRef<Settings>();
    defaults->EnsureLoaded();
    for (const Case& c : cases) {
        auto s = Load(c.bytes);
        EXPECT_EQ(s->vibroCount, 5) << c.name;
        EXPECT_EQ(s->icqPingPeriod, 120) << c.name;
        EXPECT_EQ(s->codePage, 0) << c.name;
        EXPECT_EQ(s->msnPingPeriod, 120) << c.name;
        EXPECT_EQ(s->loginHosts, DefaultLoginHosts()) << c.name;
        EXPECT_FALSE(s->icqEnabled) << c.name;
        EXPECT_TRUE(s->sound) << c.name;
    }
}

// A line without "=" is its own key and value: the value is then the key's
// name, read by the key's type like any other value.
TEST_F(SettingsTest, LineWithoutEqualsSignIsBothKeyAndValue)
{
    auto s = Load("SOUND\r\n vibro \r\nVIBRO_COUNT\r\nICQ_PING_PERIOD\r\nUIN\r\nSKIN_SOURCE\r\nKEY3\r\n");
    EXPECT_FALSE(s->sound);
    EXPECT_FALSE(s->vibro);
    EXPECT_EQ(s->vibroCount, 0);          // no digits: 0, a valid count
    EXPECT_EQ(s->icqPingPeriod, 120);     // 0 is no usable period: the default stays
    EXPECT_EQ(s->Uin(), u"UIN");          // taken as text; the account refuses it later
    EXPECT_TRUE(s->icqEnabled);           // a UIN without ICQ_ENABLED
    EXPECT_EQ(s->SkinSource(), u"SKIN_SOURCE");
    EXPECT_EQ(s->KeyActionOf(3), KeyAction::Vibro);  // "KEY3" is no action name
}

TEST_F(SettingsTest, WideScreenDefaultsToTheQvgaSkin)
{
    setenv("CORVANE_SCREEN", "240x320", 1);
    auto wide = MakeRef<Settings>();
    unsetenv("CORVANE_SCREEN");
    EXPECT_EQ(wide->skinSource, u"QVGA.Skin.xml");
    setenv("CORVANE_SCREEN", "200x200", 1);
    auto narrow = MakeRef<Settings>();
    unsetenv("CORVANE_SCREEN");
    EXPECT_EQ(narrow->skinSource, u"Default.Skin.xml");
}

TEST_F(SettingsTest, TextEndsAtTheFirstZeroByte)
{
    auto s = Load(std::string("UIN=5\r\nSOUND=False\r\n\0VIBRO=False\r\n", 34));
    EXPECT_EQ(s->Uin(), u"5");
    EXPECT_FALSE(s->sound);
    EXPECT_TRUE(s->vibro);
}

// Save writes only what the load understood; a file it did not understand
// whole is copied aside first, once, and a clean file gets no copy.
TEST_F(SettingsTest, AFileNotReadWholeIsKeptBeforeTheSaveReplacesIt)
{
    const std::string damaged = Settings::FilePath() + ".damaged";
    const char raw[] = "UIN=5\r\nSOUND=False\r\n\0PASSWORD=###90EDC6C83200\r\n";
    const std::string text(raw, sizeof raw - 1);
    auto s = Load(text);
    ASSERT_TRUE(s->Save());
    std::ifstream copy(damaged, std::ios::binary);
    std::stringstream kept;
    kept << copy.rdbuf();
    EXPECT_EQ(kept.str(), text);
    EXPECT_EQ(ReadFile(), s->Format());

    ASSERT_EQ(std::remove(damaged.c_str()), 0);
    auto clean = Load("uin=5\r\n  \r\n\r\nSOUND = False\r\n");
    ASSERT_TRUE(clean->Save());
    EXPECT_NE(access(damaged.c_str(), F_OK), 0);
    EXPECT_FALSE(MakeRef<Settings>()->Parse("FOO=BAR\r\n"));
}

TEST_F(SettingsTest, HugeLinesAndManyHostsAreHandled)
{
    std::string big = "UIN=1\r\nSMILE_SOURCE=" + std::string(3u << 20, 'x') + "\r\nLOGINHOSTS=";
    for (int i = 0; i < 500; ++i)
        big += "host" + std::to_string(i) + ":" + std::to_string(5000 + i) + ",";
    big += "\r\nVIBRO_COUNT=7\r\n";
    auto s = Load(big);
    EXPECT_EQ(s->Uin(), u"1");
    EXPECT_EQ(s->smileSource.size(), 3u << 20);
    EXPECT_EQ(s->loginHosts.size(), 500u);
    EXPECT_EQ(s->loginHosts[499], (LoginHost{"host499", "5499"}));
    EXPECT_EQ(s->vibroCount, 7);
}

TEST_F(SettingsTest, UnwritableFolderSkipsTheSaveAndLeavesDefaults)
{
    // Nobody, not even root, can create files in /proc.
    app::SetAppFolder(u"/proc/");
    auto s = MakeRef<Settings>();
    s->EnsureLoaded();
    EXPECT_EQ(s->vibroCount, 5);
    s->uin = u"10";
    EXPECT_FALSE(s->Save());
    EXPECT_TRUE(MakeRef<Settings>()->Uin().empty());
}

TEST_F(SettingsTest, FailedWriteLeavesTheOldFileWhole)
{
    WriteFile("UIN=9\r\n");
    // A folder where the temporary file should go makes the write fail the
    // way a full disk would: nothing may be lost.
    ASSERT_EQ(mkdir((Settings::FilePath() + ".tmp").c_str(), 0755), 0);
    auto s = MakeRef<Settings>();
    s->EnsureLoaded();
    s->uin = u"10";
    EXPECT_FALSE(s->Save());
    EXPECT_EQ(ReadFile(), "UIN=9\r\n");
    rmdir((Settings::FilePath() + ".tmp").c_str());
    EXPECT_TRUE(s->Save());
    EXPECT_EQ(MakeRef<Settings>()->Uin(), u"10");
}

TEST_F(SettingsTest, ConcurrentFirstAccessLoadsOnce)
{
    WriteFile("UIN=31337\r\n");
    auto s = MakeRef<Settings>();
    std::vector<std::thread> readers;
    std::atomic<int> right{0};
    for (int i = 0; i < 4; ++i)
        readers.emplace_back([&] {
            if (s->Uin() == u"31337")
                ++right;
        });
    for (auto& t : readers)
        t.join();
    EXPECT_EQ(right.load(), 4);
}

}  // namespace
