// The program's state message as the listener window reads it, and the row
// texts that follow from it.
#include <gtest/gtest.h>

#include "home/PluginLink.h"
#include "platform/base/WideString.h"
#include "plugin/LibraryState.h"
#include "plugin/Listener.h"
#include "plugin/RowLook.h"
#include "plugin/StateMessage.h"

namespace {

class Payload {
public:
    Payload& Int(std::int32_t value)
    {
        auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<BYTE>(bits >> shift));
        return *this;
    }
    // A block as the program writes it.
    Payload& Block(std::int32_t count, std::int32_t unread, const WideString& text)
    {
        Int(1).Int(count).Int(unread).Int(static_cast<std::int32_t>(text.size()));
        for (WCHAR c : text) {
            bytes.push_back(static_cast<BYTE>(c));
            bytes.push_back(static_cast<BYTE>(c >> 8));
        }
        if (bytes.size() % 4 != 0)
            bytes.insert(bytes.end(), 2, 0);
        return *this;
    }
    std::vector<BYTE> bytes;
};

TEST(StateMessage, DecodesTheBlocksTheProgramSends)
{
    WideString seventy;
    for (int i = 0; i < 70; ++i)
        seventy.push_back(static_cast<WCHAR>(u'a' + i % 26));
    struct Case {
        const char* name;
        std::vector<BYTE> payload;
        bool icq;
        WideString icqText;  // as the row shows it
        bool msn;
        WideString msnText;
    } cases[] = {
        {"a single 0: no blocks", Payload().Int(0).bytes, false, u"", false, u""},
        {"count -1: no parentheses", Payload().Block(-1, 0, u"Offline").Int(0).bytes, true, u"Offline", false, u""},
        {"count 0 is shown", Payload().Block(0, 0, u"Online").Int(0).bytes, true, u"Online (0)", false, u""},
        {"odd text length is padded", Payload().Block(5, 1, u"Away").Block(2, 0, u"On").bytes, true, u"Away (5)",
         true, u"On (2)"},
        {"70 characters keep 63, the MSN block still read", Payload().Block(3, 0, seventy).Block(1, 0, u"X").bytes,
         true, seventy.substr(0, 63) + u" (3)", true, u"X (1)"},
        {"MSN flag right after an absent ICQ block", Payload().Int(0).Block(4, 0, u"M").bytes, false, u"", true,
         u"M (4)"},
        {"a flag other than 1 is absent", Payload().Int(2).Int(0).bytes, false, u"", false, u""},
    };
    for (const Case& c : cases) {
        plugin::ProgramStatus status = plugin::DecodeStateMessage(1, c.payload);
        EXPECT_TRUE(status.haveData) << c.name;
        EXPECT_EQ(status.icq.present, c.icq) << c.name;
        EXPECT_EQ(status.msn.present, c.msn) << c.name;
        if (c.icq) {
            EXPECT_EQ(plugin::BlockText(status.icq), c.icqText) << c.name;
        }
        if (c.msn) {
            EXPECT_EQ(plugin::BlockText(status.msn), c.msnText) << c.name;
        }
    }
}

TEST(StateMessage, ShortOrLyingPayloadsLeaveTheRestCleared)
{
    std::vector<BYTE> whole = Payload().Block(7, 1, u"Online").Block(2, 1, u"Busy").bytes;
    // Every cut reads only what is there.
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        plugin::ProgramStatus status = plugin::DecodeStateMessage(1, std::span(whole.data(), cut));
        EXPECT_TRUE(status.haveData);
        EXPECT_EQ(status.msn.present && status.msn.text == u"Busy", cut == whole.size()) << cut;
        EXPECT_LE(status.icq.text.size(), 6u);
    }
    // A length far past the payload, or below 0: the MSN block is not read.
    for (std::int32_t length : {0x7FFFFFFF, -1}) {
        std::vector<BYTE> lying = Payload().Int(1).Int(3).Int(0).Int(length).Int(0x00410041).Int(1).bytes;
        plugin::ProgramStatus status = plugin::DecodeStateMessage(1, lying);
        EXPECT_TRUE(status.icq.present);
        EXPECT_FALSE(status.msn.present) << length;
    }
    // dwData 0 carries no state, whatever the bytes.
    EXPECT_FALSE(plugin::DecodeStateMessage(0, whole).haveData);
}

TEST(StateMessage, TheProgramsEncodingIsWhatThePluginReads)
{
    home::PluginReport report{true, 5, 2, u"Online"};
    std::vector<BYTE> payload = home::EncodePluginState(report);
    EXPECT_EQ(payload.size() % 4, 0u);
    plugin::ProgramStatus status = plugin::DecodeStateMessage(1, payload);
    EXPECT_EQ(plugin::BlockText(status.icq), u"Online (5)");
    EXPECT_EQ(status.icq.unread, 2);
    EXPECT_FALSE(status.msn.present);

    home::PluginReport noAccount{false, -1, 0, u"Offline"};
    EXPECT_EQ(home::EncodePluginState(noAccount), (std::vector<BYTE>{0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(StateMessage, ListenerWindowStoresEachMessage)
{
    std::vector<BYTE> payload = Payload().Block(1, 0, u"Online").Int(0).bytes;
    COPYDATASTRUCT data{1, static_cast<DWORD>(payload.size()), payload.data()};
    plugin::ListenerProcedure(nullptr, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    EXPECT_TRUE(plugin::Status().icq.present);
    COPYDATASTRUCT none{};
    plugin::ListenerProcedure(nullptr, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&none));
    EXPECT_FALSE(plugin::Status().haveData);
    EXPECT_FALSE(plugin::Status().icq.present);
}

TEST(RowLook, ColourTextsAndBorderWidths)
{
    auto byName = [](const WideString& name) -> std::optional<COLORREF> {
        if (name == u"COLOR_HOMETEXT")
            return RGB(9, 8, 7);
        return std::nullopt;
    };
    struct Colour {
        const char* name;
        WideString text;
        COLORREF expected;
    } colours[] = {
        {"hexadecimal", plugin::FieldText(u"#ff8001"), RGB(0xFF, 0x80, 0x01)},
        {"letters beyond F read as 0", plugin::FieldText(u"#zG12x4"), RGB(0x00, 0x12, 0x04)},
        {"short text", u"#F", RGB(0xF0, 0, 0)},
        {"by name", u"COLOR_HOMETEXT", RGB(9, 8, 7)},
        {"name the host lacks", u"COLOR_HOMERULE", RGB(0x80, 0x80, 0x80)},
    };
    for (const Colour& c : colours)
        EXPECT_EQ(plugin::ResolveColour(c.text, byName), c.expected) << c.name;

    struct Border {
        std::int32_t mode;
        std::int32_t width;
        int expected;
    } borders[] = {{0, 0, 0}, {0, 3, 3}, {1, 0, 1}, {1, 2, 2}, {2, 5, 0}, {7, 4, 4}};
    for (const Border& b : borders) {
        plugin::PluginSettings settings;
        settings.borderMode = b.mode;
        settings.borderWidth = b.width;
        EXPECT_EQ(plugin::BorderWidth(settings), b.expected) << b.mode << "/" << b.width;
    }
}

}  // namespace
