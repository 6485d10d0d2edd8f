// The text form of the settings file: parsing KEY=VALUE lines into the
// fields and formatting the fields back, plus the host list and password
// scrambling forms.

#include <charconv>
#include <optional>
#include <cstdio>
#include <limits>
#include <map>

#include "app/AppGlobals.h"
#include "app/Settings.h"
#include "platform/text/CodePage.h"

namespace {

// Keys by their index in the file's key table (index 7 is unused).
enum class Key {
    IcqEnabled = 0,
    Uin = 1,
    Password = 2,
    MsnEnabled = 3,
    MsnEmail = 4,
    MsnPassword = 5,
    LoginHosts = 6,
    Sound = 8,
    Vibro = 9,
    VibroCount = 10,
    UserOnlineSound = 11,
    ShowOffline = 12,
    ShowDateTime = 13,
    ShowNames = 14,
    SendingAck = 15,
    CodePage = 16,
    TypingNotifications = 17,
    SmileSource = 18,
    MsnSmileSource = 19,
    SkinSource = 20,
    IconsSource = 21,
    Scrolling = 22,
    JoystickRightChat = 23,
    LeftSoftKey = 24,
    IcqPingPeriod = 25,
    MsnPingPeriod = 26,
    IcqSupportCh2 = 27,
    Key0 = 28,
};

const std::map<std::string, int, std::less<>>& KeyTable()
{
    static const std::map<std::string, int, std::less<>> table = [] {
        std::map<std::string, int, std::less<>> t = {
            {"ICQ_ENABLED", 0},        {"UIN", 1},
            {"PASSWORD", 2},           {"MSN_ENABLED", 3},
            {"MSN_EMAIL", 4},          {"MSN_PASSWORD", 5},
            {"LOGINHOSTS", 6},         {"SOUND", 8},
            {"VIBRO", 9},              {"VIBRO_COUNT", 10},
            {"USER_ONLINE_SOUND", 11}, {"SHOW_OFFLINE", 12},
            {"SHOW_DT", 13},           {"SHOW_NAMES", 14},
            {"SENDING_ACK", 15},       {"CODE_PAGE", 16},
            {"TYPING_NOTIFICATIONS", 17}, {"SMILE_SOURCE", 18},
            {"MSN_SMILE_SOURCE", 19},  {"SKIN_SOURCE", 20},
            {"ICONS_SOURCE", 21},      {"SCROLLING", 22},
            {"JRIGHT_CHAT", 23},       {"LSOFTKEY", 24},
            {"ICQ_PING_PERIOD", 25},   {"MSN_PING_PERIOD", 26},
            {"ICQ_SUPPORT_CH2", 27},
        };
        for (int i = 0; i < 10; ++i)
            t.emplace("KEY" + std::to_string(i), 28 + i);
        return t;
    }();
    return table;
}

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

void SetFileName(WideString& field, std::string_view value)
{
    WideString converted = FromDefaultCodePage(value);
    if (!converted.empty())
        field = converted;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const char* BoolText(bool value) { return value ? "True" : "False"; }

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
        int digit = HexDigit(c);
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

void Settings::Parse(std::string_view text)
{
    std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos)
        text = text.substr(0, zero);
    text = TrimBlanks(text);
    bool icqEnabledSeen = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!line.empty())
            ApplyLine(line, icqEnabledSeen);
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
}

void Settings::ApplyLine(std::string_view line, bool& icqEnabledSeen)
{
    // A line without "=" is skipped. (Taking the key as its own value would
    // turn a bare "UIN" line into the UIN "UIN" and a bare "VIBRO_COUNT"
    // into 0 vibrations.)
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return;
    std::string_view rawKey = line.substr(0, equals);
    std::string_view value = TrimBlanks(line.substr(equals + 1));
    std::string key = UpperAscii(TrimBlanks(rawKey));
    auto found = KeyTable().find(key);
    if (found == KeyTable().end())
        return;
    int index = found->second;
    if (index >= static_cast<int>(Key::Key0)) {
        SetAction(keyActions[static_cast<std::size_t>(index - static_cast<int>(Key::Key0))], value);
        return;
    }
    switch (static_cast<Key>(index)) {
    case Key::IcqEnabled:
        icqEnabled = ParseBool(value);
        icqEnabledSeen = true;
        break;
    case Key::Uin:
        uin = FromDefaultCodePage(value);
        break;
    case Key::Password:
        if (value.size() >= 3 && value.substr(0, 3) == "###")
            password = FromProcessCodePage(UnscramblePassword(value.substr(3)));
        else
            password = FromProcessCodePage(value);
        break;
    case Key::MsnEnabled:
        msnEnabled = ParseBool(value);
        break;
    case Key::MsnEmail:
        msnEmail = FromDefaultCodePage(value);
        break;
    case Key::MsnPassword:
        msnPassword = value.size() >= 3 ? FromProcessCodePage(UnscramblePassword(value.substr(3))) : WideString();
        break;
    case Key::LoginHosts:
        loginHosts = ParseHostList(value);
        break;
    case Key::Sound:
        sound = ParseBool(value);
        break;
    case Key::Vibro:
        vibro = ParseBool(value);
        break;
    case Key::VibroCount:
        SetInteger(vibroCount, value, 0, 100);
        break;
    case Key::UserOnlineSound:
        userOnlineSound = ParseBool(value);
        break;
    case Key::ShowOffline:
        showOffline = ParseBool(value);
        break;
    case Key::ShowDateTime:
        showDateTime = ParseBool(value);
        break;
    case Key::ShowNames:
        showNames = ParseBool(value);
        break;
    case Key::SendingAck:
        sendingAck = ParseBool(value);
        break;
    case Key::CodePage: {
        std::int32_t candidate = codePage;
        SetInteger(candidate, value, 0, 65535);
        if (IsUsableCodePage(candidate))
            codePage = candidate;
        break;
    }
    case Key::TypingNotifications:
        typingNotifications = ParseBool(value);
        break;
    case Key::SmileSource:
        SetFileName(smileSource, value);
        break;
    case Key::MsnSmileSource:
        SetFileName(msnSmileSource, value);
        break;
    case Key::SkinSource:
        SetFileName(skinSource, value);
        break;
    case Key::IconsSource:
        SetFileName(iconsSource, value);
        break;
    case Key::Scrolling:
        scrolling = ParseBool(value);
        break;
    case Key::JoystickRightChat:
        joystickRightChat = ParseBool(value);
        break;
    case Key::LeftSoftKey:
        SetAction(leftSoftKeyAction, value);
        break;
    case Key::IcqPingPeriod:
        SetInteger(icqPingPeriod, value, 1, 86400);
        break;
    case Key::MsnPingPeriod:
        SetInteger(msnPingPeriod, value, std::numeric_limits<std::int32_t>::min(),
                   std::numeric_limits<std::int32_t>::max());
        break;
    case Key::IcqSupportCh2:
        icqSupportCh2 = ParseBool(value);
        break;
    case Key::Key0:
        break;
    }
}

std::string Settings::Format() const
{
    std::string out;
    auto line = [&out](const char* key, const std::string& value) {
        out += key;
        out += '=';
        out += value;
        out += "\r\n";
    };
    auto number = [](std::int32_t value) { return std::to_string(value); };
    auto fileName = [&](const char* key, const WideString& value) {
        if (!value.empty())
            line(key, platform::WideToBytes(value, CP_ACP));
    };
    auto actionName = [](std::int32_t action) {
        const auto& names = KeyActionNames();
        return std::string(action >= 0 && action < KeyAction::Count ? names[static_cast<std::size_t>(action)]
                                                                    : names[0]);
    };
    line("ICQ_ENABLED", BoolText(icqEnabled));
    line("UIN", platform::WideToBytes(uin, CP_ACP));
    line("PASSWORD", ScramblePassword(ToProcessCodePage(password)));
    line("MSN_ENABLED", BoolText(msnEnabled));
    line("MSN_EMAIL", platform::WideToBytes(msnEmail, CP_ACP));
    line("MSN_PASSWORD", ScramblePassword(ToProcessCodePage(msnPassword)));
    line("LOGINHOSTS", FormatHostList(loginHosts));
    line("SOUND", BoolText(sound));
    line("VIBRO", BoolText(vibro));
    line("VIBRO_COUNT", number(vibroCount));
    line("USER_ONLINE_SOUND", BoolText(userOnlineSound));
    line("SHOW_OFFLINE", BoolText(showOffline));
    line("SHOW_DT", BoolText(showDateTime));
    line("SHOW_NAMES", BoolText(showNames));
    line("SENDING_ACK", BoolText(sendingAck));
    line("CODE_PAGE", number(codePage));
    line("TYPING_NOTIFICATIONS", BoolText(typingNotifications));
    line("SCROLLING", BoolText(scrolling));
    line("JRIGHT_CHAT", BoolText(joystickRightChat));
    line("ICQ_PING_PERIOD", number(icqPingPeriod));
    line("MSN_PING_PERIOD", number(msnPingPeriod));
    line("ICQ_SUPPORT_CH2", BoolText(icqSupportCh2));
    fileName("SMILE_SOURCE", smileSource);
    fileName("MSN_SMILE_SOURCE", msnSmileSource);
    fileName("SKIN_SOURCE", skinSource);
    fileName("ICONS_SOURCE", iconsSource);
    line("LSOFTKEY", actionName(leftSoftKeyAction));
    for (std::size_t i = 0; i < keyActions.size(); ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "KEY%d", static_cast<int>(i));
        line(key, actionName(keyActions[i]));
    }
    return out;
}
