// The flow layout of a dialog's controls, as a plain computation: a cursor
// starts at (0, 0); each control is placed at the cursor with its size rule
// and does not move it; a move pushes the cursor and advances it; a pop goes
// back that many moves (an empty stack keeps the cursor where it is).
#pragma once

#include <functional>
#include <vector>

#include "ui/framework/LayoutItem.h"

struct LayoutMetrics {
    int clientWidth = 0;
    int clientHeight = 0;
    int charWidth = 0;   // average character width of the dialog font
    int lineHeight = 0;  // line height of the dialog font
};

// Pixels of a caption in the dialog font.
using CaptionMeasure = std::function<int(const WideString& caption)>;

// One rectangle (client coordinates) per control item, in list order.
std::vector<RECT> FlowLayout(const std::vector<RefPtr<LayoutItem>>& items, const LayoutMetrics& metrics,
                             const CaptionMeasure& measure);
