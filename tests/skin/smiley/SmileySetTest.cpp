// The smiley set: the file's rules (flags, empty and duplicate codes, smiles
// without codes), the trie walk that never steps back, loading through the
// resource folder search, hostile sets, and the program's own two sets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Account.h"
#include "app/AppCore.h"
#include "platform/gdi/Gdi.h"
#include "skin/smiley/AccountSmilies.h"
#include "skin/smiley/SmileySet.h"
#include "tests/skin/smiley/SmileyFiles.h"

namespace {

using skin::SmileySet;
using skintest::Wide;

RefPtr<SmileySet> FromText(const std::u16string& xml)
{
    RefPtr<SmileySet> set = MakeRef<SmileySet>(u"T.Smilies.xml");
    set->LoadText(xml, u"/nowhere");
    return set;
}

// The code of the smiley found at `position`, "-" for none, and the walk.
std::pair<std::u16string, std::size_t> MatchAt(SmileySet& set, std::u16string_view text, std::size_t position)
{
    skin::SmileyMatch match = set.Match(text, position);
    return {match.smiley ? match.smiley->Code() : u"-", match.walked};
}

TEST(SmileySetTest, TrieWalkNeverStepsBack)
{
    RefPtr<SmileySet> set = FromText(uR"(<smilies>
        <smile><text>ab</text></smile>
        <smile><text>abcd</text></smile>
        <smile><text>:)</text><text>:-)</text></smile>
        <smile><text>:))</text></smile>
        <smile><text>X</text></smile>
    </smilies>)");
    struct Case {
        const char* name;
        std::u16string text;
        std::size_t position;
        std::u16string code;
        std::size_t walked;
    };
    const std::vector<Case> cases = {
        {"stops on abc, a node without smiley", u"abc", 0, u"-", 3},
        {"ab found when the text leaves the trie", u"abx", 0, u"ab", 2},
        {"ab at the end of the text", u"ab", 0, u"ab", 2},
        {"the longer code wins", u"abcdef", 0, u"abcd", 4},
        {"second code leads to the same smiley", u"hi :-) there", 3, u":)", 3},
        {"longest of prefix codes", u":)))", 0, u":))", 3},
        {"in the middle of a word", u"wordX", 4, u"X", 1},
        {"case-sensitive", u"x", 0, u"-", 0},
        {"position at the end walks nothing", u"ab", 2, u"-", 0},
        {"position past the end walks nothing", u"ab", 9, u"-", 0},
        {"no smiley starts here", u"hello", 0, u"-", 0},
    };
    for (const Case& c : cases) {
        auto [code, walked] = MatchAt(*set, c.text, c.position);
        EXPECT_EQ(code, c.code) << c.name;
        EXPECT_EQ(walked, c.walked) << c.name;
    }
}

TEST(SmileySetTest, FileRulesForFlagsCodesAndOrder)
{
    struct Case {
        const char* name;
        std::u16string xml;
        std::vector<std::u16string> codes;  // Code() of each smiley in order
        bool textOnly;
        bool hasDescriptions;
    };
    const std::vector<Case> cases = {
        {"no file attribute: text-only", u"<smilies><smile desc='a'><text>:)</text></smile></smilies>", {u":)"}, true,
         true},
        {"a file but no text: left out, yet not text-only",
         u"<smilies><smile file='x.bmp'/><smile><text>:(</text></smile></smilies>", {u":("}, false, false},
        {"empty file and desc attributes count as absent",
         u"<smilies><smile file='' desc=''><text>;)</text></smile></smilies>", {u";)"}, true, false},
        {"duplicate code: both stay in the list",
         u"<smilies><smile><text>:)</text></smile><smile><text>:-)</text><text>:)</text></smile></smilies>",
         {u":)", u":-)"}, true, false},
        {"empty codes are passed over",
         u"<smilies><smile><text/><text>:P</text></smile><smile><text></text></smile></smilies>", {u":P"}, true,
         false},
        {"a code longer than the limit is passed over",
         u"<smilies><smile><text>" + std::u16string(skin::kMaxSmileyCodeLength + 1, u'x') +
             u"</text><text>:D</text></smile></smilies>",
         {u":D"}, true, false},
        {"other elements and wrong roots are ignored",
         u"<smilies><smiles><text>a</text></smiles><smile><b>c</b><text>d</text></smile></smilies>", {u"d"}, true,
         false},
        {"wrong root", u"<smileys><smile><text>:)</text></smile></smileys>", {}, true, false},
        {"not XML", u"<smilies><smile><text>:)</text>", {}, true, false},
    };
    for (const Case& c : cases) {
        RefPtr<SmileySet> set = FromText(c.xml);
        std::vector<std::u16string> codes;
        for (std::size_t i = 0; i < set->Count(); ++i)
            codes.push_back(set->At(i)->Code());
        EXPECT_EQ(codes, c.codes) << c.name;
        EXPECT_EQ(set->TextOnly(), c.textOnly) << c.name;
        EXPECT_EQ(set->HasDescriptions(), c.hasDescriptions) << c.name;
        EXPECT_FALSE(set->At(c.codes.size())) << c.name << ": out of range";
    }
    // The later smiley owns a shared code.
    RefPtr<SmileySet> shared = FromText(cases[3].xml);
    EXPECT_EQ(MatchAt(*shared, u":)", 0).first, u":-)");
}

TEST(SmileySetTest, LoadsThroughTheResourceFolderSearchOnce)
{
    std::string program = smileytest::FreshProgramFolder("load");
    smileytest::WriteSet(program, "Other", "Unrelated.Smilies.xml", "<smilies/>");
    std::string folder = smileytest::WriteSet(program, "Mine", "Default.Smilies.xml", R"(<smilies>
        <desc>Mine</desc>
        <smile file="good.bmp" desc="Good"><text>:)</text></smile>
        <smile file="missing.bmp"><text>:(</text></smile>
        <smile file="broken.bmp"><text>:|</text></smile>
        <smile file="../escape.bmp"><text>:O</text></smile>
    </smilies>)");
    smileytest::WritePicture(folder + "/good.bmp", 12, 10, 0x3060A0);
    skintest::WriteFile(folder + "/broken.bmp", "BM not a picture");

    // An empty file name reads the default file.
    RefPtr<SmileySet> set = MakeRef<SmileySet>(u"", Wide(program));
    EXPECT_FALSE(set->Loaded());
    EXPECT_FALSE(set->Match(u":)", 0).smiley) << "matching does not read the set";
    ASSERT_EQ(set->Count(), 4u);
    EXPECT_EQ(set->Folder(), Wide(folder));
    EXPECT_EQ(set->Description(), u"Mine");
    EXPECT_FALSE(set->TextOnly());

    HDC dc = CreateCompatibleDC(nullptr);
    auto good = set->At(0)->Image()->Get(dc);
    ASSERT_TRUE(good);
    EXPECT_EQ(good->width, 12);
    EXPECT_EQ(good->height, 10);
    // Pictures that cannot be read: the smilies stay and still match.
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_FALSE(set->At(i)->Image()->Get(dc)) << i;
        EXPECT_EQ(set->Match(set->At(i)->Code(), 0).smiley, set->At(i)) << i;
    }
    DeleteDC(dc);

    // A set that is not found stays empty and is not searched again.
    RefPtr<SmileySet> absent = MakeRef<SmileySet>(u"Absent.Smilies.xml", Wide(program));
    EXPECT_EQ(absent->Count(), 0u);
    EXPECT_TRUE(absent->Loaded());
    smileytest::WriteSet(program, "Late", "Absent.Smilies.xml", "<smilies><smile><text>x</text></smile></smilies>");
    EXPECT_EQ(absent->Count(), 0u);
    std::filesystem::remove_all(program);
}

TEST(SmileySetTest, HostileSetsStayBoundedAndUsable)
{
    // Thousands of smilies with codes of 1 to 200 characters, each a prefix
    // of the next, plus many distinct codes.
    std::u16string xml = u"<smilies>";
    for (std::size_t length = 1; length <= 200; ++length)
        xml += u"<smile><text>" + std::u16string(length, u'=') + u"</text></smile>";
    for (int i = 0; i < 5000; ++i)
        xml += u"<smile file='p.bmp'><text>[" + Wide(std::to_string(i)) + u"]</text></smile>";
    xml += u"</smilies>";
    RefPtr<SmileySet> set = FromText(xml);
    ASSERT_EQ(set->Count(), 5200u);
    EXPECT_LE(set->TrieNodes(), skin::kMaxSmileyTrieNodes);
    EXPECT_EQ(MatchAt(*set, std::u16string(200, u'='), 0), std::make_pair(std::u16string(200, u'='), std::size_t{200}));
    EXPECT_EQ(MatchAt(*set, u"x[4999]", 1).first, u"[4999]");

    // 1 MB of text with a code at every position: every walk ends at once
    // at the end of its run and finds the longest run of '='.
    std::u16string text(1 << 20, u'=');
    std::size_t found = 0;
    for (std::size_t i = 0; i < text.size(); i += 997) {
        skin::SmileyMatch match = set->Match(text, i);
        found += match.smiley ? 1 : 0;
        EXPECT_LE(match.walked, 200u);
    }
    EXPECT_EQ(found, (text.size() + 996) / 997);

    // The node limit: codes that no longer fit are not inserted, the rest
    // of the set still works.
    std::u16string huge = u"<smilies>";
    for (int i = 0; i < 800; ++i)
        huge += u"<smile><text>" + Wide(std::to_string(i)) + std::u16string(250, u'z') + u"</text><text>#" +
                Wide(std::to_string(i)) + u"#</text></smile>";
    huge += u"</smilies>";
    RefPtr<SmileySet> big = FromText(huge);
    EXPECT_LE(big->TrieNodes(), skin::kMaxSmileyTrieNodes);
    EXPECT_GT(big->Count(), 100u);
    EXPECT_LT(big->Count(), 800u) << "smilies none of whose codes fit are left out";
    EXPECT_EQ(MatchAt(*big, u"#5#", 0).first, u"5" + std::u16string(250, u'z'));
    EXPECT_EQ(MatchAt(*big, u"#799#", 0).first, u"-");
}

TEST(SmileySetTest, TheProgramsOwnSets)
{
    std::string assets = std::string(CORVANE_SOURCE_DIR) + "/assets";
    RefPtr<SmileySet> pictures = MakeRef<SmileySet>(u"Default.Smilies.xml", Wide(assets));
    ASSERT_GE(pictures->Count(), 20u);
    EXPECT_FALSE(pictures->TextOnly());
    EXPECT_TRUE(pictures->HasDescriptions());
    HDC dc = CreateCompatibleDC(nullptr);
    for (std::size_t i = 0; i < pictures->Count(); ++i) {
        auto picture = pictures->At(i)->Image()->Get(dc);
        ASSERT_TRUE(picture) << i;
        EXPECT_EQ(picture->width, 16);
        EXPECT_EQ(picture->height, 16);
        EXPECT_EQ(picture->keyColour, RGB(255, 0, 255));
    }
    DeleteDC(dc);
    for (std::u16string code : {u":)", u";)", u":(", u":D", u":P", u":-*", u"8)", u":'(", u":-)", u"<3"})
        EXPECT_EQ(pictures->Match(code, 0).walked, code.size()) << platform::WideToUtf8(code);

    RefPtr<SmileySet> text = MakeRef<SmileySet>(u"Text.Smilies.xml", Wide(assets));
    EXPECT_EQ(text->Count(), pictures->Count());
    EXPECT_TRUE(text->TextOnly());
}

class TestAccount final : public Account {
public:
    void LoadCache() override {}
    void Shutdown() override {}
};

TEST(SmileySetTest, TheAccountMakesItsSetOnceFromTheSettingOfThatMoment)
{
    RefPtr<AppCore> core = MakeRef<AppCore>(nullptr, AppCoreParts{});
    core->GetSettings()->smileSource = u"First.Smilies.xml";
    RefPtr<TestAccount> account = MakeRef<TestAccount>();
    RefPtr<SmileySet> set = skin::AccountSmileySet(*core, *account);
    core->GetSettings()->smileSource = u"Second.Smilies.xml";
    EXPECT_EQ(skin::AccountSmileySet(*core, *account), set);
    EXPECT_EQ(set->FileName(), u"First.Smilies.xml");
}

}  // namespace
