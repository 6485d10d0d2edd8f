#include "platform/base/SystemMetrics.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDefaultWidth = 176;
constexpr int kDefaultHeight = 220;
constexpr int kMaxSide = 4096;

void ScreenSize(int& width, int& height)
{
    width = kDefaultWidth;
    height = kDefaultHeight;
    const char* text = std::getenv("CORVANE_SCREEN");
    if (text == nullptr)
        return;
    int w = 0;
    int h = 0;
    if (std::sscanf(text, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide) {
        width = w;
        height = h;
    }
}

}  // namespace

int GetSystemMetrics(int index)
{
    int width = 0;
    int height = 0;
    ScreenSize(width, height);
    switch (index) {
    case SM_CXSCREEN:
        return width;
    case SM_CYSCREEN:
        return height;
    default:
        return 0;
    }
}
