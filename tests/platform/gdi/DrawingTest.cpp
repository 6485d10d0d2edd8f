// Pixels of the drawing calls in a memory context, the DIB transfer with good
// and bad descriptions, and handles that are dead or of the wrong kind.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class DrawingTest : public testing::Test {
protected:
    void SetUp() override
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, 40, 30);
        previous = SelectObject(dc, bitmap);
        Clear(kWhite);
    }
    void TearDown() override
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clear(COLORREF color)
    {
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{0, 0, 40, 30};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    int Count(COLORREF color)
    {
        int n = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x)
                n += GetPixel(dc, x, y) == color;
        }
        return n;
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

struct PixelCase {
    const char* name;
    std::function<void(HDC)> draw;
    std::vector<std::pair<POINT, COLORREF>> expected;
    int redPixels;  // -1: not checked
};

TEST_F(DrawingTest, CallsSetExactlyTheirPixels)
{
    const PixelCase cases[] = {
        {"fill rect excludes right and bottom",
         [](HDC d) {
             HBRUSH b = CreateSolidBrush(kRed);
             RECT r{2, 3, 5, 7};
             FillRect(d, &r, b);
             DeleteObject(b);
         },
         {{{2, 3}, kRed}, {{4, 6}, kRed}, {{5, 6}, kWhite}, {{4, 7}, kWhite}},
         12},
        {"system colour brush",
         [](HDC d) {
             RECT r{0, 0, 1, 1};
             FillRect(d, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
         },
         {{{0, 0}, RGB(0x31, 0x6A, 0xC5)}},
         0},
        {"rectangle: pen inside, brush fills the rest",
         [](HDC d) {
             HPEN pen = CreatePen(PS_SOLID, 1, kRed);
             HBRUSH brush = CreateSolidBrush(kBlue);
             HGDIOBJ oldPen = SelectObject(d, pen);
             HGDIOBJ oldBrush = SelectObject(d, brush);
             Rectangle(d, 10, 10, 14, 13);
             SelectObject(d, oldPen);
             SelectObject(d, oldBrush);
             DeleteObject(pen);
             DeleteObject(brush);
         },
         {{{10, 10}, kRed}, {{13, 12}, kRed}, {{11, 11}, kBlue}, {{12, 11}, kBlue}, {{14, 12}, kWhite}},
         10},
        {"polyline leaves out its last point",
         [](HDC d) {
             HPEN pen = CreatePen(PS_SOLID, 1, kRed);
             HGDIOBJ old = SelectObject(d, pen);
             POINT points[] = {{0, 0}, {4, 0}, {4, 3}};
             Polyline(d, points, 3);
             SelectObject(d, old);
             DeleteObject(pen);
         },
         {{{0, 0}, kRed}, {{3, 0}, kRed}, {{4, 0}, kRed}, {{4, 2}, kRed}, {{4, 3}, kWhite}},
         7},
        {"diagonal line",
         [](HDC d) {
             HGDIOBJ old = SelectObject(d, GetStockObject(BLACK_PEN));
             MoveToEx(d, 0, 0, nullptr);
             LineTo(d, 3, 3);
             SelectObject(d, old);
         },
         {{{0, 0}, 0}, {{1, 1}, 0}, {{2, 2}, 0}, {{3, 3}, kWhite}, {{1, 0}, kWhite}},
         0},
        {"set pixel outside the bitmap does nothing",
         [](HDC d) {
             EXPECT_EQ(SetPixel(d, 40, 0, kRed), CLR_INVALID);
             SetPixel(d, 39, 29, kRed);
         },
         {{{39, 29}, kRed}},
         1},
        {"clip rectangle limits fills",
         [](HDC d) {
             IntersectClipRect(d, 5, 5, 7, 6);
             HBRUSH b = CreateSolidBrush(kRed);
             RECT r{0, 0, 40, 30};
             FillRect(d, &r, b);
             DeleteObject(b);
         },
         {{{5, 5}, kRed}, {{6, 5}, kRed}},
         2},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh context each case: clip rectangles do not carry over.
        HDC fresh = CreateCompatibleDC(nullptr);
        SelectObject(dc, previous);
        SelectObject(fresh, bitmap);
        std::swap(fresh, dc);
        Clear(kWhite);
        c.draw(dc);
        for (const auto& [point, color] : c.expected) {
            EXPECT_EQ(GetPixel(dc, point.x, point.y), color) << point.x << "," << point.y;
        }
        if (c.redPixels >= 0) {
            EXPECT_EQ(Count(kRed), c.redPixels);
        }
        SelectObject(dc, previous);
        std::swap(fresh, dc);
        DeleteDC(fresh);
        SelectObject(dc, bitmap);
    }
}

TEST_F(DrawingTest, BlitsCopyStretchAndLeaveOutTheKeyColour)
{
    HDC source = CreateCompatibleDC(dc);
    HBITMAP pixels = CreateCompatibleBitmap(dc, 2, 2);
    HGDIOBJ old = SelectObject(source, pixels);
    SetPixel(source, 0, 0, kRed);
    SetPixel(source, 1, 0, RGB(255, 0, 255));  // key colour
    SetPixel(source, 0, 1, kBlue);
    SetPixel(source, 1, 1, kBlue);

    ASSERT_TRUE(BitBlt(dc, 1, 1, 2, 2, source, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dc, 1, 1), kRed);
    EXPECT_EQ(GetPixel(dc, 2, 2), kBlue);
    EXPECT_EQ(GetPixel(dc, 3, 3), kWhite);

    ASSERT_TRUE(StretchBlt(dc, 10, 10, 4, 4, source, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(GetPixel(dc, 11, 11), kRed);
    EXPECT_EQ(GetPixel(dc, 12, 12), kBlue);
    EXPECT_EQ(GetPixel(dc, 13, 10), RGB(255, 0, 255));

    ASSERT_TRUE(TransparentImage(dc, 20, 20, 2, 2, pixels, 0, 0, 2, 2, RGB(255, 0, 255)));
    EXPECT_EQ(GetPixel(dc, 20, 20), kRed);
    EXPECT_EQ(GetPixel(dc, 21, 20), kWhite);  // left out
    EXPECT_EQ(GetPixel(dc, 21, 21), kBlue);

    // Overlapping copy inside one bitmap (scrolling down by one row).
    ASSERT_TRUE(BitBlt(dc, 1, 2, 2, 2, dc, 1, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(dc, 1, 2), kRed);
    EXPECT_EQ(GetPixel(dc, 1, 3), kBlue);

    SelectObject(source, old);
    DeleteObject(pixels);
    DeleteDC(source);
}

TEST_F(DrawingTest, IconBlendsThroughItsMask)
{
    HDC work = CreateCompatibleDC(dc);
    HBITMAP color = CreateCompatibleBitmap(dc, 2, 1);
    HBITMAP mask = CreateCompatibleBitmap(dc, 2, 1);
    HGDIOBJ old = SelectObject(work, color);
    SetPixel(work, 0, 0, kRed);
    SetPixel(work, 1, 0, kRed);
    SelectObject(work, mask);
    SetPixel(work, 1, 0, kWhite);  // transparent
    SelectObject(work, old);
    ICONINFO info;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(DrawIconEx(dc, 5, 5, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 5, 5), kRed);
    EXPECT_EQ(GetPixel(dc, 6, 5), kWhite);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIconEx(dc, 5, 5, icon, 0, 0, 0, nullptr, DI_NORMAL));
    DeleteObject(color);
    DeleteObject(mask);
    DeleteDC(work);
}

TEST_F(DrawingTest, DeadAndForeignHandlesFailCleanly)
{
    HBRUSH brush = CreateSolidBrush(kRed);
    ASSERT_TRUE(DeleteObject(brush));
    RECT r{0, 0, 5, 5};
    EXPECT_EQ(FillRect(dc, &r, brush), 0);
    EXPECT_EQ(Count(kRed), 0);
    EXPECT_FALSE(DeleteObject(brush));

    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    // A pen is no brush, a context no bitmap.
    EXPECT_EQ(FillRect(dc, &r, reinterpret_cast<HBRUSH>(pen)), 0);
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(dc)), nullptr);
    // An object selected into a context is not deleted under it.
    SelectObject(dc, pen);
    EXPECT_FALSE(DeleteObject(pen));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(pen));
    // A bitmap lives in one memory context at a time.
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    DeleteDC(other);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 5, 5, other, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(other, 0, 0), CLR_INVALID);
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 1);
}

TEST_F(DrawingTest, CoordinatesAtTheEndsOfTheRangeAreClippedNotOverflowed)
{
    HDC source = CreateCompatibleDC(dc);
    constexpr int kMax = INT32_MAX;
    constexpr int kMin = INT32_MIN;
    RECT far{kMax - 1, kMax - 1, kMax, kMax};
    EXPECT_EQ(FillRect(dc, &far, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_TRUE(BitBlt(dc, kMax - 1, kMin, 5, 5, dc, kMin, kMax - 2, SRCCOPY));
    EXPECT_TRUE(StretchBlt(dc, kMax - 3, kMax - 3, 4, 4, dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_TRUE(TransparentImage(dc, kMin, kMin, 4, 4, dc, kMax - 4, 0, 4, 4, 0));
    EXPECT_TRUE(ExtTextOutW(dc, kMax - 2, kMax - 2, 0, nullptr, u"far", 3, nullptr));
    int wide[] = {kMax, kMax, kMax};
    EXPECT_TRUE(ExtTextOutW(dc, 0, 0, 0, nullptr, u"abc", 3, wide));
    RECT text{kMin, kMin, kMax, kMax};
    EXPECT_GT(DrawTextW(dc, u"far", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 0);
    // A line between the far corners crosses the bitmap on its diagonal.
    Clear(kWhite);
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, kMin, kMin, nullptr);
    EXPECT_TRUE(LineTo(dc, kMax, kMax));
    SelectObject(dc, old);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 29, 29), RGB(0, 0, 0));
    EXPECT_EQ(Count(RGB(0, 0, 0)), 30);
    DeleteDC(source);
}

// --- DIB transfer -----------------------------------------------------------

struct Dib {
    std::vector<BYTE> info = std::vector<BYTE>(sizeof(BITMAPINFOHEADER) + 12, 0);
    std::vector<BYTE> bits;
    BITMAPINFOHEADER& Header() { return *reinterpret_cast<BITMAPINFOHEADER*>(info.data()); }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
    void Masks(DWORD r, DWORD g, DWORD b)
    {
        std::memcpy(info.data() + 40, &r, 4);
        std::memcpy(info.data() + 44, &g, 4);
        std::memcpy(info.data() + 48, &b, 4);
    }
};

Dib MakeDib(LONG width, LONG height, WORD bits, DWORD compression, std::vector<BYTE> pixels)
{
    Dib d;
    d.Header().biSize = 40;
    d.Header().biWidth = width;
    d.Header().biHeight = height;
    d.Header().biPlanes = 1;
    d.Header().biBitCount = bits;
    d.Header().biCompression = compression;
    d.bits = std::move(pixels);
    return d;
}

TEST_F(DrawingTest, DibTransferReadsEveryLayout)
{
    // 2x2 each; rows padded to 4 bytes. Bottom-up: the first row in memory is
    // the bottom row.
    struct Case {
        const char* name;
        Dib dib;
        COLORREF topLeft, topRight, bottomLeft;
    };
    Dib rgb565 = MakeDib(2, 2, 16, BI_BITFIELDS, {0x1F, 0x00, 0x00, 0x00, 0x00, 0xF8, 0xE0, 0x07});
    rgb565.Masks(0xF800, 0x07E0, 0x001F);
    std::vector<Case> cases;
    cases.push_back({"16-bit 5-6-5 bit fields, bottom-up", rgb565, kRed, RGB(0, 255, 0), kBlue});
    cases.push_back({"16-bit 5-5-5, top-down", MakeDib(2, -2, 16, BI_RGB, {0x00, 0x7C, 0x1F, 0x00, 0xFF, 0x7F, 0, 0}),
                     kRed, kBlue, kWhite});
    cases.push_back({"24-bit bottom-up with padding",
                     MakeDib(2, 2, 24, BI_RGB,
                             {255, 0, 0, 0, 0, 0, 0, 0,      // bottom: blue, black
                              0, 0, 255, 0, 255, 0, 0, 0}),  // top: red, green
                     kRed, RGB(0, 255, 0), kBlue});
    cases.push_back({"32-bit top-down",
                     MakeDib(2, -2, 32, BI_RGB, {0, 0, 255, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0}), kRed,
                     kBlue, kWhite});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear(RGB(1, 2, 3));
        EXPECT_EQ(SetDIBitsToDevice(dc, 3, 4, 2, 2, 0, 0, 0, 2, c.dib.bits.data(), c.dib.Info(), DIB_RGB_COLORS), 2);
        EXPECT_EQ(GetPixel(dc, 3, 4), c.topLeft);
        EXPECT_EQ(GetPixel(dc, 4, 4), c.topRight);
        EXPECT_EQ(GetPixel(dc, 3, 5), c.bottomLeft);
        EXPECT_EQ(GetPixel(dc, 5, 4), RGB(1, 2, 3));
        // Stretched to 4x4: each source pixel covers 2x2.
        EXPECT_EQ(StretchDIBits(dc, 10, 10, 4, 4, 0, 0, 2, 2, c.dib.bits.data(), c.dib.Info(), DIB_RGB_COLORS, SRCCOPY),
                  4);
        EXPECT_EQ(GetPixel(dc, 11, 11), c.topLeft);
        EXPECT_EQ(GetPixel(dc, 12, 10), c.topRight);
        EXPECT_EQ(GetPixel(dc, 10, 13), c.bottomLeft);
    }
}

TEST_F(DrawingTest, DibSectionBitsAreTheBitmapsPixelsInTheirRowOrder)
{
    for (LONG height : {2, -2}) {
        SCOPED_TRACE(height > 0 ? "bottom-up" : "top-down");
        Dib dib = MakeDib(3, height, 32, BI_RGB, {});
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(dc, dib.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(section, nullptr);
        ASSERT_NE(bits, nullptr);
        static_cast<std::uint32_t*>(bits)[1] = 0x00FF0000;  // first row in memory, x = 1: red
        HDC work = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(work, section);
        EXPECT_EQ(GetPixel(work, 1, height > 0 ? 1 : 0), kRed);
        SetPixel(work, 2, height > 0 ? 1 : 0, kBlue);
        EXPECT_EQ(static_cast<std::uint32_t*>(bits)[2], 0x000000FFu);
        SelectObject(work, old);
        DeleteDC(work);
        EXPECT_TRUE(DeleteObject(section));
    }
    Dib sixteen = MakeDib(3, 2, 16, BI_RGB, {});
    void* bits = nullptr;
    EXPECT_EQ(CreateDIBSection(dc, sixteen.Info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST_F(DrawingTest, BadDibDescriptionsAreRefusedWithoutDrawing)
{
    std::vector<BYTE> pixels(64, 0);
    struct Case {
        const char* name;
        std::function<void(Dib&)> spoil;
    };
    const Case cases[] = {
        {"zero width", [](Dib& d) { d.Header().biWidth = 0; }},
        {"negative width", [](Dib& d) { d.Header().biWidth = -2; }},
        {"zero height", [](Dib& d) { d.Header().biHeight = 0; }},
        {"most negative height", [](Dib& d) { d.Header().biHeight = INT32_MIN; }},
        {"huge", [](Dib& d) { d.Header().biWidth = 1 << 30; }},
        {"run-length compression", [](Dib& d) { d.Header().biCompression = 1; }},
        {"8 bits per pixel", [](Dib& d) { d.Header().biBitCount = 8; }},
        {"header size too small", [](Dib& d) { d.Header().biSize = 12; }},
        {"buffer smaller than the pixels", [](Dib& d) { d.Header().biSizeImage = 7; }},  // 8 needed,
        {"16-bit mask wider than a pixel",
         [](Dib& d) {
             d.Header().biCompression = BI_BITFIELDS;
             d.Masks(0xFF0000, 0xF0, 0xF);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dib dib = MakeDib(2, 2, 16, BI_RGB, pixels);
        dib.Header().biSizeImage = 16;
        c.spoil(dib);
        Clear(kWhite);
        EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 2, 2, 0, 0, 0, 2, dib.bits.data(), dib.Info(), DIB_RGB_COLORS), 0);
        EXPECT_EQ(StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
        EXPECT_EQ(Count(kWhite), 40 * 30);
    }
}

}  // namespace
