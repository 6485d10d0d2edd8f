#include "skin/smiley/SmileyPicker.h"

#include "app/AppGlobals.h"
#include "skin/Look.h"
#include "skin/smiley/SmileWindow.h"
#include "skin/smiley/TextSmileWindow.h"

namespace skin {
namespace {

// Dialog units; the dialog is made full-screen when it starts.
constexpr short kPickerSize = 50;

}  // namespace

RefPtr<Smiley> PickSmiley(const RefPtr<SmileySet>& set, HWND parent, RefPtr<Skin> look)
{
    if (!set || set->Count() == 0)
        return nullptr;
    WideString title(kPickerTitle);
    if (set->TextOnly()) {
        RefPtr<TextSmileWindow> picker = MakeRef<TextSmileWindow>(set);
        picker->DoModal(title, kPickerSize, kPickerSize, parent);
        return picker->Chosen();
    }
    if (!look && app::Core() != nullptr)
        look = CurrentSkin(*app::Core());
    RefPtr<SmileWindow> picker = MakeRef<SmileWindow>(set, look);
    picker->DoModal(title, kPickerSize, kPickerSize, parent);
    return picker->Chosen();
}

void TypeSmileyCode(HWND target, const Smiley& smiley)
{
    for (char16_t c : smiley.Code())
        SendMessageW(target, WM_CHAR, c, 0);
}

}  // namespace skin
