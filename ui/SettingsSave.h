// Saving options a settings screen changed. A screen shows the options as
// they were when it opened; on "OK" it reads the file again and applies only
// what the user changed there, so that a change made meanwhile by another
// part of the program (a key command, another screen) is not written over.
#pragma once

#include <functional>

#include "app/Settings.h"

namespace ui {

// The settings as the file holds them now.
RefPtr<Settings> ReadSettings();

// Reads the file again, lets `apply` change the fresh object and saves it.
// On a failed save a message box owned by `owner` says so; the file on disk
// stays as it was. Returns the saved object, or null.
RefPtr<Settings> SaveChanges(HWND owner, const WCHAR* title, const std::function<void(Settings&)>& apply);

}  // namespace ui
