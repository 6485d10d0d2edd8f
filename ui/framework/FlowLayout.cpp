#include "ui/framework/FlowLayout.h"

#include <cmath>
#include <utility>

namespace {

// floor(total × percent / 100) in double precision, so that 100 % of a width
// is the whole width (a float 0.01 would lose a pixel).
int PercentOf(int total, float percent)
{
    return static_cast<int>(std::floor(static_cast<double>(total) * static_cast<double>(percent) / 100.0 + 1e-9));
}

int Horizontal(const WidthRule& rule, const LayoutMetrics& metrics, int captionWidth)
{
    return PercentOf(metrics.clientWidth, rule.percent) + rule.pixels + rule.chars * metrics.charWidth +
           rule.captions * captionWidth;
}

int Vertical(const HeightRule& rule, const LayoutMetrics& metrics)
{
    return PercentOf(metrics.clientHeight, rule.percent) + rule.pixels + rule.lines * metrics.lineHeight;
}

}  // namespace

std::vector<RECT> FlowLayout(const std::vector<RefPtr<LayoutItem>>& items, const LayoutMetrics& metrics,
                             const CaptionMeasure& measure)
{
    std::vector<RECT> placed;
    std::vector<std::pair<int, int>> stack;
    int x = 0;
    int y = 0;
    int lastCaptionWidth = 0;  // of the last control placed; 0 without one
    for (const RefPtr<LayoutItem>& item : items) {
        if (!item)
            continue;
        switch (item->ItemKind()) {
        case LayoutItem::kControl: {
            const auto& control = static_cast<const ControlItem&>(*item);
            lastCaptionWidth = control.Caption().empty() || !measure ? 0 : measure(control.Caption());
            int width = Horizontal(control.Width(), metrics, lastCaptionWidth);
            int height = Vertical(control.Height(), metrics);
            placed.push_back(RECT{x, y, x + width, y + height});
            break;
        }
        case LayoutItem::kMoveX:
        case LayoutItem::kMoveY:
        case LayoutItem::kMoveXY: {
            const auto& move = static_cast<const CursorMove&>(*item);
            stack.emplace_back(x, y);
            if (item->ItemKind() != LayoutItem::kMoveY)
                x += Horizontal(move.X(), metrics, lastCaptionWidth);
            if (item->ItemKind() != LayoutItem::kMoveX)
                y += Vertical(move.Y(), metrics);
            break;
        }
        case LayoutItem::kPop:
            for (std::int32_t i = 0; i < static_cast<const CursorPop&>(*item).Count() && !stack.empty(); ++i) {
                std::tie(x, y) = stack.back();
                stack.pop_back();
            }
            break;
        }
    }
    return placed;
}
