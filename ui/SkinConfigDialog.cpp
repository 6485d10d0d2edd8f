#include "ui/SkinConfigDialog.h"

#include <algorithm>
#include <string>

#include "app/AppGlobals.h"
#include "platform/text/CaseMapping.h"
#include "platform/win/Controls.h"
#include "skin/Look.h"
#include "skin/ResourceFolder.h"
#include "ui/ControlValues.h"
#include "ui/ScreenMessage.h"
#include "ui/SettingsSave.h"
#include "ui/framework/Items.h"

namespace {

constexpr WORD kCommandOk = 2002;
constexpr WORD kCommandCancel = 2003;
constexpr DWORD kListStyle = 0x50810101;  // child, visible, border, tab stop, notify, no integral height
constexpr DWORD kSpinStyle = 0x50000267;  // child, visible, arrow keys, aligned right of the buddy
constexpr DWORD kSizeStyle = WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL;
constexpr std::size_t kComparedNameChars = 249;
constexpr const WCHAR* kTitle = u"Smilies & Skin";

// One of the six sizes: how to read its effective value from a skin, how to
// put a value in as the override, and the largest value taken (a larger one
// would make the screen unusable or its font too big to draw).
struct SizeField {
    const WCHAR* label;
    int labelId;
    int (*get)(skin::Skin&);
    void (*set)(skin::Skin&, int);
    int ceiling;
};

constexpr int kMaxPixels = 100;
constexpr int kMaxFontSize = 72;
constexpr int kMaxMessageLines = 20;

const std::array<SizeField, 6>& SizeFields()
{
    static const std::array<SizeField, 6> fields = {{
        {u"Contact height", 1009, [](skin::Skin& s) { return s.ContactHeight(); },
         [](skin::Skin& s, int v) { s.SetContactHeightOverride(v); }, kMaxPixels},
        {u"Contact font size", 1011, [](skin::Skin& s) { return s.listFont.Size(); },
         [](skin::Skin& s, int v) { s.listFont.SetOverrideSize(v); }, kMaxFontSize},
        {u"Status font size", 1013, [](skin::Skin& s) { return s.statusFont.Size(); },
         [](skin::Skin& s, int v) { s.statusFont.SetOverrideSize(v); }, kMaxFontSize},
        {u"Toolbar height", 1015, [](skin::Skin& s) { return s.ToolbarHeight(); },
         [](skin::Skin& s, int v) { s.SetToolbarHeightOverride(v); }, kMaxPixels},
        {u"Chat font size", 1017, [](skin::Skin& s) { return s.chatFont.Size(); },
         [](skin::Skin& s, int v) { s.chatFont.SetOverrideSize(v); }, kMaxFontSize},
        {u"Message area", 1019, [](skin::Skin& s) { return s.MessageAreaHeight(); },
         [](skin::Skin& s, int v) { s.SetMessageAreaHeightOverride(v); }, kMaxMessageLines},
    }};
    return fields;
}

WideString ComparedName(const WideString& name)
{
    return platform::ToUpper(std::u16string_view(name).substr(0, kComparedNameChars));
}

// A skin file as the program loads it: the file and then its overrides. A
// missing entry gives the built-in look.
RefPtr<skin::Skin> LoadSkin(const skin::SetFile* file)
{
    RefPtr<skin::Skin> loaded = MakeRef<skin::Skin>();
    if (file != nullptr)
        loaded->Load(skin::JoinPath(skin::JoinPath(app::AppFolder(), u"Skin"), file->subfolder), file->fileName);
    return loaded;
}

bool FileExists(const skin::SetFile& file) { return skin::FileSizeOf(file.path) >= 0; }

}  // namespace

SkinConfigDialog::SkinConfigDialog(AppCore& core) : m_core(core)
{
    RegisterDialogClass();
    m_lists = {{
        {skin::kIconSets, kIconsListId, &Settings::iconsSource, {}, -1},
        {skin::kSmileySets, kSmiliesListId, &Settings::smileSource, {}, -1},
        {skin::kSkinSets, kSkinListId, &Settings::skinSource, {}, -1},
    }};
    // Each set's list has a row of its own under its label, so that the
    // file names fit; each size has its label and field on one row.
    const HeightRule row{0, 3, 1};
    const WidthRule fullWidth{100, -6, 0, 0};
    const WidthRule labelWidth{62, -3, 0, 0};
    AddItem(MoveRightDown({0, 3, 0, 0}, {0, 3, 0}));
    const WCHAR* listLabels[3] = {u"Icons:", u"ICQ Smilies:", u"Skin:"};
    for (int i = 0; i < 3; ++i) {
        int listId = m_lists[static_cast<std::size_t>(i)].listId;
        AddItem(LabelItem(listId - 1, listLabels[i], fullWidth));
        AddItem(MoveDown({0, 0, 1}));
        auto list = AddItem(MakeRef<MyListBoxWindow>(listId, kListStyle, fullWidth, row));
        AddItem(SpinItem(listId + 1, kSpinStyle, list));
        AddItem(MoveDown({0, 5, 1}));
    }
    for (const SizeField& field : SizeFields()) {
        AddItem(LabelItem(field.labelId, field.label, labelWidth, 3));
        AddItem(MoveRight({62, 0, 0, 0}));
        AddItem(EditItem(field.labelId + 1, kSizeStyle, {38, -6, 0, 0}, row));
        AddItem(MoveBack(1));
        AddItem(MoveDown({0, 3, 1}));
    }
}

LRESULT SkinConfigDialog::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    RefPtr<Settings> settings = ui::ReadSettings();
    for (SetList& list : m_lists) {
        list.files = skin::ListSetFiles(app::AppFolder(), list.kind);
        WideString wanted = ComparedName((*settings).*list.setting);
        std::vector<WideString> names;
        list.opened = -1;
        for (std::size_t i = 0; i < list.files.size(); ++i) {
            names.push_back(list.files[i].fileName);
            if (ComparedName(list.files[i].fileName) == wanted)
                list.opened = static_cast<int>(i);
        }
        ui::FillList(Window(), list.listId, names, list.opened);
    }
    for (int id : kSizeIds)
        SendDlgItemMessageW(Window(), id, EM_LIMITTEXT, kMaxSizeChars, 0);
    FillSizes();
    return result;
}

LRESULT SkinConfigDialog::OnCommand(WORD notifyCode, WORD commandId, HWND)
{
    if (commandId == kSkinListId && notifyCode == LBN_SELCHANGE)
        FillSizes();
    else if (commandId == kCommandOk)
        Confirm();
    else if (commandId == kCommandCancel)
        EndDialog(0);
    return 0;
}

void SkinConfigDialog::FillSizes()
{
    const SetList& skins = m_lists[2];
    int selected = ui::ListSelection(Window(), skins.listId);
    const skin::SetFile* file =
        selected >= 0 && static_cast<std::size_t>(selected) < skins.files.size() ? &skins.files[selected] : nullptr;
    RefPtr<skin::Skin> loaded = LoadSkin(file);
    for (std::size_t i = 0; i < kSizeIds.size(); ++i)
        ui::SetEditText(Window(), kSizeIds[i], ui::DecimalText(SizeFields()[i].get(*loaded)));
}

const skin::SetFile* SkinConfigDialog::Chosen(const SetList& list) const
{
    int selected = ui::ListSelection(Window(), list.listId);
    if (selected < 0 || static_cast<std::size_t>(selected) >= list.files.size())
        return nullptr;
    const skin::SetFile& file = list.files[static_cast<std::size_t>(selected)];
    return FileExists(file) ? &file : nullptr;
}

bool SkinConfigDialog::SaveSizes(const skin::SetFile& chosen)
{
    RefPtr<skin::Skin> adjusted = LoadSkin(&chosen);
    for (std::size_t i = 0; i < kSizeIds.size(); ++i) {
        const SizeField& field = SizeFields()[i];
        int value = field.get(*adjusted);
        WideString text = ui::EditText(Window(), kSizeIds[i], kMaxSizeChars);
        if (!text.empty())
            value = ui::LeadingNumber(text, field.ceiling);
        field.set(*adjusted, std::clamp(value, 0, field.ceiling));
    }
    if (!adjusted->SaveOverrides()) {
        ui::ShowProblem(Window(), kTitle,
                        u"The skin sizes could not be saved: the skin's folder cannot be written. Nothing was changed.",
                        true);
        return false;
    }
    return true;
}

void SkinConfigDialog::Confirm()
{
    // A setting changes only for an entry the user moved to and whose file
    // is still there.
    std::vector<std::pair<WideString Settings::*, WideString>> changes;
    for (const SetList& list : m_lists) {
        const skin::SetFile* chosen = Chosen(list);
        int selected = ui::ListSelection(Window(), list.listId);
        if (chosen != nullptr && selected != list.opened)
            changes.emplace_back(list.setting, chosen->fileName);
    }
    if (const skin::SetFile* skinFile = Chosen(m_lists[2])) {
        if (!SaveSizes(*skinFile)) {
            EndDialog(0);
            return;
        }
        // Read back from the files, so that what the overrides change in the
        // skin's layout (a tool bar of height 0 is hidden) applies at once.
        skin::ReplaceSkin(m_core, LoadSkin(skinFile));
        // The main window lays its rows and bars out again with the new
        // sizes and repaints.
        m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
        ProgramWindow* main = m_core.GetMainWindow();
        if (main != nullptr && main->ProgramWindowHandle() != nullptr)
            InvalidateRect(main->ProgramWindowHandle(), nullptr, TRUE);
    }
    if (!changes.empty()) {
        RefPtr<Settings> saved = ui::SaveChanges(Window(), kTitle, [&](Settings& settings) {
            for (const auto& [field, value] : changes)
                settings.*field = value;
        });
        if (!saved) {
            EndDialog(0);
            return;
        }
        m_core.Post(MakeRef<AppEvent>(EventType::SettingsChanged));
    }
    EndDialog(1);
}
