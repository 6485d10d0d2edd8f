// The main window's "Home Screen" commands: "Setup" puts the plug-in's row
// into the current home-screen scheme (as a new scheme file that becomes the
// current one), "Delete Scheme" goes back to the scheme that was current
// before. A scheme file this program replaced is deleted a little later, on
// the worker thread. Errors are shown in a message box titled "Error"; the
// current scheme then stays as it was.
#pragma once

#include "app/AppCore.h"

namespace home {

// 9: delete the file at the path (a scheme file this program replaced).
class DeleteFileEvent : public AppEvent {
public:
    explicit DeleteFileEvent(WideString path) : AppEvent(EventType::DeleteFile), m_path(std::move(path)) {}
    const WideString& Path() const { return m_path; }

private:
    WideString m_path;
};

// The worker-stage handler of event 9. A file that cannot be deleted stays,
// without a message.
class SchemeFileRemover : public EventHandler {
public:
    void Handle(const RefPtr<AppEvent>& event) override;
};

// "Setup": reads the current scheme, runs the two setup screens, saves the
// new scheme, registers the plug-in's class and applies the new scheme.
void RunPluginSetup(AppCore& core, HWND owner);

// "Delete Scheme": applies the scheme recorded before the first install.
void RemovePluginScheme(AppCore& core, HWND owner);

}  // namespace home
