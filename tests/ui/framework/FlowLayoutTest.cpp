// The flow layout on the two screen sizes (full-screen dialog client areas
// 176x180 and 240x270): control rectangles for named layouts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/framework/FlowLayout.h"

namespace {

// A bare control item: takes part in the layout only.
class Bare : public ControlItem {
public:
    Bare(WideString caption, WidthRule width, HeightRule height)
        : ControlItem(1, std::move(caption), 0, width, height)
    {
    }
};

RefPtr<LayoutItem> Control(WidthRule width, HeightRule height, WideString caption = u"")
{
    return MakeRef<Bare>(std::move(caption), width, height);
}
RefPtr<LayoutItem> Right(WidthRule x) { return MakeRef<CursorMove>(x); }
RefPtr<LayoutItem> Down(HeightRule y) { return MakeRef<CursorMove>(y); }
RefPtr<LayoutItem> RightDown(WidthRule x, HeightRule y) { return MakeRef<CursorMove>(x, y); }
RefPtr<LayoutItem> Back(int count) { return MakeRef<CursorPop>(count); }

// Every caption character is 6 pixels wide.
int Measure(const WideString& caption) { return static_cast<int>(caption.size()) * 6; }

const LayoutMetrics kSmall{176, 180, 7, 14};
const LayoutMetrics kLarge{240, 270, 8, 15};

struct Case {
    const char* name;
    std::vector<RefPtr<LayoutItem>> items;
    std::vector<RECT> small;
    std::vector<RECT> large;
};

std::string Show(const std::vector<RECT>& rects)
{
    std::string text;
    for (const RECT& r : rects)
        text += "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                std::to_string(r.bottom) + "} ";
    return text;
}

std::vector<Case> Cases()
{
    return {
        {"100% - 6 pixels after a 3/3 move is 6 pixels narrower than the client",
         {RightDown({0, 3, 0, 0}, {0, 3, 0}), Control({100, -6, 0, 0}, {0, 3, 1})},
         {{3, 3, 173, 20}},
         {{3, 3, 237, 21}}},
        {"a caption width of an empty caption adds nothing",
         {Control({0, 0, 4, 1}, {0, 0, 1}), Control({0, 0, 4, 1}, {0, 0, 1}, u"Vibration")},
         {{0, 0, 28, 14}, {0, 0, 82, 14}},
         {{0, 0, 32, 15}, {0, 0, 86, 15}}},
        {"a move right counts the last control's caption; controls do not move the cursor",
         {Control({0, 0, 4, 1}, {0, 3, 1}, u"Vibration"), Right({0, 10, 4, 1}), Control({0, 0, 6, 0}, {0, 2, 1}),
          Right({0, 0, 0, 1})},
         {{0, 0, 82, 17}, {92, 0, 134, 16}},
         {{0, 0, 86, 18}, {96, 0, 144, 17}}},
        {"a pop past the start leaves the cursor at the start",
         {Right({0, 5, 0, 0}), Down({0, 7, 0}), Back(5), Control({0, 10, 0, 0}, {0, 10, 0})},
         {{0, 0, 10, 10}},
         {{0, 0, 10, 10}}},
        {"rows: down after each row, back to the row's start",
         {Right({5, 0, 0, 0}), Down({0, 4, 0}), Control({0, 0, 8, 0}, {0, 2, 1}, u"UIN"), Right({0, 0, 8, 0}),
          Control({95, 0, -8, 0}, {0, 3, 1}), Back(1), Down({0, 5, 1}),
          Control({0, 0, 8, 0}, {0, 2, 1}, u"Password")},
         {{8, 4, 64, 20}, {64, 4, 175, 21}, {8, 23, 64, 39}},
         {{12, 4, 76, 21}, {76, 4, 240, 22}, {12, 24, 76, 41}}},
        {"percentages round down",
         {Control({50, 0, 0, 0}, {25, 0, 0}), RightDown({33.3f, 0, 0, 0}, {10, 0, 0}), Control({0, 1, 0, 0}, {0, 1, 0})},
         {{0, 0, 88, 45}, {58, 18, 59, 19}},
         {{0, 0, 120, 67}, {79, 27, 80, 28}}},
    };
}

TEST(FlowLayout, ControlRectanglesOnBothScreens)
{
    for (const Case& c : Cases()) {
        std::vector<RECT> small = FlowLayout(c.items, kSmall, Measure);
        std::vector<RECT> large = FlowLayout(c.items, kLarge, Measure);
        EXPECT_EQ(Show(small), Show(c.small)) << c.name << " (176 wide)";
        EXPECT_EQ(Show(large), Show(c.large)) << c.name << " (240 wide)";
    }
}

}  // namespace
