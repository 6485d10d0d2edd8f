// The layout of messages into runs and lines, with every character 6 pixels
// wide and every smiley 12: where words, links and smilies fall, where lines
// wrap and how words wider than a line are broken.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/WideString.h"
#include "ui/chat/ChatLayout.h"

namespace {

using chat::RunKind;

constexpr int kCharWidth = 6;

RefPtr<skin::SmileySet> Smilies()
{
    auto set = MakeRef<skin::SmileySet>(u"Test.Smilies.xml");
    set->LoadText(u"<smilies><smile file=\"a.bmp\"><text>:)</text><text>:-)</text></smile>"
                  u"<smile file=\"b.bmp\"><text>:(</text></smile></smilies>",
                  u"/nowhere");
    return set;
}

chat::LayoutRules Rules(int width)
{
    static RefPtr<skin::SmileySet> set = Smilies();
    chat::LayoutRules rules;
    rules.measure = [](std::u16string_view text) { return static_cast<int>(text.size()) * kCharWidth; };
    rules.matchSmiley = [](std::u16string_view text, std::size_t at) { return set->Match(text, at); };
    rules.smileyWidth = [](const skin::Smiley&) { return 12; };
    rules.width = width;
    rules.today = SYSTEMTIME{2006, 11, 0, 3, 9, 5, 0, 0};
    rules.contactName = u"Ann";
    return rules;
}

// Lines as text: runs joined with "|" between runs and "/" between lines;
// a smiley shows as [code], a link as <text>, a header as {text}.
std::string Picture(const std::vector<chat::Line>& lines)
{
    std::string out;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        if (l > 0)
            out += "/";
        for (std::size_t r = 0; r < lines[l].size(); ++r) {
            const chat::Run& run = lines[l][r];
            if (r > 0)
                out += "|";
            std::string text = platform::WideToUtf8(run.text);
            switch (run.kind) {
            case RunKind::Smiley: out += "[" + text + "]"; break;
            case RunKind::Link: out += "<" + text + ">"; break;
            case RunKind::Header: out += "{" + text + "}"; break;
            case RunKind::Space: out += "_"; break;
            default: out += text; break;
            }
        }
    }
    return out;
}

struct LayoutCase {
    const char* name;
    const char16_t* text;
    int width;
    const char* expected;
};

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, LinesAndRuns)
{
    const LayoutCase& c = GetParam();
    chat::Message message{SYSTEMTIME{}, 1, c.text};
    EXPECT_EQ(Picture(chat::LayOut(message, Rules(c.width))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Chat, LayoutTable,
    ::testing::Values(
        LayoutCase{"WordsWrapAtSpaces", u"one two three", 60, "one|_|two|_/three"},
        LayoutCase{"WordWiderThanLineIsBroken", u"abcdefghijklmnopqrstuvw", 60, "abcdefghij/klmnopqrst/uvw"},
        LayoutCase{"LongWordAfterTextStartsNewLine", u"ab abcdefghijkl", 60, "ab|_/abcdefghij/kl"},
        LayoutCase{"AreaNarrowerThanOneCharacter", u"abc", 4, "a/b/c"},
        LayoutCase{"SmileyCodesInsideWords", u"hi:)there:(", 200, "hi|[:)]|there|[:(]"},
        // ":-" leads only to ":-)": the walk stops there and does not fall back to ":(".
        LayoutCase{"FailedLongerCodeIsText", u"a:-(", 200, "a:-("},
        LayoutCase{"LongestCodeWins", u":-):)", 200, "[:)]|[:)]"},
        LayoutCase{"SmileyWrapsWhole", u"abcdefghi:)", 60, "abcdefghi/[:)]"},
        LayoutCase{"LinkAnyCase", u"see HTTPS://x.org/a:) now", 300, "see|_|<HTTPS://x.org/a:)>|_|now"},
        LayoutCase{"LinkEndsAtLineEnd", u"hTtP://a.b\r\nnext", 300, "<hTtP://a.b>/next"},
        LayoutCase{"NotALink", u"http:/x htt", 300, "http:/x|_|htt"},
        LayoutCase{"LinkInsideWordStartsRun", u"go:http://a", 300, "go:|<http://a>"},
        LayoutCase{"LongLinkIsBroken", u"http://abcdefghij", 60, "<http://abc>/<defghij>"},
        LayoutCase{"CrLfIsOneBreak", u"a\r\n\nb\rc", 300, "a/b/c"},
        LayoutCase{"LoneLineFeedBreaks", u"a\nb", 300, "a/b"},
        LayoutCase{"EmptyTextOneLine", u"", 300, ""},
        LayoutCase{"OnlySmileyCodes", u":):(:-)", 300, "[:)]|[:(]|[:)]"},
        LayoutCase{"OnlyLineBreaks", u"\r\n\r\n\n", 300, "//"}),
    [](const ::testing::TestParamInfo<LayoutCase>& param) { return std::string(param.param.name); });

// A 4,000-character link without a space: every line full but the last, no
// character lost, each piece knowing the whole address and whether it
// continues an earlier piece.
TEST(ChatLayout, LongLinkPiecesCarryTheWholeAddress)
{
    WideString address = u"http://" + WideString(3993, u'x');
    std::vector<chat::Line> lines = chat::LayOut(chat::Message{SYSTEMTIME{}, 1, address}, Rules(60));
    ASSERT_EQ(lines.size(), 400u);
    WideString joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 1u);
        const chat::Run& piece = lines[i][0];
        EXPECT_EQ(piece.kind, RunKind::Link);
        EXPECT_EQ(piece.target, address);
        EXPECT_EQ(piece.continuation, i > 0);
        EXPECT_LE(piece.width, 60);
        joined += piece.text;
    }
    EXPECT_EQ(joined, address);
}

struct HeaderCase {
    const char* name;
    bool showTime;
    bool showNames;
    std::uint8_t party;
    SYSTEMTIME time;
    const char* expected;
};

class HeaderTable : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTable, TextOfHeader)
{
    const HeaderCase& c = GetParam();
    chat::LayoutRules rules = Rules(300);
    rules.showTime = c.showTime;
    rules.showNames = c.showNames;
    chat::Message message{c.time, c.party, u"hi"};
    EXPECT_EQ(Picture(chat::LayOut(message, rules)), c.expected);
}

constexpr SYSTEMTIME kToday{2006, 11, 0, 3, 9, 5, 0, 0};
constexpr SYSTEMTIME kOtherDay{2006, 11, 0, 2, 21, 7, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Chat, HeaderTable,
    ::testing::Values(HeaderCase{"Neither", false, false, 1, kToday, "hi"},
                      HeaderCase{"NameOfContact", false, true, 1, kToday, "{Ann:}|_|hi"},
                      HeaderCase{"NameOfOwn", false, true, 0, kToday, "{You:}|_|hi"},
                      HeaderCase{"NameOfUnknownParty", false, true, 0xFF, kToday, "hi"},
                      HeaderCase{"TimeToday", true, false, 1, kToday, "{9:05:}|_|hi"},
                      HeaderCase{"TimeOtherDay", true, false, 1, kOtherDay, "{2.11.06 21:07:}|_|hi"},
                      HeaderCase{"Both", true, true, 0, kToday, "{9:05 You:}|_|hi"},
                      HeaderCase{"BothUnknownParty", true, true, 7, kToday, "{9:05 :}|_|hi"}),
    [](const ::testing::TestParamInfo<HeaderCase>& param) { return std::string(param.param.name); });

}  // namespace
