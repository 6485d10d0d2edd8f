// MessageBoxW: a window over the work area that shows a dimmed copy of the
// screen under it and a card with the title, a simple icon and the wrapped
// text; the answers are on the soft keys and the box runs its own loop.
#include "platform/win/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/ShellDrawing.h"

namespace {

constexpr WCHAR kBoxClass[] = u"MessageBoxCard";
constexpr COLORREF kCardBorder = RGB(0x2A, 0x3A, 0x55);
constexpr COLORREF kCardBack = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kTitleBack = RGB(0x31, 0x6A, 0xC5);
constexpr COLORREF kTitleText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBodyText = RGB(0x10, 0x20, 0x40);
constexpr int kDimPercent = 40;  // black over the work area
constexpr int kMargin = 8;
constexpr int kPadding = 6;

struct Answers {
    int left = IDOK;
    int right = 0;
    int back = IDOK;
    const WCHAR* leftText = u"OK";
    const WCHAR* rightText = u"";
};

Answers AnswersOf(UINT type)
{
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL, IDCANCEL, u"OK", u"Cancel"};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL, u"Yes", u"No"};
    case MB_YESNO:
        return {IDYES, IDNO, IDNO, u"Yes", u"No"};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL, IDCANCEL, u"Retry", u"Cancel"};
    default:
        return {};
    }
}

struct Icon {
    COLORREF colour;
    const WCHAR* mark;
};

// A filled disc with a mark; none for a box without an icon.
const Icon* IconOf(UINT type)
{
    static const Icon kError{RGB(0xD0, 0x30, 0x30), u"\u00D7"};
    static const Icon kQuestion{RGB(0x31, 0x6A, 0xC5), u"?"};
    static const Icon kWarning{RGB(0xE8, 0xA0, 0x10), u"!"};
    static const Icon kInformation{RGB(0x31, 0x6A, 0xC5), u"i"};
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return &kError;
    case MB_ICONQUESTION:
        return &kQuestion;
    case MB_ICONWARNING:
        return &kWarning;
    case MB_ICONINFORMATION:
        return &kInformation;
    default:
        return nullptr;
    }
}

struct Box {
    WideString title;
    WideString text;
    const Icon* icon = nullptr;
    HDC backdropDc = nullptr;
    HBITMAP backdrop = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    ~Box()
    {
        if (backdropDc != nullptr) {
            SelectObject(backdropDc, oldBitmap);
            DeleteDC(backdropDc);
        }
        if (backdrop != nullptr)
            DeleteObject(backdrop);
    }
};

HFONT TitleFont() { return platform::menu::ShellFont(FW_BOLD); }
HFONT BodyFont() { return platform::menu::ShellFont(FW_NORMAL); }
void Fill(HDC dc, RECT rect, COLORREF colour) { platform::menu::FillColour(dc, rect, colour); }

// The screen under the box, darkened, as the box's background.
void MakeBackdrop(Box& box, const RECT& work)
{
    std::shared_ptr<platform::gdi::Surface> screen = platform::display::Capture();
    int width = work.right - work.left;
    int height = work.bottom - work.top;
    if (!screen || width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    box.backdrop = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (box.backdrop == nullptr || bits == nullptr)
        return;
    auto* out = static_cast<platform::gdi::Pixel*>(bits);
    for (int y = 0; y < height && work.top + y < screen->Height(); ++y) {
        const platform::gdi::Pixel* row = screen->Row(work.top + y);
        for (int x = 0; x < width && work.left + x < screen->Width(); ++x) {
            platform::gdi::Pixel p = row[work.left + x];
            auto dim = [](platform::gdi::Pixel c) { return c * (100 - kDimPercent) / 100; };
            out[y * width + x] = (dim((p >> 16) & 0xFF) << 16) | (dim((p >> 8) & 0xFF) << 8) | dim(p & 0xFF);
        }
    }
    box.backdropDc = CreateCompatibleDC(nullptr);
    box.oldBitmap = SelectObject(box.backdropDc, box.backdrop);
}

void DrawIcon(HDC dc, const Icon& icon, int left, int top, int size)
{
    // A disc, row by row.
    double r = size / 2.0;
    for (int y = 0; y < size; ++y) {
        double dy = y + 0.5 - r;
        int half = static_cast<int>(std::sqrt(std::max(0.0, r * r - dy * dy)) + 0.5);
        Fill(dc, RECT{left + size / 2 - half, top + y, left + size / 2 + half, top + y + 1}, icon.colour);
    }
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ old = SelectObject(dc, TitleFont());
    RECT area{left, top, left + size, top + size};
    DrawTextW(dc, icon.mark, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void Paint(HWND window, const Box& box)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr)
        return;
    RECT client;
    GetClientRect(window, &client);
    if (box.backdropDc != nullptr)
        BitBlt(dc, 0, 0, client.right, client.bottom, box.backdropDc, 0, 0, SRCCOPY);
    else
        Fill(dc, client, RGB(0x60, 0x60, 0x60));
    int font = platform::display::Layout().stripFontPixels;
    int titleHeight = font + 8;
    int iconSize = box.icon != nullptr ? font + 7 : 0;
    int cardLeft = client.left + kMargin;
    int cardRight = client.right - kMargin;
    int textLeft = cardLeft + kPadding + (iconSize > 0 ? iconSize + kPadding : 0);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, BodyFont());
    RECT measure{textLeft, 0, cardRight - kPadding, 0};
    DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &measure,
              DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    int bodyHeight = std::max<int>(measure.bottom - measure.top, iconSize) + 2 * kPadding;
    int cardHeight = std::min<int>(titleHeight + bodyHeight + 2, client.bottom - 2 * kMargin);
    int cardTop = (client.bottom - cardHeight) / 2;
    RECT card{cardLeft, cardTop, cardRight, cardTop + cardHeight};
    Fill(dc, card, kCardBorder);
    Fill(dc, RECT{card.left + 1, card.top + 1, card.right - 1, card.top + 1 + titleHeight}, kTitleBack);
    Fill(dc, RECT{card.left + 1, card.top + 1 + titleHeight, card.right - 1, card.bottom - 1}, kCardBack);

    SelectObject(dc, TitleFont());
    SetTextColor(dc, kTitleText);
    RECT title{card.left + kPadding, card.top + 1, card.right - kPadding, card.top + 1 + titleHeight};
    DrawTextW(dc, box.title.c_str(), static_cast<int>(box.title.size()), &title,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    int bodyTop = card.top + 1 + titleHeight + kPadding;
    if (box.icon != nullptr)
        DrawIcon(dc, *box.icon, card.left + kPadding, bodyTop, iconSize);
    SelectObject(dc, BodyFont());
    SetTextColor(dc, kBodyText);
    RECT text{textLeft, bodyTop, card.right - kPadding, card.bottom - 1 - kPadding};
    IntersectClipRect(dc, text.left, text.top, text.right, text.bottom);
    DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

// The answer a key gives, or 0.
int AnswerOf(UINT key, const Answers& answers, bool secondIsDefault)
{
    using namespace platform::display;
    switch (key) {
    case VK_SOFT1:
        return answers.left;
    case VK_SOFT2:
        return answers.right;
    case VK_ACTION:
        return secondIsDefault && answers.right != 0 ? answers.right : answers.left;
    case VK_BACK_KEY:
        return answers.back;
    default:
        return 0;
    }
}

}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    if (owner != nullptr && !IsWindow(owner))
        owner = nullptr;
    platform::menu::RegisterShellClass(kBoxClass, platform::menu::ViewProcedure<Box, Paint>);
    RECT work = platform::display::Layout().WorkArea();
    auto box = std::make_unique<Box>();
    box->title.assign(caption != nullptr ? caption : u"Error", platform::WideLength(caption != nullptr ? caption : u"Error"));
    box->text.assign(text != nullptr ? text : u"", platform::WideLength(text));
    box->icon = IconOf(type);
    if (owner != nullptr)
        UpdateWindow(owner);
    MakeBackdrop(*box, work);
    HWND window = CreateWindowExW(0, kBoxClass, box->title.c_str(), WS_POPUP, work.left, work.top,
                                  work.right - work.left, work.bottom - work.top, owner, nullptr, nullptr, nullptr);
    if (window == nullptr)
        return 0;
    Answers answers = AnswersOf(type);
    SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(box.get()));
    platform::display::SetSoftKeys(window, answers.leftText, answers.rightText);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    int answer = 0;
    while (answer == 0) {
        MSG message;
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the program's own loop
            answer = answers.back;
            break;
        }
        if (message.message == WM_KEYDOWN)
            answer = AnswerOf(static_cast<UINT>(message.wParam), answers, (type & MB_DEFBUTTON2) != 0);
        else if (message.message != WM_KEYUP && message.message != WM_CHAR)
            DispatchMessageW(&message);
        if (answer == 0 && (!IsWindow(window) || (owner != nullptr && !IsWindow(owner))))
            answer = answers.back;
    }
    if (IsWindow(window)) {
        SetWindowLongW(window, GWL_USERDATA, 0);
        DestroyWindow(window);
    }
    return answer;
}
