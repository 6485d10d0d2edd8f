// The text form of the settings file: parsing KEY=VALUE lines into the
// fields and formatting the fields back, plus the host list and password
// scrambling forms.

#include <limits>
#include <optional>
#include <string>

#include "app/AppGlobals.h"
#include "app/HexDigit.h"
#include "app/Settings.h"
#include "platform/text/CodePage.h"

namespace {

// Password scrambling constants: each byte has the offset subtracted, then is
// combined with a mask that starts at kMaskStart and grows by kMaskStep.
constexpr unsigned char kScrambleOffset = 0x3C;
constexpr unsigned char kMaskStart = 0xA7;
constexpr unsigned char kMaskStep = 0x1D;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string UpperAscii(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool ParseBool(std::string_view value) { return UpperAscii(value) == "TRUE"; }

// Decimal with an optional sign, stopping at the first non-digit; no digits
// gives 0. A number that does not fit in 32 bits gives nullopt (the caller
// keeps its default instead of wrapping).
std::optional<std::int32_t> ParseInteger(std::string_view value)
{
    bool negative = false;
    std::size_t pos = 0;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
        negative = value[pos] == '-';
        ++pos;
    }
    std::int64_t number = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        number = number * 10 + (value[pos] - '0');
        if (number > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        number = -number;
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

void SetInteger(std::int32_t& field, std::string_view value, std::int32_t low, std::int32_t high)
{
    std::optional<std::int32_t> number = ParseInteger(value);
    if (number && *number >= low && *number <= high)
        field = *number;
}

bool IsUsableCodePage(std::int32_t codePage)
{
    return codePage == 0 || (codePage > 0 && platform::IsSupportedCodePage(static_cast<UINT>(codePage)));
}

WideString FromDefaultCodePage(std::string_view value) { return platform::BytesToWide(value, CP_ACP); }

WideString FromProcessCodePage(std::string_view value)
{
    return platform::BytesToWide(value, static_cast<UINT>(app::ProcessCodePage()));
}

std::string ToProcessCodePage(const WideString& value)
{
    return platform::WideToBytes(value, static_cast<UINT>(app::ProcessCodePage()));
}

void SetAction(std::int32_t& field, std::string_view value)
{
    std::string name = platform::WideToBytes(FromDefaultCodePage(value), CP_ACP);
    const auto& names = KeyActionNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (name == names[i]) {
            field = static_cast<std::int32_t>(i);
            return;
        }
    }
}

const char* BoolText(bool value) { return value ? "True" : "False"; }

// Range checks. A value outside its range keeps the current one instead of
// being taken as it is: a ping period of 0 or less would send keep-alives
// without pause, an absurd vibration count would keep the phone vibrating for
// minutes, an unsupported code page would make every text conversion (and the
// stored password) fail, and a number beyond 32 bits would wrap to an
// unrelated value.
constexpr std::int32_t kMostVibrations = 100;
constexpr std::int32_t kLongestPingPeriod = 86400;
constexpr std::int32_t kHighestCodePage = 65535;

// Readers and writers by field type. A reader stores a value from the file; a
// writer gives the value to save, or nothing for a line that is left out.
using Reader = void (*)(Settings&, std::string_view value);
using Writer = std::optional<std::string> (*)(const Settings&);

template <bool Settings::*Field>
void ReadBool(Settings& settings, std::string_view value)
{
    settings.*Field = ParseBool(value);
}

template <bool Settings::*Field>
std::optional<std::string> WriteBool(const Settings& settings)
{
    return BoolText(settings.*Field);
}

template <std::int32_t Settings::*Field, std::int32_t Low, std::int32_t High>
void ReadInteger(Settings& settings, std::string_view value)
{
    SetInteger(settings.*Field, value, Low, High);
}

template <std::int32_t Settings::*Field>
std::optional<std::string> WriteInteger(const Settings& settings)
{
    return std::to_string(settings.*Field);
}

// UIN and e-mail: code page 0, stored as they are (an empty value too).
template <WideString Settings::*Field>
void ReadText(Settings& settings, std::string_view value)
{
    settings.*Field = FromDefaultCodePage(value);
}

template <WideString Settings::*Field>
std::optional<std::string> WriteText(const Settings& settings)
{
    return platform::WideToBytes(settings.*Field, CP_ACP);
}

// File names: an empty value keeps the default, an empty field is not written.
template <WideString Settings::*Field>
void ReadFileName(Settings& settings, std::string_view value)
{
    WideString converted = FromDefaultCodePage(value);
    if (!converted.empty())
        settings.*Field = converted;
}

template <WideString Settings::*Field>
std::optional<std::string> WriteFileName(const Settings& settings)
{
    if ((settings.*Field).empty())
        return std::nullopt;
    return platform::WideToBytes(settings.*Field, CP_ACP);
}

template <WideString Settings::*Field>
std::optional<std::string> WritePassword(const Settings& settings)
{
    return ScramblePassword(ToProcessCodePage(settings.*Field));
}

void ReadPassword(Settings& settings, std::string_view value)
{
    if (value.size() >= 3 && value.substr(0, 3) == "###")
        settings.password = FromProcessCodePage(UnscramblePassword(value.substr(3)));
    else
        settings.password = FromProcessCodePage(value);
}

// Always scrambled: the first three characters are skipped whatever they are.
void ReadMsnPassword(Settings& settings, std::string_view value)
{
    settings.msnPassword = value.size() >= 3 ? FromProcessCodePage(UnscramblePassword(value.substr(3))) : WideString();
}

void ReadLoginHosts(Settings& settings, std::string_view value) { settings.loginHosts = ParseHostList(value); }

std::optional<std::string> WriteLoginHosts(const Settings& settings) { return FormatHostList(settings.loginHosts); }

void ReadCodePage(Settings& settings, std::string_view value)
{
    std::int32_t candidate = settings.codePage;
    SetInteger(candidate, value, 0, kHighestCodePage);
    if (IsUsableCodePage(candidate))
        settings.codePage = candidate;
}

std::string ActionName(std::int32_t action)
{
    const auto& names = KeyActionNames();
    return names[action >= 0 && action < KeyAction::Count ? static_cast<std::size_t>(action) : 0];
}

void ReadLeftSoftKey(Settings& settings, std::string_view value) { SetAction(settings.leftSoftKeyAction, value); }

std::optional<std::string> WriteLeftSoftKey(const Settings& settings) { return ActionName(settings.leftSoftKeyAction); }

template <std::size_t Key>
void ReadKeyAction(Settings& settings, std::string_view value)
{
    SetAction(settings.keyActions[Key], value);
}

template <std::size_t Key>
std::optional<std::string> WriteKeyAction(const Settings& settings)
{
    return ActionName(settings.keyActions[Key]);
}

struct SettingKey {
    const char* name;
    Reader read;
    Writer write;
};

// Every key of the file, in the order Save writes them.
constexpr SettingKey kKeys[] = {
    {"ICQ_ENABLED", ReadBool<&Settings::icqEnabled>, WriteBool<&Settings::icqEnabled>},
    {"UIN", ReadText<&Settings::uin>, WriteText<&Settings::uin>},
    {"PASSWORD", ReadPassword, WritePassword<&Settings::password>},
    {"MSN_ENABLED", ReadBool<&Settings::msnEnabled>, WriteBool<&Settings::msnEnabled>},
    {"MSN_EMAIL", ReadText<&Settings::msnEmail>, WriteText<&Settings::msnEmail>},
    {"MSN_PASSWORD", ReadMsnPassword, WritePassword<&Settings::msnPassword>},
    {"LOGINHOSTS", ReadLoginHosts, WriteLoginHosts},
    {"SOUND", ReadBool<&Settings::sound>, WriteBool<&Settings::sound>},
    {"VIBRO", ReadBool<&Settings::vibro>, WriteBool<&Settings::vibro>},
    {"VIBRO_COUNT", ReadInteger<&Settings::vibroCount, 0, kMostVibrations>, WriteInteger<&Settings::vibroCount>},
    {"USER_ONLINE_SOUND", ReadBool<&Settings::userOnlineSound>, WriteBool<&Settings::userOnlineSound>},
    {"SHOW_OFFLINE", ReadBool<&Settings::showOffline>, WriteBool<&Settings::showOffline>},
    {"SHOW_DT", ReadBool<&Settings::showDateTime>, WriteBool<&Settings::showDateTime>},
    {"SHOW_NAMES", ReadBool<&Settings::showNames>, WriteBool<&Settings::showNames>},
    {"SENDING_ACK", ReadBool<&Settings::sendingAck>, WriteBool<&Settings::sendingAck>},
    {"CODE_PAGE", ReadCodePage, WriteInteger<&Settings::codePage>},
    {"TYPING_NOTIFICATIONS", ReadBool<&Settings::typingNotifications>, WriteBool<&Settings::typingNotifications>},
    {"SCROLLING", ReadBool<&Settings::scrolling>, WriteBool<&Settings::scrolling>},
    {"JRIGHT_CHAT", ReadBool<&Settings::joystickRightChat>, WriteBool<&Settings::joystickRightChat>},
    {"ICQ_PING_PERIOD", ReadInteger<&Settings::icqPingPeriod, 1, kLongestPingPeriod>,
     WriteInteger<&Settings::icqPingPeriod>},
    // Kept and written only: any 32-bit value.
    {"MSN_PING_PERIOD",
     ReadInteger<&Settings::msnPingPeriod, std::numeric_limits<std::int32_t>::min(),
                 std::numeric_limits<std::int32_t>::max()>,
     WriteInteger<&Settings::msnPingPeriod>},
    {"ICQ_SUPPORT_CH2", ReadBool<&Settings::icqSupportCh2>, WriteBool<&Settings::icqSupportCh2>},
    {"SMILE_SOURCE", ReadFileName<&Settings::smileSource>, WriteFileName<&Settings::smileSource>},
    {"MSN_SMILE_SOURCE", ReadFileName<&Settings::msnSmileSource>, WriteFileName<&Settings::msnSmileSource>},
    {"SKIN_SOURCE", ReadFileName<&Settings::skinSource>, WriteFileName<&Settings::skinSource>},
    {"ICONS_SOURCE", ReadFileName<&Settings::iconsSource>, WriteFileName<&Settings::iconsSource>},
    {"LSOFTKEY", ReadLeftSoftKey, WriteLeftSoftKey},
    {"KEY0", ReadKeyAction<0>, WriteKeyAction<0>},
    {"KEY1", ReadKeyAction<1>, WriteKeyAction<1>},
    {"KEY2", ReadKeyAction<2>, WriteKeyAction<2>},
    {"KEY3", ReadKeyAction<3>, WriteKeyAction<3>},
    {"KEY4", ReadKeyAction<4>, WriteKeyAction<4>},
    {"KEY5", ReadKeyAction<5>, WriteKeyAction<5>},
    {"KEY6", ReadKeyAction<6>, WriteKeyAction<6>},
    {"KEY7", ReadKeyAction<7>, WriteKeyAction<7>},
    {"KEY8", ReadKeyAction<8>, WriteKeyAction<8>},
    {"KEY9", ReadKeyAction<9>, WriteKeyAction<9>},
};

const SettingKey* FindKey(std::string_view name)
{
    for (const SettingKey& key : kKeys) {
        if (name == key.name)
            return &key;
    }
    return nullptr;
}

}  // namespace

std::vector<LoginHost> ParseHostList(std::string_view value)
{
    std::vector<LoginHost> hosts;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t comma = value.find(',', start);
        std::string_view item = value.substr(start, comma == std::string_view::npos ? value.npos : comma - start);
        if (!item.empty()) {
            std::size_t colon = item.find(':');
            if (colon == std::string_view::npos)
                hosts.push_back({std::string(item), "5190"});
            else
                hosts.push_back({std::string(item.substr(0, colon)), std::string(item.substr(colon + 1))});
        }
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return hosts;
}

std::string FormatHostList(const std::vector<LoginHost>& hosts)
{
    std::string text;
    for (const LoginHost& entry : hosts) {
        if (!text.empty())
            text += ',';
        text += entry.host;
        text += ':';
        text += entry.port;
    }
    return text;
}

std::string ScramblePassword(std::string_view bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text = "###";
    unsigned char mask = kMaskStart;
    for (char c : bytes) {
        auto value = static_cast<unsigned char>(static_cast<unsigned char>(c) - kScrambleOffset);
        value = static_cast<unsigned char>(value ^ mask);
        text += kHex[value >> 4];
        text += kHex[value & 0x0F];
        mask = static_cast<unsigned char>(mask + kMaskStep);
    }
    return text;
}

std::string UnscramblePassword(std::string_view hex)
{
    std::string bytes;
    unsigned char mask = kMaskStart;
    int high = -1;
    for (char c : hex) {
        int digit = app::HexDigitValue(static_cast<unsigned char>(c));
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
            continue;
        }
        auto value = static_cast<unsigned char>((high << 4) | digit);
        high = -1;
        value = static_cast<unsigned char>(value ^ mask);
        value = static_cast<unsigned char>(value + kScrambleOffset);
        bytes += static_cast<char>(value);
        mask = static_cast<unsigned char>(mask + kMaskStep);
    }
    return bytes;
}


bool Settings::Parse(std::string_view text)
{
    std::size_t zero = text.find('\0');
    bool understood = zero == std::string_view::npos;
    if (!understood)
        text = text.substr(0, zero);
    text = TrimBlanks(text);
    bool icqEnabledSeen = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!line.empty() && !ApplyLine(line, icqEnabledSeen))
            understood = false;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    if (!icqEnabledSeen && !uin.empty())
        icqEnabled = true;
    if (uin.empty())
        icqEnabled = false;
    if (msnEmail.empty())
        msnEnabled = false;
    return understood;
}

bool Settings::ApplyLine(std::string_view line, bool& icqEnabledSeen)
{
    // The key is the text before the first "=", the value the text after it;
    // a line without "=" is both key and value, so a bare "SOUND" reads as
    // the value "SOUND", which is not "TRUE": sound off.
    std::size_t equals = line.find('=');
    std::string_view rawKey = equals == std::string_view::npos ? line : line.substr(0, equals);
    std::string_view value = TrimBlanks(equals == std::string_view::npos ? line : line.substr(equals + 1));
    const SettingKey* key = FindKey(UpperAscii(TrimBlanks(rawKey)));
    if (key == nullptr)
        return TrimBlanks(line).empty();
    key->read(*this, value);
    if (std::string_view(key->name) == "ICQ_ENABLED")
        icqEnabledSeen = true;
    return true;
}

std::string Settings::Format() const
{
    std::string out;
    for (const SettingKey& key : kKeys) {
        std::optional<std::string> value = key.write(*this);
        if (!value)
            continue;
        out += key.name;
        out += '=';
        out += *value;
        out += "\r\n";
    }
    return out;
}
