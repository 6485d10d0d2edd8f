// The rows as drawn with the shipped skins at both screen sizes: each name in
// its row in the skin's online or offline colour, the selection's fill and
// outline, and the unread marker at the right edge.
#include <gtest/gtest.h>

#include <mutex>

#include "platform/gdi/GdiState.h"
#include "skin/ResourceFolder.h"
#include "tests/ui/list/ListFixture.h"

namespace {

using listtest::Canvas;
using listtest::ListFixture;

class DrawTest : public ListFixture {};

std::vector<platform::gdi::DrawnText> TextsOf(HDC dc)
{
    using namespace platform::gdi;
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    return context != nullptr ? context->surface->Texts() : std::vector<DrawnText>{};
}

const platform::gdi::DrawnText* Find(const std::vector<platform::gdi::DrawnText>& texts, const WideString& text)
{
    for (const auto& t : texts) {
        if (t.text == text)
            return &t;
    }
    return nullptr;
}

int CountColour(HDC dc, const RECT& box, COLORREF colour)
{
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            count += GetPixel(dc, x, y) == colour ? 1 : 0;
    return count;
}

TEST_F(DrawTest, NamesColoursSelectionAndMarkerAtBothSizes)
{
    struct Case {
        const char16_t* skinFile;
        int width;
        int height;
    };
    WideString assets = platform::Utf8ToWide(testsupport::SourcePath("assets"));
    RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
    ASSERT_TRUE(icons->Load(skin::FindSetFolder(assets, u"Icons", u"Default.Icons.xml"), u"Default.Icons.xml"));
    settings->showOffline = true;
    Store().SetUnread(Add("200001", "Alice & Co"), true);
    Add("200002", "Bob", OnlineStatus::Offline);

    for (const Case c : {Case{u"Default.Skin.xml", 176, 220}, Case{u"QVGA.Skin.xml", 240, 320}}) {
        SCOPED_TRACE(c.width);
        RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
        ASSERT_TRUE(look->Load(skin::FindSetFolder(assets, u"Skin", c.skinFile), c.skinFile));
        core->SetLook(look, icons);
        MoveWindow(bar, c.width - 5, 0, 5, c.height, FALSE);
        view->Select(u"200002");
        view->Clear();
        Canvas canvas(c.width, c.height);
        RECT all{0, 0, c.width, c.height};
        FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        view->Draw(canvas.dc, RECT{0, 0, c.width, c.height});
        const int h = look->ContactHeight();
        EXPECT_FALSE(BarShown());

        auto texts = TextsOf(canvas.dc);
        const auto* alice = Find(texts, u"Alice & Co");
        const auto* bob = Find(texts, u"Bob");
        ASSERT_TRUE(alice && bob);
        EXPECT_EQ(alice->rect.left, 1 + 16 + 1);
        EXPECT_GE(alice->rect.top, 0);
        EXPECT_LE(alice->rect.bottom, h);
        EXPECT_GE(bob->rect.top, h);
        EXPECT_LE(bob->rect.bottom, 2 * h);
        EXPECT_GT(CountColour(canvas.dc, alice->rect, look->onlineColour), 0);
        EXPECT_EQ(CountColour(canvas.dc, alice->rect, look->offlineColour), 0);
        EXPECT_GT(CountColour(canvas.dc, bob->rect, look->offlineColour), 0);

        // Bob's row: filled and outlined; Alice's row is not.
        EXPECT_EQ(GetPixel(canvas.dc, c.width / 2, h), look->selectedBorderColour);
        EXPECT_EQ(GetPixel(canvas.dc, c.width - 1, h + h / 2), look->selectedBorderColour);
        EXPECT_EQ(GetPixel(canvas.dc, c.width / 2, 2 * h - 1), look->selectedBorderColour);
        EXPECT_EQ(GetPixel(canvas.dc, c.width - 8, h + h / 2), look->selectedRowColour);
        EXPECT_EQ(GetPixel(canvas.dc, c.width - 8, h - 1), RGB(255, 255, 255));

        // The unread marker sits 2 pixels from Alice's right edge, centred.
        auto marker = look->Marker(skin::RowMarker::Message)->Get(canvas.dc);
        ASSERT_TRUE(marker);
        int left = c.width - 2 - marker->width;
        int top = (h - marker->height) / 2;
        int same = 0;
        int inked = 0;
        for (int y = 0; y < marker->height; ++y) {
            for (int x = 0; x < marker->width; ++x) {
                COLORREF source = GetPixel(marker->dc, x, y);
                if (source == marker->keyColour)
                    continue;
                ++inked;
                same += GetPixel(canvas.dc, left + x, top + y) == source ? 1 : 0;
            }
        }
        EXPECT_GT(inked, 0);
        EXPECT_EQ(same, inked);
        EXPECT_LE(alice->rect.right, left) << "the name ends before the marker";
    }
}

}  // namespace
