// The user's options, kept in "Corvane.config" in AppFolder: KEY=VALUE lines
// in an 8-bit code page.
//
// A Settings object starts with the defaults, reads the file once on first
// use (EnsureLoaded; a second thread waits for the first), and writes the
// whole file anew on Save. Fields are read directly after EnsureLoaded.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/RefCounted.h"
#include "platform/base/Types.h"

// Actions of the number keys and the left soft key, stored by index.
namespace KeyAction {
constexpr std::int32_t None = 0;
constexpr std::int32_t Quit = 1;
constexpr std::int32_t ShowOffline = 2;
constexpr std::int32_t Sound = 3;
constexpr std::int32_t Vibro = 4;
constexpr std::int32_t Scrolling = 5;
constexpr std::int32_t Chat = 6;
constexpr std::int32_t Info = 7;
constexpr std::int32_t Find = 8;
constexpr std::int32_t Settings = 9;
constexpr std::int32_t Count = 10;
}  // namespace KeyAction

// The names of the actions in the file, by index ("NONE" to "SETTINGS").
const std::array<const char*, KeyAction::Count>& KeyActionNames();

// A login server: host name and decimal port, both 8-bit text.
struct LoginHost {
    std::string host;
    std::string port;

    friend bool operator==(const LoginHost&, const LoginHost&) = default;
};

class Settings : public virtual RefCounted {
public:
    Settings();

    // Loads the file on the first call; later calls return at once. A thread
    // that finds another one loading waits for it up to 10 s.
    void EnsureLoaded();

    // Writes the whole file from the current fields. The file is written to a
    // temporary file that then replaces the old one, so a failed write never
    // leaves a truncated file. Returns false when nothing was written.
    bool Save();

    // Accessors; each ensures the file was loaded.
    WideString Uin();
    WideString Password();
    WideString SmileSource();
    WideString SkinSource();
    WideString IconsSource();
    std::int32_t KeyActionOf(int key);
    void SetKeyActionOf(int key, std::int32_t action);

    // The file as 8-bit text, in the order and form Save writes.
    std::string Format() const;

    // Applies the text of a settings file to the fields (the load rules).
    // False when some of it was not understood: a line of no known key, or
    // text after a zero byte.
    bool Parse(std::string_view text);

    // "Corvane.config" in AppFolder, as a host path.
    static std::string FilePath();

    // Fields, in declaration order.
    bool icqEnabled = false;
    WideString uin;
    WideString password;
    bool msnEnabled = false;
    WideString msnEmail;
    WideString msnPassword;
    std::vector<LoginHost> loginHosts;
    bool sound = true;
    bool vibro = true;
    std::int32_t vibroCount = 5;
    bool userOnlineSound = true;
    bool showOffline = false;
    bool showDateTime = true;
    bool showNames = true;
    bool sendingAck = true;
    std::int32_t codePage = 0;
    bool typingNotifications = true;
    WideString smileSource = u"Default.Smilies.xml";
    WideString msnSmileSource = u"MSN.Smilies.xml";
    WideString skinSource;
    WideString iconsSource = u"Default.Icons.xml";
    bool scrolling = false;
    bool joystickRightChat = true;
    std::int32_t icqPingPeriod = 120;
    std::int32_t msnPingPeriod = 120;
    bool icqSupportCh2 = true;
    std::array<std::int32_t, 10> keyActions{};
    std::int32_t leftSoftKeyAction = KeyAction::ShowOffline;

protected:
    ~Settings() override;

private:
    void Load();
    bool ApplyLine(std::string_view line, bool& icqEnabledSeen);

    HANDLE m_loaded = nullptr;    // manual reset: signalled once the file was read
    HANDLE m_loadOnce = nullptr;  // auto reset: taken by the one loading thread
};

// The default login servers, each with port "5190".
std::vector<LoginHost> DefaultLoginHosts();

// "host:port,host,..." as the file holds it. Empty items are skipped; an item
// without a colon gets port "5190".
std::vector<LoginHost> ParseHostList(std::string_view value);
std::string FormatHostList(const std::vector<LoginHost>& hosts);

// The scrambled password form: "###" followed by two upper-case hexadecimal
// digits per byte. Unscramble takes the text after "###".
std::string ScramblePassword(std::string_view bytes);
std::string UnscramblePassword(std::string_view hex);
