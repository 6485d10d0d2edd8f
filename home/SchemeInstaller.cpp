#include "home/SchemeInstaller.h"

#include "app/AppGlobals.h"
#include "home/PluginConfigDialogs.h"
#include "home/PluginLink.h"
#include "home/SchemeBuilder.h"
#include "platform/base/Clock.h"
#include "platform/file/File.h"
#include "ui/ScreenMessage.h"

namespace home {

namespace {

// The home screen takes the new scheme in its own time; the replaced file
// stays readable until it surely has.
constexpr DWORD kWaitBeforeDeletion = 1000;
constexpr DWORD kDeletionDelay = 1000;

void ShowError(HWND owner, const WideString& text) { ui::ShowProblem(owner, u"Error", text.c_str(), true); }

void DeleteLater(AppCore& core, const WideString& path)
{
    Sleep(kWaitBeforeDeletion);
    core.PostAfter(kDeletionDelay, MakeRef<DeleteFileEvent>(path));
}

// The scheme to go back to on removal: the one recorded in the current
// scheme, or the current scheme itself when it is not this program's.
WideString OldSchemeToRecord(const SchemeInfo& info)
{
    if (!info.isOwn && info.oldScheme.empty())
        return info.path;
    return info.oldScheme;
}

}  // namespace

void SchemeFileRemover::Handle(const RefPtr<AppEvent>& event)
{
    if (event->Type() != EventType::DeleteFile)
        return;
    if (auto* deletion = dynamic_cast<DeleteFileEvent*>(event.Get()))
        DeleteFileW(deletion->Path().c_str());
}

void RunPluginSetup(AppCore& core, HWND owner)
{
    SchemeReading current = ReadCurrentScheme();
    if (!current.Ok()) {
        ShowError(owner, current.error);
        return;
    }
    SchemeInfo& info = current.info;
    PluginPlacement placement;
    placement.position =
        info.ownPosition >= 0 ? info.ownPosition : static_cast<std::int32_t>(info.otherPlugins.size());
    placement.autoHeight = info.autoHeight;
    placement.height = info.height;
    placement.borderMode = info.borderMode;
    if (!RunPluginSetupScreens(owner, info.otherPlugins, placement))
        return;

    WideString error;
    WideString path = SaveNewScheme(info, placement, OldSchemeToRecord(info), error);
    if (path.empty()) {
        ShowError(owner, error);
        return;
    }
    RegisterPluginClass(app::AppFolder());
    error = ApplyScheme(path);
    if (!error.empty()) {
        ShowError(owner, error);
        return;
    }
    // A scheme number at its ceiling names the same file again: that file
    // is the new scheme and must stay.
    if (info.isOwn && path != info.path)
        DeleteLater(core, info.path);
}

void RemovePluginScheme(AppCore& core, HWND owner)
{
    SchemeReading current = ReadCurrentScheme();
    if (!current.Ok()) {
        ShowError(owner, current.error);
        return;
    }
    const SchemeInfo& info = current.info;
    if (!info.isOwn) {
        ShowError(owner, errors::kNotOwn);
        return;
    }
    if (info.oldScheme.empty()) {
        ShowError(owner, errors::kNoOldScheme);
        return;
    }
    WideString error = ApplyScheme(info.oldScheme);
    if (!error.empty()) {
        ShowError(owner, error);
        return;
    }
    // An old scheme that names the current file itself must not delete it.
    if (info.oldScheme != info.path)
        DeleteLater(core, info.path);
}

}  // namespace home
