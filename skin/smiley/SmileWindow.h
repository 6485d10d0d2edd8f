// SmileWindow: the picture picker. A full-screen modal dialog that shows the
// set's pictures in a grid (SmileGrid), moves a highlight with the arrow
// keys and closes with the highlighted smiley on the action key or "Insert"
// (the left soft key, which shows the highlighted code), or with nothing on
// "Cancel". The Back key does nothing here.
//
// When the set has descriptions, the highlighted smiley's description is
// drawn centred in a strip along the bottom. A grid taller than the window
// scrolls so that the highlight stays in view.
#pragma once

#include "skin/Skin.h"
#include "skin/smiley/SmileGrid.h"
#include "skin/smiley/SmileySet.h"
#include "ui/framework/DialogBase.h"

namespace skin {

class SmileWindow : public DialogBase {
public:
    static constexpr COLORREF kBackground = RGB(0xEB, 0xF5, 0xFF);
    static constexpr COLORREF kSelection = RGB(0x80, 0xA0, 0xDC);
    static constexpr COLORREF kDescriptionColour = RGB(0x20, 0x50, 0x64);
    static constexpr WORD kCommandInsert = 41407;
    static constexpr WORD kCommandCancel = 41403;
    // Longest code shown on the soft key.
    static constexpr std::size_t kMaxLabel = 31;

    // `look` gives the spacing between pictures and the description font.
    SmileWindow(RefPtr<SmileySet> set, RefPtr<Skin> look);

    const WCHAR* ClassName() const override { return u"SmileWindow"; }
    UINT MenuBarId() const override { return 1540; }
    void AfterInit() override;
    void OnDestroy() override;
    void OnWindowPosChanged(WINDOWPOS* position) override;
    void OnDraw(HDC dc, const RECT& client) override;
    LRESULT OnKeyDown(WPARAM key, LPARAM keyData, bool& handled) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // The smiley the window was closed with; null after "Cancel".
    const RefPtr<Smiley>& Chosen() const { return m_chosen; }
    int Selected() const { return m_selected; }
    // Empty until the first paint.
    const SmileGrid& Grid() const { return m_grid; }
    int ScrollTop() const { return m_scrollTop; }

protected:
    ~SmileWindow() override = default;

private:
    void LayOut(HDC dc, int clientWidth);
    void Select(int index);
    void KeepSelectionInView();
    void ShowCodeOnSoftKey();
    void Choose();
    int StripHeight(HDC dc);
    void DrawDescription(HDC dc, const RECT& client, int stripHeight);
    void DropSurface();

    RefPtr<SmileySet> m_set;
    RefPtr<Skin> m_look;
    HBRUSH m_background = nullptr;
    HBRUSH m_selection = nullptr;
    HDC m_surface = nullptr;
    HBITMAP m_surfaceBitmap = nullptr;
    HGDIOBJ m_surfacePrevious = nullptr;
    bool m_laidOut = false;
    SmileGrid m_grid;
    int m_selected = 0;
    int m_scrollTop = 0;
    int m_visibleHeight = 0;
    RefPtr<Smiley> m_chosen;
};

}  // namespace skin
