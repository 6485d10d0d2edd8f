// Links: which one Right chooses among the lines in view, and what the
// device's opener takes (only web addresses, never one with control
// characters; the opener named by CORVANE_URL_OPENER records what it got).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/shell/ShellExecute.h"
#include "tests/common/TestSupport.h"
#include "ui/chat/LinkSelection.h"

namespace {

using chat::LinkAt;
using chat::RunKind;

chat::Run Piece(RunKind kind, const char16_t* text, const char16_t* target = u"", bool continuation = false)
{
    return chat::Run{kind, 6, text, nullptr, target, continuation};
}

// Newest line first, as the window keeps them. From the top of the screen:
//   3: "a" <http://abc>                (first piece of a link broken over two lines)
//   2: <defg> "b" <http://x>           (its continuation, then a short link)
//   1: "plain words"
//   0: <https://y> <https://z>         (two links on the newest line)
std::deque<chat::Line> Lines()
{
    return {
        {Piece(RunKind::Link, u"https://y", u"https://y"), Piece(RunKind::Space, u" "),
         Piece(RunKind::Link, u"https://z", u"https://z")},
        {Piece(RunKind::Word, u"plain"), Piece(RunKind::Space, u" "), Piece(RunKind::Word, u"words")},
        {Piece(RunKind::Link, u"defg", u"http://abcdefg", true), Piece(RunKind::Word, u"b"),
         Piece(RunKind::Link, u"http://x", u"http://x")},
        {Piece(RunKind::Word, u"a"), Piece(RunKind::Link, u"http://abc", u"http://abcdefg")},
    };
}

TEST(LinkSelection, NewestFirstThenOlderWrappingAndBrokenLinksOnce)
{
    std::deque<chat::Line> lines = Lines();
    std::vector<LinkAt> all = chat::LinksInView(lines, 0, 4);
    EXPECT_EQ(all, (std::vector<LinkAt>{{0, 2}, {0, 0}, {2, 2}, {3, 1}}));

    std::optional<LinkAt> at;
    std::vector<LinkAt> walked;
    for (int i = 0; i < 5; ++i) {
        at = chat::NextLink(lines, 0, 4, at);
        ASSERT_TRUE(at);
        walked.push_back(*at);
    }
    EXPECT_EQ(walked, (std::vector<LinkAt>{{0, 2}, {0, 0}, {2, 2}, {3, 1}, {0, 2}})) << "wraps to the newest";

    // Scrolled so that only the continuation shows: the link is still
    // reachable, by its first piece; a choice out of view restarts.
    EXPECT_EQ(chat::LinksInView(lines, 1, 2), (std::vector<LinkAt>{{2, 2}, {3, 1}}));
    EXPECT_EQ(chat::NextLink(lines, 1, 1, LinkAt{0, 2}), std::nullopt) << "no link on the plain line";
    EXPECT_EQ(chat::NextLink(lines, 2, 2, LinkAt{0, 2}), (LinkAt{2, 2}));

    EXPECT_EQ(chat::PiecesOf(lines, LinkAt{3, 1}), (std::vector<LinkAt>{{3, 1}, {2, 0}}));
    EXPECT_EQ(chat::PiecesOf(lines, LinkAt{2, 2}), (std::vector<LinkAt>{{2, 2}}));
    EXPECT_TRUE(chat::PiecesOf(lines, LinkAt{1, 0}).empty()) << "a word is no link";
    EXPECT_TRUE(chat::PiecesOf(lines, LinkAt{9, 0}).empty());
}

class ShellExecuteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        m_record = m_temp.Path() + "/opened.txt";
        m_opener = m_temp.Path() + "/opener";
        std::ofstream(m_opener) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"" << m_record << ".part\"\nmv \""
                                << m_record << ".part\" \"" << m_record << "\"\n";
        ::chmod(m_opener.c_str(), 0755);
        ::setenv("CORVANE_URL_OPENER", m_opener.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("CORVANE_URL_OPENER"); }

    BOOL Open(const WCHAR* address, const WCHAR* verb = u"open")
    {
        SHELLEXECUTEINFO info;
        info.lpVerb = verb;
        info.lpFile = address;
        return ShellExecuteEx(&info);
    }
    // What the opener was given ("count|first argument"), once it has run.
    std::string Recorded()
    {
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(m_record);
            if (in) {
                std::stringstream text;
                text << in.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "(nothing)";
    }

    testsupport::TempFolder m_temp{"corvane-shell"};
    std::string m_record;
    std::string m_opener;
};

TEST_F(ShellExecuteTest, RefusesWhatIsNotAWebAddress)
{
    const char16_t* refused[] = {u"ftp://example.org", u"file:///etc/passwd", u"javascript:alert(1)",
                                 u"http://", u"http:/x", u"", u"xhttp://a", u"http://a\nb", u"https://a\tb",
                                 u"http://a\x1b[2J", u"http://a\x7f", u"http://a\x85"};
    for (const char16_t* address : refused) {
        SetLastError(0);
        EXPECT_FALSE(Open(address)) << platform::WideToUtf8(address);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_FALSE(Open(u"http://a.b", u"edit")) << "only \"open\"";
    SHELLEXECUTEINFO withParameters;
    withParameters.lpFile = u"http://a.b";
    withParameters.lpParameters = u"--new-window";
    EXPECT_FALSE(ShellExecuteEx(&withParameters));
    EXPECT_FALSE(ShellExecuteEx(nullptr));
    std::ifstream none(m_record);
    EXPECT_FALSE(none.good()) << "the opener never ran";
}

TEST_F(ShellExecuteTest, HandsTheAddressAsOneArgumentToTheOpener)
{
    // Shell characters stay part of the one argument: no shell sees them.
    const char16_t* address = u"HTTPS://example.org/a?b=1&c=$(touch x);d|e 'f'";
    ASSERT_TRUE(Open(address, nullptr));
    EXPECT_EQ(Recorded(), "1|" + platform::WideToUtf8(address));
}

TEST_F(ShellExecuteTest, NoOpenerIsReported)
{
    ::setenv("CORVANE_URL_OPENER", (m_temp.Path() + "/missing").c_str(), 1);
    EXPECT_FALSE(Open(u"http://example.org"));
    EXPECT_EQ(GetLastError(), ERROR_NO_ASSOCIATION);
    ::setenv("CORVANE_URL_OPENER", "no-such-opener-on-the-path", 1);
    EXPECT_FALSE(Open(u"http://example.org"));
    EXPECT_EQ(GetLastError(), ERROR_NO_ASSOCIATION);
}

}  // namespace
