#include "app/Settings.h"

#include "app/AppGlobals.h"
#include "app/SettingsFile.h"
#include "platform/base/SystemMetrics.h"
#include "platform/base/WideString.h"
#include "platform/file/File.h"
#include "platform/sync/Sync.h"

namespace {

constexpr DWORD kLoadWaitMilliseconds = 10000;
constexpr int kWideScreenFrom = 201;

}  // namespace

const std::array<const char*, KeyAction::Count>& KeyActionNames()
{
    static const std::array<const char*, KeyAction::Count> names = {
        "NONE", "QUIT", "SHOWOFFLINE", "SOUND", "VIBRO", "SCROLLING", "CHAT", "INFO", "FIND", "SETTINGS"};
    return names;
}

std::vector<LoginHost> DefaultLoginHosts()
{
    return {{"login.icq.com", "5190"}, {"login.oscar.aol.com", "5190"}, {"ibucp-vip-d.blue.aol.com", "5190"}};
}

Settings::Settings()
    : loginHosts(DefaultLoginHosts()),
      keyActions{KeyAction::Quit,      KeyAction::ShowOffline, KeyAction::Sound,    KeyAction::Vibro,
                 KeyAction::Chat,      KeyAction::Info,        KeyAction::Find,     KeyAction::Settings,
                 KeyAction::Scrolling, KeyAction::None}
{
    skinSource = GetSystemMetrics(SM_CXSCREEN) >= kWideScreenFrom ? u"QVGA.Skin.xml" : u"Default.Skin.xml";
    m_loaded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_loadOnce = CreateEventW(nullptr, FALSE, TRUE, nullptr);
}

Settings::~Settings()
{
    CloseHandle(m_loaded);
    CloseHandle(m_loadOnce);
}

std::string Settings::FilePath() { return platform::WideToUtf8(app::AppFolder()) + "Corvane.config"; }

void Settings::EnsureLoaded()
{
    if (WaitForSingleObject(m_loaded, 0) == WAIT_OBJECT_0)
        return;
    if (WaitForSingleObject(m_loadOnce, 0) != WAIT_OBJECT_0) {
        WaitForSingleObject(m_loaded, kLoadWaitMilliseconds);
        return;
    }
    Load();
    SetEvent(m_loaded);
}

void Settings::Load()
{
    // A file that is only partly understood is copied aside first: the next
    // Save writes only what was understood, and the rest must not be lost.
    std::string text;
    if (app::ReadSettingsFile(FilePath(), text) && !Parse(text))
        platform::KeepDamagedCopy(FilePath(), text);
}

bool Settings::Save()
{
    EnsureLoaded();
    return app::ReplaceSettingsFile(FilePath(), Format());
}

WideString Settings::Uin()
{
    EnsureLoaded();
    return uin;
}

WideString Settings::Password()
{
    EnsureLoaded();
    return password;
}

WideString Settings::SmileSource()
{
    EnsureLoaded();
    return smileSource;
}

WideString Settings::SkinSource()
{
    EnsureLoaded();
    return skinSource;
}

WideString Settings::IconsSource()
{
    EnsureLoaded();
    return iconsSource;
}

std::int32_t Settings::KeyActionOf(int key)
{
    EnsureLoaded();
    if (key < 0 || key >= static_cast<int>(keyActions.size()))
        return KeyAction::None;
    return keyActions[static_cast<std::size_t>(key)];
}

void Settings::SetKeyActionOf(int key, std::int32_t action)
{
    EnsureLoaded();
    if (key < 0 || key >= static_cast<int>(keyActions.size()) || action < 0 || action >= KeyAction::Count)
        return;
    keyActions[static_cast<std::size_t>(key)] = action;
}
