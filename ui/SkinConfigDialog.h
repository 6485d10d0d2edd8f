// The look screen: the icon set, the smiley set and the skin among the set
// files on the device, and six sizes of the chosen skin. "OK" stores the
// chosen file names, writes all six sizes into the skin's override file and
// makes the adjusted skin the program's current one at once; a changed icon
// or smiley set takes effect at the next start.
#pragma once

#include <array>
#include <vector>

#include "app/AppCore.h"
#include "skin/SetFiles.h"
#include "skin/Skin.h"
#include "ui/framework/DialogBase.h"

class SkinConfigDialog : public DialogBase {
public:
    static constexpr int kIconsListId = 1001;
    static constexpr int kSmiliesListId = 1004;
    static constexpr int kSkinListId = 1007;
    // The size fields, top to bottom: contact height, contact font size,
    // status font size, tool bar height, chat font size, message area.
    static constexpr std::array<int, 6> kSizeIds = {1010, 1012, 1014, 1016, 1018, 1020};
    static constexpr std::size_t kMaxSizeChars = 128;

    explicit SkinConfigDialog(AppCore& core);

    const WCHAR* ClassName() const override { return u"SkinConfigDialog"; }
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

protected:
    ~SkinConfigDialog() override = default;

private:
    // One kind of set: its files as found when the screen opened, its list
    // box, its setting and the entry selected at opening (-1 for none).
    struct SetList {
        skin::SetKind kind;
        int listId;
        WideString Settings::*setting;
        std::vector<skin::SetFile> files;
        int opened = -1;
    };

    void FillSizes();
    // The entry the user chose, or null when none is selected or its file
    // has gone since the list was made.
    const skin::SetFile* Chosen(const SetList& list) const;
    void Confirm();
    // Loads the chosen skin, applies the six fields and writes its override
    // file. False (after a message) when the file cannot be written.
    bool SaveSizes(const skin::SetFile& chosen);

    AppCore& m_core;
    std::array<SetList, 3> m_lists;
};
