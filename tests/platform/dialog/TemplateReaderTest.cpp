// The template reader: a template of every field kind read back, and broken
// templates refused without a byte read outside the buffer (each case is
// copied into a buffer of exactly its size, so the sanitizer build sees any
// over-read).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/dialog/DialogTemplate.h"
#include "tests/platform/dialog/TemplateBytes.h"

namespace {

using dialogtest::TemplateBytes;
using platform::dialog::ReadDialogTemplate;

std::optional<platform::dialog::DialogTemplate> ReadExact(const std::vector<BYTE>& bytes)
{
    auto copy = std::make_unique<BYTE[]>(bytes.size() + (bytes.empty() ? 1 : 0));
    if (!bytes.empty())
        std::memcpy(copy.get(), bytes.data(), bytes.size());
    return ReadDialogTemplate(copy.get(), bytes.size());
}

// Menu by ordinal, class by name, font; an atom item with an ordinal title
// and no data, a named item with creation data.
std::vector<BYTE> FullTemplate()
{
    TemplateBytes t;
    t.Header(DS_SETFONT | WS_POPUP, 2, 100, 80).Put(WORD{0xFFFF}).Put(WORD{7}).String(u"MyDialog").String(u"Title");
    t.Put(WORD{9}).String(u"Nina");
    t.Item(WS_CHILD | WS_TABSTOP, 1000, 1, 2, 30, 10).Put(WORD{0xFFFF}).Put(WORD{0x0081});
    t.Put(WORD{0xFFFF}).Put(WORD{5}).Put(WORD{0});
    t.Item(WS_CHILD, 1001, 3, 4, 40, 12).String(u"CustomClass").String(u"Caption").Data({1, 2, 3});
    return t.bytes;
}

TEST(TemplateReader, ReadsEveryFieldKind)
{
    auto dialog = ReadExact(FullTemplate());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->menuOrdinal, 7);
    EXPECT_EQ(dialog->className, u"MyDialog");
    EXPECT_EQ(dialog->title, u"Title");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->faceName, u"Nina");
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].className, u"EDIT");
    EXPECT_EQ(dialog->items[0].title, u"");
    EXPECT_TRUE(dialog->items[0].creationData.empty());
    EXPECT_EQ(dialog->items[1].id, 1001);
    EXPECT_EQ(dialog->items[1].cx, 40);
    EXPECT_EQ(dialog->items[1].className, u"CustomClass");
    EXPECT_EQ(dialog->items[1].title, u"Caption");
    EXPECT_EQ(dialog->items[1].creationData, (std::vector<BYTE>{3, 0, 1, 2, 3}));
}

TEST(TemplateReader, EveryTruncationIsRefused)
{
    std::vector<BYTE> full = FullTemplate();
    for (std::size_t size = 0; size < full.size(); ++size) {
        std::vector<BYTE> prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadExact(prefix)) << "prefix of " << size << " bytes";
    }
}

struct BrokenCase {
    const char* name;
    std::vector<BYTE> bytes;
};

std::vector<BrokenCase> BrokenCases()
{
    std::vector<BrokenCase> cases;
    {
        TemplateBytes t;
        t.Header(0, 0, 10, 10).Put(WORD{0}).Put(WORD{0}).Put(WORD{u'T'}).Put(WORD{u'x'});
        cases.push_back({"title without terminator", t.bytes});
    }
    {
        TemplateBytes t;
        t.Header(DS_SETFONT, 0, 10, 10).Put(WORD{0}).Put(WORD{0}).String(u"").Put(WORD{9}).Put(WORD{u'N'});
        cases.push_back({"face name without terminator", t.bytes});
    }
    {
        TemplateBytes t;
        t.Header(0, 1, 10, 10).Put(WORD{0}).Put(WORD{0}).String(u"");
        t.Item(WS_CHILD, 1, 0, 0, 5, 5).Put(WORD{0xFFFF}).Put(WORD{0x0086}).String(u"").Put(WORD{0});
        cases.push_back({"unknown predefined class", t.bytes});
    }
    {
        TemplateBytes t;
        t.Header(0, 1, 10, 10).Put(WORD{0}).Put(WORD{0}).String(u"");
        t.Item(WS_CHILD, 1, 0, 0, 5, 5).String(u"").String(u"").Put(WORD{0});
        cases.push_back({"empty class name", t.bytes});
    }
    {
        TemplateBytes t;
        t.Header(0, 0xFFFF, 10, 10).Put(WORD{0}).Put(WORD{0}).String(u"");
        t.Item(WS_CHILD, 1, 0, 0, 5, 5).String(u"EDIT").String(u"").Put(WORD{0});
        cases.push_back({"item count past the buffer", t.bytes});
    }
    {
        TemplateBytes t;
        t.Header(0, 1, 10, 10).Put(WORD{0}).Put(WORD{0}).String(u"");
        t.Item(WS_CHILD, 1, 0, 0, 5, 5).String(u"EDIT").String(u"").Put(WORD{0xFFF0}).Put(DWORD{0});
        cases.push_back({"creation data count past the buffer", t.bytes});
    }
    {
        TemplateBytes t;
        t.Header(0, 0, 10, 10).Put(WORD{0xFFFF});
        cases.push_back({"menu ordinal cut off", t.bytes});
    }
    return cases;
}

TEST(TemplateReader, BrokenTemplatesAreRefused)
{
    for (const BrokenCase& c : BrokenCases())
        EXPECT_FALSE(ReadExact(c.bytes)) << c.name;
    EXPECT_FALSE(ReadDialogTemplate(nullptr, 100));
}

}  // namespace
