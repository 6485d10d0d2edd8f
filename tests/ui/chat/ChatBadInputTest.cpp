// The chat window under bad input: texts the layout and the font find hard,
// a history of a million messages, one of ten thousand paged through both
// ways, a damaged history and one held by an append, and a contact or a
// session that goes away while the chat is open. Nothing may crash, every
// readable message shows once, the window keeps answering keys and the text
// in the box is never lost.
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/HistoryFiles.h"
#include "oscar/IcqAccount.h"
#include "oscar/messaging/MessageEvents.h"
#include "platform/file/File.h"
#include "store/HistoryFormat.h"
#include "store/MessageHistory.h"
#include "tests/ui/chat/ChatFixture.h"

namespace {

using namespace chattest;

// Bytes this process has read through read() and its kind so far.
std::int64_t BytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::int64_t value = -1;
    while (io >> key >> value) {
        if (key == "rchar:")
            return value;
    }
    return -1;
}

class ChatBadInputTest : public ChatScreenTest {
protected:
    void Receive(const WideString& uin, const WideString& text)
    {
        auto message = MakeRef<oscar::IncomingMessage>();
        message->sender = uin;
        message->kind = 1;
        GetLocalTime(&message->time);
        message->text = text;
        m_core->Core().Post(MakeRef<oscar::IncomingMessageEvent>(message));
    }
    // Presses a key and lets the window answer it.
    void Press(UINT key)
    {
        PressKey(key);
        m_core->Pump();
    }
    // The window answers keys: the box takes a character and gives it back,
    // and Up and Down move the view (when it has more than a screenful) and
    // return it.
    void ExpectAnswersKeys(ChatWindow* chat, bool scrolls = true)
    {
        WideString before = BoxText(chat);
        TypeText(u"k");
        m_core->Pump();
        EXPECT_EQ(BoxText(chat), before + u"k");
        Press(VK_BACK_KEY);
        EXPECT_EQ(BoxText(chat), before);
        if (!scrolls)
            return;
        int offset = chat->ScrollOffset();
        Press(VK_UP_KEY);
        Press(VK_UP_KEY);
        UpdateWindow(chat->Window());
        EXPECT_GT(chat->ScrollOffset(), offset);
        Press(VK_DOWN_KEY);
        Press(VK_DOWN_KEY);
        UpdateWindow(chat->Window());
        EXPECT_EQ(chat->ScrollOffset(), offset);
    }
    // Every text the window drew lies inside the screen's width.
    void ExpectDrawnInside(HWND window)
    {
        std::vector<ShownText> texts;
        Capture(&texts);
        int width = platform::display::Layout().width;
        for (const ShownText& shown : texts) {
            if (shown.window == window) {
                EXPECT_LE(shown.rect.right, width) << platform::WideToUtf8(shown.text.substr(0, 40));
            }
        }
    }
};

// NUL, BEL, ESC, a byte-order mark, a tab and DEL; lone surrogates, a pair
// in the wrong order and a high surrogate at the very end.
constexpr char16_t kControls[] = u"a\0b\x07" u"c\x1B[31md\uFEFFe\tf\x7F \xD83Dg\xDE00 \xDE00\xD83D \xD83D";

TEST_F(ChatBadInputTest, HardTextsAreLaidOutDrawnAndLeaveTheWindowAnswering)
{
    OfflineCore();
    ChatWindow* chat = Open(u"100004");
    ASSERT_NE(chat, nullptr);
    HWND window = chat->Window();
    WideString smileys;
    for (int i = 0; i < 400; ++i)
        smileys += u":):(;)";
    WideString lineEnds;
    for (int i = 0; i < 2000; ++i)
        lineEnds += i % 2 ? u"\r\n" : u"\n";
    struct Case {
        const char* name;
        WideString text;
    } cases[] = {
        {"4,000 characters without a space", WideString(4000, u'w')},
        {"only smiley codes", smileys},
        {"only line ends", lineEnds},
        {"control characters", WideString(kControls, std::size(kControls) - 1)},
        {"right-to-left", u"\u05E9\u05DC\u05D5\u05DD abc \u0645\u0631\u062D\u0628\u0627 123 \u202Eevil\u202C"},
        {"characters the font lacks", u"\u6F22\u5B57\u304B\u306A \U0001F600\U0001F680 \U0010FFFF \uE000"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Receive(u"100004", c.text);
        WideString marker = u"after" + platform::Utf8ToWide(std::to_string(n++));
        Receive(u"100004", marker);
        ASSERT_TRUE(m_core->PumpUntil([&] { return !Drawn(window, marker).empty(); }, 20000));
        EXPECT_EQ(chat->ScrollOffset(), 0);
        ExpectDrawnInside(window);
        ExpectAnswersKeys(chat);
    }
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();
    EXPECT_EQ(openchats::Find(u"100004"), nullptr);
}

// Opening and paging through a million stored messages reads a few pages
// from the end of the files, not the files: their 36 MB against well under
// five per cent of them read.
TEST_F(ChatBadInputTest, MillionMessageHistoryIsReadFromItsEnd)
{
    OfflineCore("SHOW_DT=False\r\nSHOW_NAMES=False\r\n");
    auto history = MakeRef<MessageHistory>(u"100001", u"100004");
    std::filesystem::path root = std::filesystem::path(history->IndexPath()).parent_path().parent_path();
    benchhistory::Write(root.string(), "100001", "100004", 1000000,
                        [](std::int64_t i) {
                            std::string digits = std::to_string(i);
                            return u"m" + WideString(digits.begin(), digits.end());
                        });
    std::int64_t files = static_cast<std::int64_t>(std::filesystem::file_size(history->IndexPath()) +
                                                   std::filesystem::file_size(history->TextPath()));
    ASSERT_GT(files, 30'000'000);

    std::int64_t before = BytesRead();
    ASSERT_GE(before, 0);
    ChatWindow* chat = Open(u"100004");
    ASSERT_NE(chat, nullptr);
    HWND window = chat->Window();
    ASSERT_TRUE(m_core->PumpUntil([&] { return !Drawn(window, u"m999999").empty(); }, 20000));
    std::size_t firstScreen = chat->LineCount();
    EXPECT_LT(firstScreen, 100u) << "one screenful read";
    // Three screens back and forward again.
    for (int i = 0; i < 3 * static_cast<int>(firstScreen); ++i)
        PressKey(VK_UP_KEY);
    m_core->PumpFor(50);
    EXPECT_EQ(chat->ScrollOffset(), 3 * static_cast<int>(firstScreen));
    EXPECT_FALSE(chat->HistoryDone());
    EXPECT_LE(chat->LineCount(), 5 * firstScreen) << "lines held grow with the view, not with the history";
    EXPECT_FALSE(Drawn(window, u"m" + platform::Utf8ToWide(std::to_string(999999 - 3 * firstScreen))).empty());
    for (int i = 0; i < 3 * static_cast<int>(firstScreen); ++i)
        PressKey(VK_DOWN_KEY);
    m_core->PumpFor(50);
    EXPECT_EQ(chat->ScrollOffset(), 0);
    EXPECT_FALSE(Drawn(window, u"m999999").empty());
    std::int64_t read = BytesRead() - before;
    EXPECT_LT(read, files / 20) << read << " bytes read";
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();
}

// The place, counted from the oldest, of each message the window keeps, top
// down, and of the one at the bottom of the view: "m<i>" is message i of the
// written history, with the damaged one left out, and "fresh" comes after
// them all.
struct Kept {
    std::vector<int> places;
    int bottom = -1;
};

Kept KeptPlaces(const ChatWindow& chat, int damaged, int written)
{
    Kept kept;
    for (std::size_t line = chat.LineCount(); line > 0; --line) {
        WideString text = chat.LineText(line - 1);
        int number = text == u"fresh" ? written : -1;
        if (text.size() > 1 && text[0] == u'm')
            number = std::stoi(platform::WideToUtf8(text.substr(1)));
        int place = number > damaged ? number - 1 : number;
        kept.places.push_back(place);
        if (line - 1 == static_cast<std::size_t>(chat.ScrollOffset()))
            kept.bottom = place;
    }
    return kept;
}

// Paging with Up through ten thousand messages, with a damaged record among
// them, to the first, and with Down back to the newest, with a message
// arriving while the view is at the top: after every step the lines kept are
// consecutive messages with the one at the bottom of the view moved by
// exactly the keys pressed, so each message is met once and in order both
// ways, and the lines held stay a few screens.
TEST_F(ChatBadInputTest, PagingALongHistoryBothWaysShowsEachMessageOnceInBoundedMemory)
{
    OfflineCore("SHOW_DT=False\r\nSHOW_NAMES=False\r\n");
    constexpr int kWritten = 10000;
    constexpr int kDamaged = 4321;
    auto history = MakeRef<MessageHistory>(u"100001", u"100004");
    std::filesystem::path root = std::filesystem::path(history->IndexPath()).parent_path().parent_path();
    benchhistory::Write(root.string(), "100001", "100004", kWritten,
                        [](std::int64_t i) { return u"m" + platform::Utf8ToWide(std::to_string(i)); });
    {
        store::HistoryRecord record;
        record.year = 2024;
        record.offset = 2;
        record.length = 0xFFFFFFF0u;  // runs past the end of the texts
        store::RecordBytes bytes = store::EncodeRecord(record);
        std::fstream index(history->IndexPath(), std::ios::binary | std::ios::in | std::ios::out);
        index.seekp(static_cast<std::streamoff>((kDamaged + 1) * store::kHistoryRecordSize));
        index.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ChatWindow* chat = Open(u"100004");
    ASSERT_NE(chat, nullptr);
    HWND window = chat->Window();
    ASSERT_TRUE(m_core->PumpUntil([&] { return !Drawn(window, u"m9999").empty(); }, 20000));
    std::size_t screen = chat->LineCount();
    std::size_t most = 0;
    int newest = kWritten - 2;  // the place of the last written message
    // Presses `key` `times` times and checks the lines kept: consecutive
    // messages, with the one at the bottom of the view moved by exactly the
    // keys pressed. Gives that place, or -1 after a failure.
    auto step = [&](UINT key, int times, int bottom) {
        for (int i = 0; i < times; ++i)
            PressKey(key);
        m_core->Pump();
        UpdateWindow(window);
        most = std::max(most, chat->LineCount());
        Kept kept = KeptPlaces(*chat, kDamaged, kWritten);
        for (std::size_t i = 1; i < kept.places.size(); ++i) {
            if (kept.places[i] != kept.places[i - 1] + 1) {
                ADD_FAILURE() << kept.places[i - 1] << " then " << kept.places[i] << " near " << bottom;
                return -1;
            }
        }
        int expected = key == VK_UP_KEY ? std::max(bottom - times, ChatWindow::kTopLines - 1)
                                        : std::min(bottom + times, newest);
        if (kept.bottom != expected) {
            ADD_FAILURE() << "bottom " << kept.bottom << " after " << bottom << ", not " << expected;
            return -1;
        }
        return kept.bottom;
    };
    // Three screens a step: the lines kept reach further than that on
    // either side, so every message is among the lines checked.
    int keys = 3 * static_cast<int>(screen);
    int bottom = newest;
    while (bottom > ChatWindow::kTopLines - 1) {
        bottom = step(VK_UP_KEY, keys, bottom);
        ASSERT_GE(bottom, 0);
    }
    EXPECT_TRUE(chat->HistoryDone());
    EXPECT_EQ(chat->ScrollOffset() + ChatWindow::kTopLines, static_cast<int>(chat->LineCount())) << "four lines on top";

    ASSERT_TRUE(history->Append(SYSTEMTIME{2026, 1, 4, 1, 12, 0, 0, 0}, u"100004", u"fresh"));
    Receive(u"100004", u"fresh");
    m_core->Pump();
    newest += 1;
    while (bottom < newest) {
        bottom = step(VK_DOWN_KEY, keys, bottom);
        ASSERT_GE(bottom, 0);
    }
    EXPECT_EQ(chat->ScrollOffset(), 0);
    EXPECT_EQ(Drawn(window, u"fresh").size(), 1u);
    EXPECT_LE(most, 11 * screen) << "lines held stay a few screens, with " << screen << " to a screen";
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();
}

// A damaged history shows each readable message once, in order; one that an
// append holds while the window opens shows as soon as it is free.
TEST_F(ChatBadInputTest, DamagedOrBusyHistoryShowsEveryReadableMessageOnce)
{
    OfflineCore("SHOW_DT=False\r\nSHOW_NAMES=False\r\n");
    auto history = MakeRef<MessageHistory>(u"100001", u"100004");
    SYSTEMTIME time{2026, 1, 4, 1, 12, 0, 0, 0};
    auto addRecord = [&](std::uint32_t offset, std::uint32_t length, std::size_t keep = store::kHistoryRecordSize) {
        store::HistoryRecord record;
        record.year = 2026;
        record.offset = offset;
        record.length = length;
        store::RecordBytes bytes = store::EncodeRecord(record);
        std::ofstream(history->IndexPath(), std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(keep));
    };
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(history->Append(time, i % 2 ? u"100004" : u"", u"g" + platform::Utf8ToWide(std::to_string(i))));
        if (i == 1)
            addRecord(1u << 30, 8);  // points past the end of the texts
        if (i == 4)
            addRecord(2, 0xFFFFFFF0u);  // runs past the end of the texts
    }
    addRecord(2, 4, 9);  // a record cut short by a crash

    ChatWindow* chat = Open(u"100004");
    ASSERT_NE(chat, nullptr);
    HWND window = chat->Window();
    ASSERT_TRUE(m_core->PumpUntil([&] { return !Drawn(window, u"g7").empty(); }, 20000));
    // Up to the oldest and back: each readable message once.
    for (int i = 0; i < 8; ++i)
        Press(VK_UP_KEY);
    UpdateWindow(window);
    EXPECT_TRUE(chat->HistoryDone());
    EXPECT_EQ(chat->LineCount(), 8u);
    EXPECT_EQ(Drawn(window, u"g0").size(), 1u);
    EXPECT_EQ(Drawn(window, u"g1").size(), 1u);
    for (int i = 0; i < 8; ++i)
        Press(VK_DOWN_KEY);
    UpdateWindow(window);
    EXPECT_EQ(Drawn(window, u"g7").size(), 1u);
    // The window goes on: a new message shows below the history.
    Receive(u"100004", u"fresh");
    ASSERT_TRUE(m_core->PumpUntil([&] { return !Drawn(window, u"fresh").empty(); }, 20000));
    ExpectAnswersKeys(chat);
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();

    // An append holds the index while the window opens: nothing is read,
    // and the history shows once the append is done, with the appended
    // message that arrives after it.
    {
        platform::File held = platform::File::Open(history->IndexPath(), platform::FileAccess::ReadWrite,
                                                   platform::FileShare::None, platform::FileDisposition::OpenExisting);
        ASSERT_TRUE(held.IsOpen());
        chat = Open(u"100004");
        ASSERT_NE(chat, nullptr);
        window = chat->Window();
        m_core->PumpFor(200);
        EXPECT_TRUE(Drawn(window, u"g7").empty());
        EXPECT_FALSE(chat->HistoryDone());
    }
    ASSERT_TRUE(history->Append(time, u"100004", u"meanwhile"));
    Receive(u"100004", u"meanwhile");
    EXPECT_TRUE(m_core->PumpUntil([&] { return !Drawn(window, u"g7").empty(); }, 20000)) << "read once free";
    EXPECT_EQ(Drawn(window, u"meanwhile").size(), 1u);
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();
}

// The SNAC the server sends when a contact goes offline (0x03/0x0C).
codectest::Bytes ContactOffline(const std::string& uin)
{
    codectest::Bytes snac = {0x00, 0x03, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    snac.push_back(static_cast<std::uint8_t>(uin.size()));
    snac.insert(snac.end(), uin.begin(), uin.end());
    snac.insert(snac.end(), {0x00, 0x00, 0x00, 0x00});
    return snac;
}

bool TitleEnds(HWND window, const WideString& ending)
{
    WideString title = WindowTitle(window);
    return title.size() >= ending.size() && title.compare(title.size() - ending.size(), ending.size(), ending) == 0;
}

// The echo contact goes offline, is deleted from the list (and comes back
// with the next message), and then the server goes away: the title follows
// the presence, a send on its way keeps "Back", a send without a session
// keeps its text, and the text left in the box is the listed contact's
// unsent text.
TEST_F(ChatBadInputTest, ContactOrSessionGoingAwayWhileTheChatIsOpen)
{
    ChatWindow* chat = OpenSignedOn(u"100100");
    ASSERT_NE(chat, nullptr);
    HWND window = chat->Window();
    TypeText(u"one");
    m_core->Pump();
    Press(VK_SOFT1);
    ASSERT_TRUE(m_core->PumpUntil([&] { return Drawn(window, u"one").size() == 2; }, 60000)) << "own line and echo";
    ASSERT_TRUE(m_core->PumpUntil([&] { return TitleEnds(window, u" (Online)"); }, 20000)) << platform::WideToUtf8(WindowTitle(window));

    Inject(ContactOffline("100100"));
    EXPECT_TRUE(m_core->PumpUntil([&] { return TitleEnds(window, u" (Offline)"); }, 20000)) << platform::WideToUtf8(WindowTitle(window));

    // Deleted while its chat is open; a send creates it again.
    ASSERT_TRUE(m_core->Account()->DeleteContact(u"100100"));
    m_core->Pump();
    ASSERT_EQ(Store().FindContact(u"100100"), nullptr);
    EXPECT_EQ(openchats::Find(u"100100"), window);
    m_server->Freeze();
    TypeText(u"two");
    m_core->Pump();
    Press(VK_SOFT1);
    ASSERT_TRUE(m_core->PumpUntil([&] { return BoxText(chat).empty(); }, 20000));
    RefPtr<Contact> again = Store().FindContact(u"100100");
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->sending);
    TypeText(u"three");
    m_core->Pump();
    EXPECT_FALSE(chat->LeftKeyIsSend()) << "the send on its way keeps Back";
    m_server->Thaw();
    ASSERT_TRUE(m_core->PumpUntil([&] { return Drawn(window, u"two").size() == 2; }, 60000)) << "own line and echo";
    EXPECT_TRUE(chat->LeftKeyIsSend());

    // The server goes away. The list keeps the contacts' last presence
    // until the next sign-on, and so does the title; Send keeps the text.
    m_server.reset();
    ASSERT_TRUE(m_core->PumpUntil([&] { return !m_core->Session()->IsOnline(); }, 60000));
    EXPECT_EQ(WindowTitle(window).rfind(u"100100 (", 0), 0u);
    std::size_t framesBefore = m_core->Record().BosFrames().size();
    Press(VK_SOFT1);
    EXPECT_EQ(BoxText(chat), u"three");
    EXPECT_TRUE(chat->LeftKeyIsSend());
    EXPECT_EQ(again->cachedText, u"three");
    EXPECT_EQ(m_core->Record().BosFrames().size(), framesBefore) << "nothing sent";
    ExpectAnswersKeys(chat, false);
    TypeText(u"!");
    m_core->Pump();
    SendMessageW(window, WM_CLOSE, 0, 0);
    m_core->Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(openchats::Find(u"100100"), nullptr);
    EXPECT_EQ(Store().FindContact(u"100100")->cachedText, u"three!");
}

}  // namespace
